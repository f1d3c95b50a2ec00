#include "dataset/Dataset.h"

#include "base/Win1250.h"
#include "dataset/DataSource.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/FbStatement.h"

#include <bit>
#include <limits>

namespace dataset {

Dataset::Dataset(const QString &name, db::DbConnection *connection, QObject *parent)
    : QObject(parent), m_connection(connection) {
    setObjectName(name);
    if (!m_connection)
        return;
    connect(m_connection, &db::DbConnection::closing, this, [this] {
        try {
            close();
        } catch (const db::DbError &) {
        }
    });
    connect(m_connection, &db::DbConnection::handlesDropped, this, [this] { m_cursor.reset(); });
    connect(m_connection, &QObject::destroyed, this, [this] { m_connection = nullptr; });
}

Dataset::~Dataset() = default;

void Dataset::fail(const QString &message) const {
    throw db::DbError(QStringLiteral("%1: %2").arg(name(), message));
}

void Dataset::requireOpen() const {
    if (m_state == State::Inactive)
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::requireInactive(const char *what) const {
    if (m_state != State::Inactive)
        fail(QStringLiteral("Cannot %1 of an open dataset").arg(QLatin1String(what)));
}

void Dataset::setState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void Dataset::setCurrent(int index) {
    m_current = index;
    emit currentChanged(index);
}

// ---- opening and closing -------------------------------------------------

void Dataset::declareField(const QString &name, db::FieldType type, int size) {
    m_declared.push_back(std::make_unique<Field>(this, name.toUpper(), type, size));
}

void Dataset::open() {
    if (isActive())
        return;
    if (!m_connection)
        fail(QStringLiteral("No connection"));
    startReading(false);
    m_rows.clear();
    m_visible.clear();
    m_writtenKeys.clear();
    m_currentStale = false;
    m_eof = false;
    m_current = -1;
    try {
        bindFields();
        findTableColumns();
        fetchQuietly(1);
    } catch (...) {
        // A dataset that could not open stays closed.
        m_cursor.reset();
        m_source.reset();
        m_fields.clear();
        m_rows.clear();
        m_visible.clear();
        throw;
    }
    m_state = State::Browse;
    m_current = m_visible.empty() ? -1 : 0;
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

void Dataset::startReading(bool reread) {
    if (m_rowProvider) {
        ProvidedRows provided = m_rowProvider(reread);
        m_columns = std::move(provided.columns);
        m_source = std::move(provided.rows);
        return;
    }
    m_cursor = m_connection->openCursor(selectStatement(), selectParams());
    m_columns = m_cursor->columns();
}

bool Dataset::nextSourceRow(db::PackedRow &row) {
    if (m_source) {
        if (m_source->next(row))
            return true;
        m_source.reset();
        return false;
    }
    return m_cursor && m_cursor->fetch(row);
}

void Dataset::findTableColumns() {
    m_versionColumn = -1;
    m_keyColumns.clear();
    m_keyNames.clear();
    const auto &columns = m_columns;
    if (tableName().isEmpty())
        return;
    for (int i = 0; i < int(columns.size()); ++i)
        if (columns[i].name == QLatin1String(kRecordVersionColumn))
            m_versionColumn = i;
    const db::DbConnection::TableInfo &info = m_connection->tableInfo(tableName());
    for (const QString &key : info.primaryKey) {
        const int index = columnIndex(key);
        if (index < 0) { // a key column not read: rows cannot be told apart by key
            m_keyColumns.clear();
            m_keyNames.clear();
            return;
        }
        m_keyColumns.push_back(index);
        m_keyNames << key;
    }
}

QByteArray Dataset::keyOf(const db::PackedRow &row) const {
    QByteArray key;
    for (int column : m_keyColumns) {
        const db::Cell c = row.cell(column);
        key += char(c.tag);
        key += QByteArray::number(c.num);
        key += ':';
        key += QByteArray::number(c.bytes.size());
        key += ':';
        key += c.bytes;
    }
    return key;
}

void Dataset::bindFields() {
    m_fields.clear();
    const auto &columns = m_columns;
    if (m_declared.empty()) {
        QSet<QString> used;
        for (int i = 0; i < int(columns.size()); ++i) {
            if (columns[i].name == QLatin1String(kRecordVersionColumn))
                continue; // kept by the dataset, not a field
            QString name = columns[i].name.toUpper();
            for (int n = 1; used.contains(name); ++n)
                name = columns[i].name.toUpper() + QLatin1Char('_') + QString::number(n);
            used.insert(name);
            auto field = std::make_unique<Field>(this, name, columns[i].type, columns[i].size);
            field->m_column = i;
            m_fields.push_back(std::move(field));
        }
        return;
    }
    for (auto &declared : m_declared) {
        int found = -1;
        for (int i = 0; i < int(columns.size()); ++i)
            if (columns[i].name.compare(declared->name(), Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            fail(QStringLiteral("Field '%1' not found").arg(declared->name()));
        const db::FieldType actual = columns[found].type;
        const bool compatible = actual == declared->type() ||
                                (db::isIntegerType(actual) && db::isIntegerType(declared->type()));
        if (!compatible)
            fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(declared->name(), db::fieldTypeName(declared->type()),
                          db::fieldTypeName(actual)));
        declared->m_column = found;
    }
    // Declared fields are the only ones reachable; keep them as the field list.
    for (auto &declared : m_declared) {
        auto copy =
            std::make_unique<Field>(this, declared->name(), declared->type(), declared->size());
        copy->m_column = declared->m_column;
        m_fields.push_back(std::move(copy));
    }
}

void Dataset::close() {
    if (!isActive())
        return;
    m_writtenKeys.clear();
    m_currentStale = false;
    m_cursor.reset();
    m_source.reset();
    m_rows.clear();
    m_visible.clear();
    m_editRow.clear();
    m_blobCache.clear();
    m_fields.clear();
    m_current = -1;
    m_eof = false;
    m_modified = false;
    m_state = State::Inactive;
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

// ---- fetching --------------------------------------------------------------

bool Dataset::canFetchMore() const {
    return m_source || (m_cursor && m_cursor->isOpen());
}

bool Dataset::fetchOne() {
    db::PackedRow row;
    for (;;) {
        try {
            if (!nextSourceRow(row))
                return false;
        } catch (const db::DbError &error) {
            // The cursor is broken: stop fetching rather than fail again on
            // every scroll, and let a lost connection be re-established.
            m_cursor.reset();
            if (error.kind() == db::DbError::Kind::ConnectionLost && m_connection)
                m_connection->dropLostConnection();
            throw;
        }
        // The read-committed cursor also returns rows committed after it was
        // opened, among them the ones this dataset wrote and holds already.
        if (!m_writtenKeys.isEmpty() && m_writtenKeys.contains(keyOf(row)))
            continue;
        m_rows.push_back(std::move(row));
        if (passesFilter(m_rows.back())) {
            m_visible.push_back(int(m_rows.size()) - 1);
            return true;
        }
    }
}

void Dataset::fetchQuietly(int count) {
    db::DbConnection::BusyScope busy(*m_connection);
    for (int i = 0; i < count && fetchOne(); ++i) {
    }
}

void Dataset::fetchMore(int count) {
    const int first = int(m_visible.size());
    fetchQuietly(count);
    const int last = int(m_visible.size()) - 1;
    if (last >= first)
        emit rowsFetched(first, last);
}

// ---- navigation ------------------------------------------------------------

void Dataset::endPendingChange() {
    if (!isEditing())
        return;
    collectPendingText();
    if (m_modified)
        post();
    else
        cancel();
}

void Dataset::first() {
    requireOpen();
    endPendingChange();
    m_eof = false;
    if (!m_visible.empty())
        setCurrent(0);
}

void Dataset::prior() {
    requireOpen();
    endPendingChange();
    m_eof = false;
    if (m_current > 0)
        setCurrent(m_current - 1);
}

void Dataset::next() {
    requireOpen();
    endPendingChange();
    if (m_current + 1 >= int(m_visible.size()))
        fetchMore(1);
    if (m_current + 1 < int(m_visible.size()))
        setCurrent(m_current + 1);
    else
        m_eof = true;
}

void Dataset::last() {
    requireOpen();
    endPendingChange();
    fetchMore(std::numeric_limits<int>::max());
    if (!m_visible.empty())
        setCurrent(int(m_visible.size()) - 1);
}

void Dataset::moveTo(int index) {
    requireOpen();
    endPendingChange();
    if (index >= 0 && index < int(m_visible.size()) && index != m_current)
        setCurrent(index);
}

int Dataset::recordCount() {
    if (!isActive())
        return 0;
    fetchMore(std::numeric_limits<int>::max());
    return int(m_visible.size());
}

// ---- fields ----------------------------------------------------------------

Field *Dataset::findField(const QString &name) const {
    for (const auto &f : m_fields)
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field *Dataset::fieldByName(const QString &name) const {
    Field *f = findField(name);
    if (!f)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

int Dataset::columnIndex(const QString &name) const {
    const Field *f = findField(name);
    return f ? f->column() : -1;
}

db::Cell Dataset::currentCell(int column) const {
    if (column < 0)
        return db::Cell{};
    if (isEditing())
        return column < int(m_editRow.size()) ? m_editRow[column] : db::Cell{};
    if (m_current < 0 || m_current >= int(m_visible.size()))
        return db::Cell{};
    return m_rows[m_visible[m_current]].cell(column);
}

void Dataset::writeCurrentCell(int column, db::Cell cell) {
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (column < 0 || column >= int(m_editRow.size()))
        return;
    m_editRow[column] = std::move(cell);
    m_modified = true;
    emit rowChanged(m_current);
}

QByteArray Dataset::blobBytes(const db::Cell &cell) const {
    if (cell.tag != db::Cell::BlobId)
        return cell.bytes;
    if (const QByteArray *cached = m_blobCache.object(cell.num))
        return *cached;
    if (!m_connection || !m_connection->isConnected())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const QByteArray bytes = m_connection->readBlob(cell.num);
    // Bounded by size: a long walk through photos keeps only the recent ones.
    m_blobCache.insert(cell.num, new QByteArray(bytes), qMax<qsizetype>(1, bytes.size()));
    return bytes;
}

QVariant Dataset::valueAt(int index, int column) const {
    if (column < 0 || index < 0 || index >= int(m_visible.size()))
        return QVariant();
    if (!(isEditing() && index == m_current)) {
        // Text straight from the fetched row: no intermediate copy of its bytes.
        const db::PackedRow &row = m_rows[m_visible[index]];
        if (row.tag(column) == db::Cell::Text)
            return base::win1250::decode(row.payload(column));
    }
    const db::Cell c = (isEditing() && index == m_current) ? currentCell(column)
                                                           : m_rows[m_visible[index]].cell(column);
    return cellValue(c, columnType(column));
}

QVariant Dataset::storedValue(const QString &column) const {
    const int index = columnIndex(column);
    if (index < 0 || m_current < 0 || m_current >= int(m_visible.size()))
        return QVariant();
    return cellValue(m_rows[m_visible[m_current]].cell(index), columnType(index));
}

db::FieldType Dataset::columnType(int column) const {
    for (const auto &f : m_fields)
        if (f->column() == column)
            return f->type();
    return db::FieldType::Unknown;
}

QVariant Dataset::cellValue(const db::Cell &c, db::FieldType type) const {
    switch (c.tag) {
    case db::Cell::Null:
        return QVariant();
    case db::Cell::Int:
        return QVariant(c.num);
    case db::Cell::Double:
        return QVariant(std::bit_cast<double>(c.num));
    case db::Cell::DateTime:
        return db::msecsToDateTime(c.num);
    case db::Cell::Text:
        return base::win1250::decode(c.bytes);
    case db::Cell::Bytes:
    case db::Cell::BlobId: {
        const QByteArray bytes = blobBytes(c);
        if (type == db::FieldType::Bytes)
            return bytes;
        return base::win1250::decode(bytes);
    }
    }
    return QVariant();
}

} // namespace dataset
