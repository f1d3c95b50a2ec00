#include "forms/ImportPreview.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace forms {

namespace {

QLabel *labelFor(QWidget *box, const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(box);
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

} // namespace

ImportPreview::ImportPreview(const io::ImportPlan &plan, QWidget *parent)
    : QDialog(parent), m_plan(plan) {
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(QStringLiteral("Import kontaktů"));
    resize(720, 480);

    twKontakty = new QTreeWidget(this);
    twKontakty->setObjectName(QStringLiteral("twKontakty"));
    twKontakty->setRootIsDecorated(false);
    twKontakty->setHeaderLabels(
        {QStringLiteral("Kontakt"), QStringLiteral("Firma"), QStringLiteral("Poznámka")});
    twKontakty->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const io::PlannedContact &c : m_plan.contacts) {
        const io::PlannedCompany &company = m_plan.companies[c.company];
        auto *item = new QTreeWidgetItem(twKontakty);
        item->setText(0, io::whoOf(c, m_plan));
        item->setText(1,
                      company.name + (company.existingId ? QString() : QStringLiteral(" (nová)")));
        QStringList remarks = c.notes;
        if (!c.duplicateOf.isEmpty())
            remarks.prepend(QStringLiteral("už existuje: ") + c.duplicateOf);
        item->setText(2, remarks.join(QStringLiteral("; ")));
        item->setToolTip(2, remarks.join(QLatin1Char('\n')));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, c.selected ? Qt::Checked : Qt::Unchecked);
    }
    if (twKontakty->topLevelItemCount() > 0)
        twKontakty->setCurrentItem(twKontakty->topLevelItem(0));

    memoOdmitnute = new QPlainTextEdit(this);
    memoOdmitnute->setObjectName(QStringLiteral("memoOdmitnute"));
    memoOdmitnute->setReadOnly(true);
    QStringList refused;
    for (const io::RefusedEntry &r : m_plan.refused)
        refused << r.who + QStringLiteral(":\n  ") + r.problems.join(QStringLiteral("\n  "));
    memoOdmitnute->setPlainText(refused.join(QLatin1Char('\n')));

    lbSouhrn = new QLabel(this);
    lbSouhrn->setObjectName(QStringLiteral("lbSouhrn"));

    buttons = new QDialogButtonBox(this);
    pbImportovat = buttons->addButton(QStringLiteral("&Importovat"), QDialogButtonBox::AcceptRole);
    pbImportovat->setAccessibleName(QStringLiteral("Importovat"));
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("&Zrušit"), QDialogButtonBox::RejectRole);
    cancel->setAccessibleName(QStringLiteral("Zrušit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labelFor(twKontakty, QStringLiteral("&Kontakty k importu:"), this));
    layout->addWidget(twKontakty, 3);
    QLabel *refusedLabel = labelFor(memoOdmitnute, QStringLiteral("&Nelze importovat:"), this);
    layout->addWidget(refusedLabel);
    layout->addWidget(memoOdmitnute, 1);
    refusedLabel->setVisible(!refused.isEmpty());
    memoOdmitnute->setVisible(!refused.isEmpty());
    layout->addWidget(lbSouhrn);
    layout->addWidget(buttons);

    connect(twKontakty, &QTreeWidget::itemChanged, this, [this] { updateSummary(); });
    updateSummary();
}

io::ImportPlan ImportPreview::plan() const {
    io::ImportPlan plan = m_plan;
    for (int i = 0; i < plan.contacts.size(); ++i)
        plan.contacts[i].selected = twKontakty->topLevelItem(i)->checkState(0) == Qt::Checked;
    return plan;
}

void ImportPreview::updateSummary() {
    const io::ImportPlan current = plan();
    const int companies = int(current.companiesToCreate().size());
    const int contacts = current.selectedCount();
    lbSouhrn->setText(
        QStringLiteral("Vytvoří se nových firem: %1, kontaktů: %2. Přeskočí se: %3. Odmítnuto: %4.")
            .arg(companies)
            .arg(contacts)
            .arg(current.contacts.size() - contacts)
            .arg(current.refused.size()));
    pbImportovat->setEnabled(companies + contacts > 0);
}

} // namespace forms
