#include "forms/ImportPreview.h"

#include "forms/ImportPreviewModel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
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

    m_model = new ImportPreviewModel(m_plan, this);
    twKontakty = new QTreeView(this);
    twKontakty->setObjectName(QStringLiteral("twKontakty"));
    twKontakty->setRootIsDecorated(false);
    twKontakty->setUniformRowHeights(true); // rows are laid out without asking each
    twKontakty->setModel(m_model);
    twKontakty->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (m_model->rowCount() > 0)
        twKontakty->setCurrentIndex(m_model->index(0, 0));

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

    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { updateSummary(); });
    updateSummary();
}

ImportPreview::~ImportPreview() {
    // The list is a child and outlives m_plan, which its model reads: as the
    // dialog's base goes, the list must no longer ask for rows.
    twKontakty->setModel(nullptr);
}

io::ImportPlan ImportPreview::plan() const {
    return m_plan;
}

void ImportPreview::updateSummary() {
    const io::ImportPlan &current = m_plan; // the ticks are kept in it as they change
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
