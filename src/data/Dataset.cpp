#include "Dataset.h"

#include "DataSource.h"
#include "DbConnection.h"
#include "DbError.h"
#include "FbStatement.h"
#include "Win1250.h"

#include <bit>

namespace data {

Dataset::Dataset(const QString &name, DbConnection *connection, QObject *parent)
    : QObject(parent), m_connection(connection) {
    setObjectName(name);
    if (m_connection)
        m_connection->registerDataset(this);
}

Dataset::~Dataset() {
    if (m_connection)
        m_connection->unregisterDataset(this);
}

void Dataset::fail(const QString &message) const {
    throw DbError(QStringLiteral("%1: %2").arg(name(), message));
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

void Dataset::declareField(const QString &name, FieldType type, int size) {
    m_declared.push_back(std::make_unique<Field>(this, name.toUpper(), type, size));
}

void Dataset::open() {
    if (isActive())
        return;
    if (!m_connection)
        fail(QStringLiteral("No connection"));
    m_cursor = m_connection->openCursor(selectStatement(), selectParams());
    try {
        bindFields();
    } catch (...) {
        m_cursor.reset();
        m_fields.clear();
        throw;
    }
    m_rows.clear();
    m_visible.clear();
    m_eof = false;
    m_current = -1;
    m_state = State::Browse;
    fetchQuietly(1);
    m_current = m_visible.empty() ? -1 : 0;
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

void Dataset::bindFields() {
    m_fields.clear();
    const auto &columns = m_cursor->columns();
    if (m_declared.empty()) {
        QSet<QString> used;
        for (int i = 0; i < int(columns.size()); ++i) {
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
        const FieldType actual = columns[found].type;
        const bool compatible = actual == declared->type()
                                || (isIntegerType(actual) && isIntegerType(declared->type()));
        if (!compatible)
            fail(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                     .arg(declared->name(), fieldTypeName(declared->type()), fieldTypeName(actual)));
        declared->m_column = found;
    }
    // Declared fields are the only ones reachable; keep them as the field list.
    for (auto &declared : m_declared) {
        auto copy = std::make_unique<Field>(this, declared->name(), declared->type(), declared->size());
        copy->m_column = declared->m_column;
        m_fields.push_back(std::move(copy));
    }
}

void Dataset::close() {
    if (!isActive())
        return;
    m_cursor.reset();
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

bool Dataset::canFetchMore() const { return m_cursor && m_cursor->isOpen(); }

bool Dataset::fetchOne() {
    PackedRow row;
    while (m_cursor && m_cursor->fetch(row)) {
        m_rows.push_back(std::move(row));
        if (passesFilter(m_rows.back())) {
            m_visible.push_back(int(m_rows.size()) - 1);
            return true;
        }
    }
    return false;
}

void Dataset::fetchQuietly(int count) {
    DbConnection::BusyScope busy(*m_connection);
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

bool Dataset::locate(const QString &fieldNames, const QVariantList &values, bool caseInsensitive) {
    requireOpen();
    endPendingChange();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.size() != values.size())
        fail(QStringLiteral("Incorrect number of search field values"));

    struct Key {
        int column;
        bool integer;
        qint64 number;
        QString text;
    };
    std::vector<Key> keys;
    for (int i = 0; i < names.size(); ++i) {
        const Field *field = fieldByName(names[i].trimmed());
        Key key{field->column(), isIntegerType(field->type()), 0, {}};
        if (key.integer) {
            if (values[i].typeId() == QMetaType::QString) {
                bool ok = false;
                key.number = values[i].toString().trimmed().toLongLong(&ok);
                if (!ok)
                    fail(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                             .arg(values[i].toString(), field->name()));
            } else {
                key.number = values[i].toLongLong();
            }
        } else {
            key.text = caseInsensitive ? values[i].toString().toUpper() : values[i].toString();
        }
        keys.push_back(std::move(key));
    }

    auto matches = [&](const PackedRow &row) {
        for (const Key &key : keys) {
            const Cell c = row.cell(key.column);
            if (key.integer) {
                if (c.tag != Cell::Int || c.num != key.number)
                    return false;
            } else {
                const QString text = c.tag == Cell::Text ? win1250::decode(c.bytes)
                                           : (c.tag == Cell::Int ? QString::number(c.num) : QString());
                if ((caseInsensitive ? text.toUpper() : text) != key.text)
                    return false;
            }
        }
        return true;
    };

    for (int i = 0;; ++i) {
        if (i >= int(m_visible.size())) {
            fetchMore(256);
            if (i >= int(m_visible.size()))
                return false;
        }
        if (matches(m_rows[m_visible[i]])) {
            m_eof = false;
            if (i != m_current)
                setCurrent(i);
            return true;
        }
    }
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

Cell Dataset::currentCell(int column) const {
    if (column < 0)
        return Cell{};
    if (isEditing())
        return column < int(m_editRow.size()) ? m_editRow[column] : Cell{};
    if (m_current < 0 || m_current >= int(m_visible.size()))
        return Cell{};
    return m_rows[m_visible[m_current]].cell(column);
}

void Dataset::writeCurrentCell(int column, Cell cell) {
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (column < 0 || column >= int(m_editRow.size()))
        return;
    m_editRow[column] = std::move(cell);
    m_modified = true;
    emit rowChanged(m_current);
}

QByteArray Dataset::blobBytes(const Cell &cell) const {
    if (cell.tag != Cell::BlobId)
        return cell.bytes;
    auto cached = m_blobCache.constFind(cell.num);
    if (cached != m_blobCache.constEnd())
        return *cached;
    if (!m_connection || !m_connection->isConnected())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const QByteArray bytes = m_connection->readBlob(cell.num);
    m_blobCache.insert(cell.num, bytes);
    return bytes;
}

QVariant Dataset::valueAt(int index, int column) const {
    if (column < 0 || index < 0 || index >= int(m_visible.size()))
        return QVariant();
    if (!(isEditing() && index == m_current)) {
        // Text straight from the fetched row: no intermediate copy of its bytes.
        const PackedRow &row = m_rows[m_visible[index]];
        if (row.tag(column) == Cell::Text)
            return win1250::decode(row.payload(column));
    }
    const Cell c = (isEditing() && index == m_current) ? currentCell(column)
                                                        : m_rows[m_visible[index]].cell(column);
    return cellValue(c, columnType(column));
}

FieldType Dataset::columnType(int column) const {
    for (const auto &f : m_fields)
        if (f->column() == column)
            return f->type();
    return FieldType::Unknown;
}

QVariant Dataset::cellValue(const Cell &c, FieldType type) const {
    switch (c.tag) {
    case Cell::Null: return QVariant();
    case Cell::Int: return QVariant(c.num);
    case Cell::Double: return QVariant(std::bit_cast<double>(c.num));
    case Cell::DateTime: return msecsToDateTime(c.num);
    case Cell::Text: return win1250::decode(c.bytes);
    case Cell::Bytes:
    case Cell::BlobId: {
        const QByteArray bytes = blobBytes(c);
        if (type == FieldType::Bytes)
            return bytes;
        return win1250::decode(bytes);
    }
    }
    return QVariant();
}

// ---- filter ----------------------------------------------------------------

void Dataset::setFilter(const QString &expression) {
    m_filterText = expression;
    if (m_filtered) {
        m_filterExpression.reset();
        applyFilter(true);
    }
}

void Dataset::setFiltered(bool on) {
    if (on == m_filtered)
        return;
    m_filtered = on;
    m_filterExpression.reset();
    try {
        applyFilter(true);
    } catch (...) {
        m_filtered = false;
        throw;
    }
}

QString Dataset::textOf(const PackedRow &row, int column, bool *numeric) const {
    const Cell c = row.cell(column);
    *numeric = c.tag == Cell::Int;
    switch (c.tag) {
    case Cell::Int: return QString::number(c.num);
    case Cell::Text: return win1250::decode(c.bytes);
    case Cell::Double: return QString::number(std::bit_cast<double>(c.num));
    case Cell::DateTime: return msecsToDateTime(c.num).toString(QStringLiteral("d.M.yyyy H:mm:ss"));
    default: return QString();
    }
}

QString Dataset::RowReader::text(int column) const {
    bool numeric = false;
    return m_dataset.textOf(m_row, column, &numeric);
}

void Dataset::setRecordFilter(RecordFilter filter) {
    m_recordFilter = std::move(filter);
    applyFilter(true);
}

bool Dataset::passesFilter(const PackedRow &row) const {
    if (m_recordFilter && !m_recordFilter(RowReader(*this, row)))
        return false;
    if (!m_filtered || m_filterText.trimmed().isEmpty())
        return true;
    return m_filterExpression->matches([&](const QString &column, bool *numeric, bool *found) {
        const Field *f = findField(column);
        *found = f != nullptr;
        if (!f)
            return QString();
        const QString text = textOf(row, f->column(), numeric);
        *numeric = *numeric || isIntegerType(f->type());
        return text;
    });
}

void Dataset::applyFilter(bool keepCurrent) {
    if (m_filtered && !m_filterText.trimmed().isEmpty() && !m_filterExpression)
        m_filterExpression.emplace(m_filterText);
    if (!isActive())
        return;
    endPendingChange();
    const int currentRow = (m_current >= 0 && m_current < int(m_visible.size())) ? m_visible[m_current] : -1;
    std::vector<int> visible;
    for (int i = 0; i < int(m_rows.size()); ++i)
        if (!m_rows[i].isNull() && passesFilter(m_rows[i]))
            visible.push_back(i);
    m_visible = std::move(visible);
    if (m_visible.empty())
        fetchOne();
    int current = m_visible.empty() ? -1 : 0;
    if (keepCurrent && currentRow >= 0)
        for (int i = 0; i < int(m_visible.size()); ++i)
            if (m_visible[i] == currentRow)
                current = i;
    m_current = current;
    m_eof = false;
    emit reset();
    emit currentChanged(m_current);
}

// ---- editing ---------------------------------------------------------------

void Dataset::edit() {
    if (isEditing())
        return;
    requireOpen();
    if (m_current < 0) {
        insert();
        return;
    }
    m_editRow = m_rows[m_visible[m_current]].unpack();
    m_modified = false;
    setState(State::Edit);
}

void Dataset::insert() {
    requireOpen();
    endPendingChange();
    m_currentBeforeInsert = m_current;
    const size_t columns = m_cursor ? m_cursor->columns().size() : m_fields.size();
    m_rows.push_back(PackedRow::pack(std::vector<Cell>(columns)));
    const int at = m_current < 0 ? 0 : m_current + 1;
    m_visible.insert(m_visible.begin() + at, int(m_rows.size()) - 1);
    m_editRow.assign(columns, Cell{});
    m_modified = false;
    m_current = at;
    m_state = State::Insert;
    emit rowInserted(at);
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

QString Dataset::keyCondition(const PackedRow &row, QVariantList &params) {
    const DbConnection::TableInfo &info = m_connection->tableInfo(tableName());
    QStringList keyColumns = info.primaryKey;
    if (keyColumns.isEmpty())
        for (const QString &c : info.columns)
            if (!info.blobColumns.contains(c))
                keyColumns << c;
    QStringList terms;
    for (const QString &column : keyColumns) {
        const int index = columnIndex(column);
        const Cell c = index >= 0 ? row.cell(index) : Cell{};
        if (c.tag == Cell::Null) {
            terms << column + QStringLiteral(" IS NULL ");
        } else {
            terms << column + QStringLiteral("=?");
            params << cellValue(c, columnType(index));
        }
    }
    return QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

void Dataset::post() {
    collectPendingText();
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (tableName().isEmpty())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    const DbConnection::TableInfo &info = m_connection->tableInfo(tableName());

    // Blob values are written from their bytes, so load any not yet read.
    std::vector<Cell> values = m_editRow;
    for (Cell &c : values)
        if (c.tag == Cell::BlobId)
            c = Cell{Cell::Bytes, 0, blobBytes(c)};

    QStringList columns;
    QVariantList params;
    for (const auto &f : m_fields) {
        if (info.computedColumns.contains(f->name()) || !info.columns.contains(f->name()))
            continue;
        columns << f->name();
        params << cellValue(values[f->column()], f->type());
    }
    QString sql;
    if (m_state == State::Insert) {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(tableName(), columns.join(QLatin1Char(',')),
                       QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    } else {
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QStringLiteral("=?");
        sql = QStringLiteral("UPDATE %1 SET %2").arg(tableName(), sets.join(QLatin1Char(',')));
        sql += keyCondition(m_rows[m_visible[m_current]], params);
    }
    QByteArray encoded;
    win1250::encode(sql, encoded);
    m_connection->executeCommitted(encoded, params);

    m_rows[m_visible[m_current]] = PackedRow::pack(values);
    m_editRow.clear();
    m_modified = false;
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Dataset::cancel() {
    if (m_state == State::Edit) {
        m_editRow.clear();
        m_modified = false;
        setState(State::Browse);
        emit rowChanged(m_current);
    } else if (m_state == State::Insert) {
        const int removed = m_current;
        m_rows[m_visible[removed]] = PackedRow();
        m_visible.erase(m_visible.begin() + removed);
        m_editRow.clear();
        m_modified = false;
        m_state = State::Browse;
        emit rowRemoved(removed);
        emit stateChanged(m_state);
        setCurrent(m_visible.empty() ? -1 : qBound(0, m_currentBeforeInsert, int(m_visible.size()) - 1));
    }
}

Dataset::PreparedStatement Dataset::deleteStatementForCurrent() {
    requireOpen();
    if (m_current < 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (tableName().isEmpty())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    PreparedStatement statement;
    const QString sql = QStringLiteral("DELETE FROM %1").arg(tableName())
                        + keyCondition(m_rows[m_visible[m_current]], statement.params);
    win1250::encode(sql, statement.sql);
    return statement;
}

void Dataset::forgetCurrentRow() {
    if (m_current < 0)
        return;
    const int removed = m_current;
    m_rows[m_visible[removed]] = PackedRow();
    m_visible.erase(m_visible.begin() + removed);
    emit rowRemoved(removed);
    if (m_visible.empty())
        fetchMore(1);
    setCurrent(m_visible.empty() ? -1 : qMin(removed, int(m_visible.size()) - 1));
}

void Dataset::deleteRecord() {
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    requireOpen();
    if (m_state == State::Edit)
        cancel();
    const PreparedStatement statement = deleteStatementForCurrent();
    m_connection->executeCommitted(statement.sql, statement.params);
    forgetCurrentRow();
}

void Dataset::refresh() {
    requireOpen();
    endPendingChange();
    std::vector<Cell> remembered;
    std::vector<bool> compare;
    if (m_current >= 0) {
        remembered = m_rows[m_visible[m_current]].unpack();
        for (const Cell &c : remembered)
            compare.push_back(c.tag != Cell::BlobId && c.tag != Cell::Bytes);
    }
    auto cursor = m_connection->openCursor(selectStatement(), selectParams());
    m_cursor = std::move(cursor);
    m_rows.clear();
    m_visible.clear();
    m_blobCache.clear();
    m_eof = false;
    m_current = -1;
    fetchQuietly(1);
    int found = m_visible.empty() ? -1 : 0;
    if (!remembered.empty()) {
        for (int i = 0; found >= 0; ++i) {
            if (i >= int(m_visible.size())) {
                fetchQuietly(256);
                if (i >= int(m_visible.size()))
                    break;
            }
            const PackedRow &row = m_rows[m_visible[i]];
            bool same = row.columnCount() == int(remembered.size());
            for (int c = 0; same && c < int(remembered.size()); ++c)
                if (compare[c])
                    same = row.cell(c) == remembered[c];
            if (same) {
                found = i;
                break;
            }
        }
    }
    m_current = found;
    emit reset();
    emit currentChanged(m_current);
}

// ---- data sources ----------------------------------------------------------

void Dataset::attachDataSource(DataSource *source) {
    if (!m_sources.contains(source))
        m_sources.append(source);
}

void Dataset::detachDataSource(DataSource *source) { m_sources.removeAll(source); }

void Dataset::collectPendingText() {
    if (!isEditing())
        return;
    for (DataSource *source : std::as_const(m_sources))
        source->collectPendingText();
}

// ---- table and query datasets ----------------------------------------------

TableDataset::TableDataset(const QString &name, const QString &table, DbConnection *connection, QObject *parent)
    : Dataset(name, connection, parent), m_table(table) {}

QByteArray TableDataset::selectStatement() const {
    QByteArray sql;
    win1250::encode(QStringLiteral("SELECT * FROM %1").arg(m_table), sql);
    return sql;
}

QueryDataset::QueryDataset(const QString &name, DbConnection *connection, QObject *parent)
    : Dataset(name, connection, parent) {}

void QueryDataset::setSql(const QStringList &lines) { setSql(lines.join(QLatin1Char('\n'))); }

void QueryDataset::setSql(const QString &text) {
    requireInactive("change the statement");
    m_sql = text;
    // Replace every ":Name" outside quotes and comments with "?".
    QString compiled;
    m_markerNames.clear();
    std::vector<std::unique_ptr<Param>> params;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = text.indexOf(c, i + 1);
            const int stop = end < 0 ? int(text.size()) : end + 1;
            compiled += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('-') && text.mid(i, 2) == QLatin1String("--")) {
            const int end = text.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? int(text.size()) : end;
            compiled += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char(':') && i + 1 < text.size()
                   && (text.at(i + 1).isLetter() || text.at(i + 1) == QLatin1Char('_'))) {
            int end = i + 1;
            while (end < text.size() && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('_')))
                ++end;
            const QString name = text.mid(i + 1, end - i - 1);
            m_markerNames << name;
            const bool known = std::any_of(params.begin(), params.end(), [&](const auto &p) {
                return p->name().compare(name, Qt::CaseInsensitive) == 0;
            });
            if (!known) {
                auto param = std::make_unique<Param>(name);
                if (const Param *old = [&]() -> const Param * {
                        for (const auto &p : m_params)
                            if (p->name().compare(name, Qt::CaseInsensitive) == 0)
                                return p.get();
                        return nullptr;
                    }())
                    *param = *old;
                params.push_back(std::move(param));
            }
            compiled += QLatin1Char('?');
            i = end - 1;
        } else {
            compiled += c;
        }
    }
    m_params = std::move(params);
    // A statement terminator is not part of a DSQL statement.
    while (compiled.endsWith(QLatin1Char(';')) || (!compiled.isEmpty() && compiled.back().isSpace()))
        compiled.chop(1);
    m_compiled.clear();
    QChar bad;
    if (!win1250::encode(compiled, m_compiled, &bad))
        fail(QStringLiteral("The statement holds the character '%1', which the database cannot take").arg(bad));
}

Param *QueryDataset::paramByName(const QString &name) const {
    for (const auto &p : m_params)
        if (p->name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    fail(QStringLiteral("Parameter '%1' not found").arg(name));
}

QByteArray QueryDataset::selectStatement() const { return m_compiled; }

QVariantList QueryDataset::selectParams() const {
    QVariantList values;
    for (const QString &name : m_markerNames)
        values << paramByName(name)->value();
    return values;
}

void QueryDataset::execSql() {
    close();
    if (!connection())
        fail(QStringLiteral("No connection"));
    connection()->executeCommitted(m_compiled, selectParams());
}

} // namespace data
