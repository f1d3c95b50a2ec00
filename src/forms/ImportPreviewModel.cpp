#include "forms/ImportPreviewModel.h"

namespace forms {

ImportPreviewModel::ImportPreviewModel(io::ImportPlan &plan, QObject *parent)
    : QAbstractTableModel(parent), m_plan(plan) {
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_plan.contacts.size());
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QStringList ImportPreviewModel::remarksOf(const io::PlannedContact &contact) const {
    QStringList remarks = contact.notes;
    if (!contact.duplicateOf.isEmpty())
        remarks.prepend(QStringLiteral("už existuje: ") + contact.duplicateOf);
    return remarks;
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    // Read through a const plan: the list is shared with the caller's copy,
    // and a non-const access would copy it all.
    const io::ImportPlan &plan = m_plan;
    const io::PlannedContact &c = plan.contacts[index.row()];
    if (role == Qt::CheckStateRole && index.column() == ContactColumn)
        return c.selected ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && index.column() == RemarksColumn)
        return remarksOf(c).join(QLatin1Char('\n'));
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ContactColumn:
        return io::whoOf(c, plan);
    case CompanyColumn: {
        const io::PlannedCompany &company = plan.companies[c.company];
        return company.name + (company.existingId ? QString() : QStringLiteral(" (nová)"));
    }
    default:
        return remarksOf(c).join(QStringLiteral("; "));
    }
}

bool ImportPreviewModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != ContactColumn)
        return false;
    m_plan.contacts[index.row()].selected = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ContactColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList titles{QStringLiteral("Kontakt"), QStringLiteral("Firma"),
                                    QStringLiteral("Poznámka")};
    return titles.value(section);
}

} // namespace forms
