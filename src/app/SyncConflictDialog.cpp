#include "app/SyncConflictDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace app {

QString describeContact(const io::Entry &entry) {
    QStringList lines{QStringLiteral("Firma: ") + entry.companyName()};
    const bool company = entry.companyOnly;
    for (const io::Column &c : company ? io::companyColumns() : io::contactColumns())
        if (const QString value = (company ? entry.company : entry.contact).value(c.name);
            !value.isEmpty() && c.name != QLatin1String("NAZEV_FIRMA"))
            lines << c.label + QStringLiteral(": ") +
                         QString(value).replace(QLatin1Char('\n'), QStringLiteral(" / "));
    if (!entry.photo.isEmpty())
        lines << QStringLiteral("Fotografie: ano");
    return lines.join(QLatin1Char('\n'));
}

SyncConflictDialog::SyncConflictDialog(const cardsync::ConflictVersions &versions, QWidget *parent)
    : QDialog(parent), m_here(new QPlainTextEdit(describeContact(versions.here), this)),
      m_there(new QPlainTextEdit(describeContact(versions.there), this)) {
    setObjectName(QStringLiteral("SyncConflictDialog"));
    const bool company = versions.here.companyOnly;
    setWindowTitle(
        (company ? QStringLiteral("Firma změněná na obou stranách – %1")
                 : QStringLiteral("Kontakt změněný na obou stranách – %1"))
            .arg(company ? versions.here.companyName() : io::displayName(versions.here.contact)));
    auto *about = new QLabel(
        (company ? QStringLiteral("Firma byla") : QStringLiteral("Kontakt byl")) +
            QStringLiteral(" od minulé synchronizace změněn%1 v programu i na serveru. Dokud "
                           "nerozhodnete, nepřepíše se ani jedna verze.")
                .arg(company ? QStringLiteral("a") : QString()),
        this);
    about->setWordWrap(true);
    auto *grid = new QGridLayout;
    auto side = [&](int column, QPlainTextEdit *view, const char *name, const QString &caption) {
        view->setObjectName(QString::fromLatin1(name));
        view->setReadOnly(true);
        view->setAccessibleName(caption);
        view->setTabChangesFocus(true);
        auto *label = new QLabel(caption, this);
        label->setBuddy(view);
        grid->addWidget(label, 0, column);
        grid->addWidget(view, 1, column);
    };
    side(0, m_here, "mTato", QStringLiteral("&Verze v programu"));
    side(1, m_there, "mServer", QStringLiteral("Verze na &serveru"));

    auto *buttons = new QDialogButtonBox(this);
    auto choose = [&](const QString &text, const char *name, cardsync::Choice choice) {
        QPushButton *button = buttons->addButton(text, QDialogButtonBox::AcceptRole);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, choice] {
            m_choice = choice;
            accept();
        });
    };
    choose(QStringLiteral("Ponechat verzi z &programu"), "bTato", cardsync::Choice::KeepHere);
    choose(QStringLiteral("Ponechat verzi ze se&rveru"), "bServer", cardsync::Choice::KeepServer);
    choose(QStringLiteral("Ponechat &obě"), "bObe", cardsync::Choice::KeepBoth);
    QPushButton *later =
        buttons->addButton(QStringLiteral("Rozhodnout &později"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("bPozdeji"));
    connect(later, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(640, 360);
}

} // namespace app
