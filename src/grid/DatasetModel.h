#pragma once

#include "db/FieldType.h"
#include "grid/GridColumn.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

#include <functional>
#include <vector>

namespace dataset {
class Dataset;
} // namespace dataset

namespace grid {

/// A table model over the visible rows of a dataset::Dataset. Rows arrive
/// lazily: the model offers more while the dataset can fetch, and fetches
/// them in batches when a view asks. It follows every change the dataset
/// announces. Columns come from a column list; without one, the model makes
/// one column per field when the dataset first opens.
///
/// The model never throws: a failure of the data layer while fetching is
/// reported through fetchFailed(), one while reading a value gives an
/// empty cell.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Role {
        RawValueRole = Qt::UserRole + 1, ///< the typed value as the dataset holds it
        FieldNameRole,                   ///< header: the column's field name
    };
    Q_ENUM(Role)

    explicit DatasetModel(QObject *parent = nullptr);

    /// The dataset shown (not owned; may be null).
    void setDataset(dataset::Dataset *dataset);
    dataset::Dataset *dataset() const;

    /// Replaces the columns; an empty list asks for one column per field.
    void setColumns(std::vector<grid::GridColumn> columns);
    const std::vector<grid::GridColumn> &columns() const { return m_columns; }
    /// The dataset column shown in model column `column`, or -1.
    int datasetColumn(int column) const;

    /// Cell backgrounds of odd and even rows (counted from 1); an invalid
    /// colour leaves the column's own background.
    void setRowColors(const QColor &odd, const QColor &even);
    /// Rows fetched by one fetchMore() and right after the dataset is reset.
    void setFetchBatch(int rows) { m_fetchBatch = qMax(1, rows); }
    int fetchBatch() const { return m_fetchBatch; }

    /// Tells the model which rows are group rows and their text, so that
    /// the accessible text of such a row is its group line, given in the
    /// cell of `column` (the others read empty).
    using GroupText = std::function<bool(int row, QString &text)>;
    void setGroupText(GroupText groupText) { m_groupText = std::move(groupText); }
    void setGroupTextColumn(int column) { m_groupTextColumn = column; }

    /// The text a cell shows.
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

  signals:
    /// The column list was replaced (set, or made from the fields).
    void columnsReplaced();
    /// Fetching failed with the data layer's message.
    void fetchFailed(const QString &message);

  private:
    struct ColumnLook {
        int datasetColumn = -1;
        db::FieldType type = db::FieldType::Unknown;
        QVariant font, foreground, background, alignment;
        QVariant titleFont, titleForeground, titleBackground, titleAlignment;
    };
    void onReset();
    void onRowsFetched(int first, int last);
    void onRowChanged(int index);
    void resync();
    bool makeColumnsFromFields();
    void resolveColumns();
    void fetchRows(int count);

    QPointer<dataset::Dataset> m_dataset;
    std::vector<grid::GridColumn> m_columns;
    std::vector<ColumnLook> m_looks;
    bool m_columnsFromFields = true;
    int m_rows = 0;            // rows announced to views
    bool m_announcing = false; // a change is being announced to views
    int m_fetchBatch = 64;
    QColor m_oddColor, m_evenColor;
    GroupText m_groupText;
    int m_groupTextColumn = 0;
};

} // namespace grid
