#include "forms/AresPreview.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace forms {

AresPreview::AresPreview(const QString &ico, const QList<ProposedText> &proposals, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgAresNahled"));
    setWindowTitle(QStringLiteral("Údaje z ARES"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(
        QStringLiteral("ARES pro IČO %1 uvádí tyto údaje. Převzít je do formuláře? Uloží se "
                       "až potvrzením formuláře; změněné řádky jsou tučně.")
            .arg(ico),
        this);
    heading->setWordWrap(true);
    layout->addWidget(heading);

    m_table = new QTableWidget(int(proposals.size()), 3, this);
    m_table->setObjectName(QStringLiteral("tAresNahled"));
    m_table->setAccessibleName(QStringLiteral("Porovnání údajů formuláře a ARES"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("Pole"), QStringLiteral("Nyní ve formuláři"), QStringLiteral("Z ARES")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false); // Tab goes on to the buttons
    heading->setBuddy(m_table);
    for (int row = 0; row < proposals.size(); ++row) {
        const ProposedText &p = proposals[row];
        const QString cells[] = {p.caption, p.box->text(), p.text};
        const bool differs = p.box->text() != p.text;
        for (int column = 0; column < 3; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            QFont font = item->font();
            font.setBold(differs);
            item->setFont(font);
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_take = buttons->addButton(QStringLiteral("&Převzít"), QDialogButtonBox::AcceptRole);
    m_take->setObjectName(QStringLiteral("bPrevzit"));
    QPushButton *keep =
        buttons->addButton(QStringLiteral("&Nepřevzít"), QDialogButtonBox::RejectRole);
    keep->setObjectName(QStringLiteral("bNeprevzit"));
    m_take->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, 320);
    m_take->setFocus(Qt::OtherFocusReason);
}

} // namespace forms
