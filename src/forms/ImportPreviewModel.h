#pragma once

#include "io/ImportPlan.h"

#include <QAbstractTableModel>

namespace forms {

/// The contacts of an import plan as rows of a list: contact, company (new
/// ones marked), remarks; the tick is the contact's selection. A row's
/// texts are made when the view asks for them, so that a plan of any size
/// costs only the rows on screen.
class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { ContactColumn, CompanyColumn, RemarksColumn, ColumnCount };

    /// `plan` outlives the model; ticking changes its contacts' selection.
    explicit ImportPreviewModel(io::ImportPlan &plan, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QStringList remarksOf(const io::PlannedContact &contact) const;

    io::ImportPlan &m_plan;
};

} // namespace forms
