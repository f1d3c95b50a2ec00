#include "report/PreviewDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace report {

namespace {

std::optional<PreviewDialogs::Search> askSearch(QWidget *parent,
                                                const PreviewDialogs::Search &last) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Search for text"));
    auto *text = new QLineEdit(last.text);
    text->setAccessibleName(QStringLiteral("Search for"));
    auto *label = new QLabel(QStringLiteral("Search for :"));
    label->setBuddy(text);
    auto *matchCase = new QCheckBox(QStringLiteral("Match Case"));
    matchCase->setChecked(last.matchCase);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(text);
    layout->addWidget(matchCase);
    layout->addWidget(buttons);
    text->selectAll();

    if (dialog.exec() != QDialog::Accepted || text->text().isEmpty())
        return std::nullopt;
    return PreviewDialogs::Search{text->text(), matchCase->isChecked()};
}

} // namespace

PreviewDialogs PreviewDialogs::standard() {
    PreviewDialogs d;
    d.saveFileName = [](QWidget *parent, const QString &caption, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
    };
    d.openFileName = [](QWidget *parent, const QString &caption, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    };
    d.error = [](QWidget *parent, const QString &message) {
        QMessageBox::critical(parent, QStringLiteral("Error"), message);
    };
    d.pageNumber = [](QWidget *parent, int current, int last) -> std::optional<int> {
        bool ok = false;
        const int page = QInputDialog::getInt(parent, QStringLiteral("Go to page"),
                                              QStringLiteral("Page (1 - %1):").arg(last), current,
                                              1, last, 1, &ok);
        return ok ? std::optional<int>(page) : std::nullopt;
    };
    d.searchText = askSearch;
    d.printerSetup = [](QWidget *parent, QPrinter &printer, int pageCount) {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("Printer setup"));
        dialog.setMinMax(1, qMax(1, pageCount));
        dialog.setOptions(
            QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
            QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
        return dialog.exec() == QDialog::Accepted;
    };
    return d;
}

PreviewDialogs &PreviewDialogs::current() {
    static PreviewDialogs dialogs = standard();
    return dialogs;
}

} // namespace report
