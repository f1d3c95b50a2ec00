#include "grid/DatasetModel.h"

#include "dataset/Dataset.h"
#include "db/DbError.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QScopedValueRollback>

namespace grid {

using dataset::Dataset;

DatasetModel::DatasetModel(QObject *parent) : QAbstractTableModel(parent) {
}

Dataset *DatasetModel::dataset() const {
    return m_dataset;
}

void DatasetModel::setDataset(Dataset *dataset) {
    if (m_dataset == dataset)
        return;
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (m_dataset) {
        connect(m_dataset, &Dataset::reset, this, &DatasetModel::onReset);
        connect(m_dataset, &Dataset::rowsFetched, this, &DatasetModel::onRowsFetched);
        // The dataset tells of an inserted or removed row after the fact, when
        // the rows around it already moved; views can only be told of a reset.
        connect(m_dataset, &Dataset::rowInserted, this, &DatasetModel::resync);
        connect(m_dataset, &Dataset::rowRemoved, this, &DatasetModel::resync);
        connect(m_dataset, &Dataset::rowChanged, this, &DatasetModel::onRowChanged);
        connect(m_dataset, &QObject::destroyed, this, &DatasetModel::resync);
    }
    onReset();
}

void DatasetModel::setColumns(std::vector<grid::GridColumn> columns) {
    {
        const QScopedValueRollback announcing(m_announcing, true);
        beginResetModel();
        m_columnsFromFields = columns.empty();
        m_columns = std::move(columns);
        if (m_columnsFromFields)
            makeColumnsFromFields();
        resolveColumns();
        m_rows = m_dataset && m_dataset->isActive() ? m_dataset->fetchedCount() : 0;
        endResetModel();
    }
    emit columnsReplaced();
}

bool DatasetModel::makeColumnsFromFields() {
    if (!m_columnsFromFields || !m_columns.empty() || !m_dataset || !m_dataset->isActive())
        return false;
    for (const auto &field : m_dataset->fields()) {
        grid::GridColumn column;
        column.field = field->name();
        if (isIntegerType(field->type()) || field->type() == db::FieldType::Float)
            column.dataStyle.alignment = grid::Alignment::Right;
        m_columns.push_back(std::move(column));
    }
    return !m_columns.empty();
}

// Everything a cell asks for is computed once here, not while painting.
void DatasetModel::resolveColumns() {
    const QPalette palette = QGuiApplication::palette();
    m_looks.assign(m_columns.size(), ColumnLook{});
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const grid::GridColumn &c = m_columns[i];
        ColumnLook &look = m_looks[i];
        if (m_dataset && m_dataset->isActive()) {
            if (const dataset::Field *field = m_dataset->findField(c.field)) {
                look.datasetColumn = field->column();
                look.type = field->type();
            }
        }
        look.font = c.dataStyle.font();
        look.foreground = grid::color::toQColor(c.dataStyle.fontColor, palette);
        look.background = grid::color::toQColor(c.dataStyle.background, palette);
        look.alignment = int(grid::toQtAlignment(c.dataStyle.alignment));
        look.titleFont = c.titleStyle.font();
        look.titleForeground = grid::color::toQColor(c.titleStyle.fontColor, palette);
        look.titleBackground = grid::color::toQColor(c.titleStyle.background, palette);
        look.titleAlignment = int(grid::toQtAlignment(c.titleStyle.alignment));
    }
}

int DatasetModel::datasetColumn(int column) const {
    return column >= 0 && column < int(m_looks.size()) ? m_looks[column].datasetColumn : -1;
}

void DatasetModel::setRowColors(const QColor &odd, const QColor &even) {
    m_oddColor = odd;
    m_evenColor = even;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1), {Qt::BackgroundRole});
}

// ---- following the dataset --------------------------------------------------

void DatasetModel::onReset() {
    bool made = false;
    {
        const QScopedValueRollback announcing(m_announcing, true);
        beginResetModel();
        made = makeColumnsFromFields();
        resolveColumns();
        m_rows = m_dataset && m_dataset->isActive() ? m_dataset->fetchedCount() : 0;
        endResetModel();
    }
    if (made)
        emit columnsReplaced();
    // Fill the first screen now rather than one row per event-loop round.
    if (m_rows < m_fetchBatch && canFetchMore({}))
        fetchRows(m_fetchBatch - m_rows);
}

// A change the model cannot follow step by step (rows replaced without a
// reset yet, counts that disagree) is taken as a reset.
void DatasetModel::resync() {
    const QScopedValueRollback announcing(m_announcing, true);
    beginResetModel();
    m_rows = m_dataset && m_dataset->isActive() ? m_dataset->fetchedCount() : 0;
    endResetModel();
}

void DatasetModel::onRowsFetched(int first, int last) {
    if (first != m_rows || last + 1 != m_dataset->fetchedCount()) {
        resync();
        return;
    }
    const QScopedValueRollback announcing(m_announcing, true);
    beginInsertRows({}, first, last);
    m_rows = last + 1;
    endInsertRows();
}

void DatasetModel::onRowChanged(int row) {
    if (row >= 0 && row < m_rows && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

// ---- fetching ---------------------------------------------------------------

// Views may ask for rows while they handle a change; rows inserted inside
// that change would confuse them, so they wait until it is announced.
bool DatasetModel::canFetchMore(const QModelIndex &parent) const {
    return !m_announcing && !parent.isValid() && m_dataset && m_dataset->isActive() &&
           m_dataset->canFetchMore();
}

void DatasetModel::fetchMore(const QModelIndex &parent) {
    if (canFetchMore(parent))
        fetchRows(m_fetchBatch);
}

void DatasetModel::fetchRows(int count) {
    try {
        m_dataset->fetchMore(count);
    } catch (const db::DbError &e) {
        emit fetchFailed(e.message());
    }
}

// ---- reading ----------------------------------------------------------------

int DatasetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString DatasetModel::displayText(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= int(m_looks.size()) || !m_dataset)
        return {};
    const ColumnLook &look = m_looks[column];
    if (look.datasetColumn < 0 || look.type == db::FieldType::Bytes)
        return {}; // pictures are not shown, and not read from the database for it
    QVariant value;
    try {
        value = m_dataset->valueAt(row, look.datasetColumn);
    } catch (const db::DbError &) {
        return {};
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("d.M.yyyy H:mm:ss"));
    case QMetaType::QString:
        if (look.type == db::FieldType::Memo)
            return value.toString().section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
        return value.toString();
    default:
        return {};
    }
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ColumnLook &look = m_looks[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayText(index.row(), index.column());
    case Qt::AccessibleTextRole: {
        QString group;
        // A group row reads as its group line; the other cells answer a blank,
        // since an empty answer makes readers fall back to the cell's own text.
        if (m_groupText && m_groupText(index.row(), group))
            return index.column() == m_groupTextColumn ? group : QStringLiteral(" ");
        return displayText(index.row(), index.column());
    }
    case Qt::FontRole:
        return look.font;
    case Qt::ForegroundRole:
        return look.foreground;
    case Qt::TextAlignmentRole:
        return look.alignment;
    case Qt::BackgroundRole: {
        const QColor &rowColor = (index.row() % 2 == 0) ? m_oddColor : m_evenColor;
        return rowColor.isValid() ? QVariant(rowColor) : look.background;
    }
    case RawValueRole:
        if (look.datasetColumn < 0 || !m_dataset)
            return {};
        try {
            return m_dataset->valueAt(index.row(), look.datasetColumn);
        } catch (const db::DbError &) {
            return {};
        }
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return {};
    const ColumnLook &look = m_looks[section];
    switch (role) {
    case Qt::DisplayRole:
        return m_columns[section].caption();
    case Qt::FontRole:
        return look.titleFont;
    case Qt::ForegroundRole:
        return look.titleForeground;
    case Qt::BackgroundRole:
        return look.titleBackground;
    case Qt::TextAlignmentRole:
        return look.titleAlignment;
    case FieldNameRole:
        return m_columns[section].field;
    default:
        return {};
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace grid
