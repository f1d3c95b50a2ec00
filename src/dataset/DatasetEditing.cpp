#include "dataset/Dataset.h"

#include "base/Win1250.h"
#include "dataset/DataSource.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/FbStatement.h"

#include <limits>
#include <utility>

namespace dataset {

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
    // Without a key, a row the cursor reads later cannot be told apart from
    // the one inserted now: read the rest first (such tables are small).
    if (!tableName().isEmpty() && m_keyColumns.empty())
        fetchMore(std::numeric_limits<int>::max());
    m_currentBeforeInsert = m_current;
    m_rows.push_back(db::PackedRow::pack(std::vector<db::Cell>(m_columns.size())));
    const int at = m_current < 0 ? 0 : m_current + 1;
    m_visible.insert(m_visible.begin() + at, int(m_rows.size()) - 1);
    m_editRow.assign(m_columns.size(), db::Cell{});
    m_modified = false;
    m_current = at;
    m_state = State::Insert;
    emit rowInserted(at);
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

QString Dataset::rowCondition(const db::PackedRow &row, QVariantList &params) const {
    const db::DbConnection::TableInfo &info = m_connection->tableInfo(tableName());
    QStringList columns = m_keyNames;
    const bool keyless = columns.isEmpty();
    if (keyless)
        for (const QString &c : info.columns)
            if (!info.blobColumns.contains(c) && !info.computedColumns.contains(c))
                columns << c;
    QStringList terms;
    for (const QString &column : columns) {
        const int index = columnIndex(column);
        const db::Cell c = index >= 0 ? row.cell(index) : db::Cell{};
        if (c.tag == db::Cell::Null) {
            terms << column + QStringLiteral(" IS NULL ");
        } else {
            terms << column + QStringLiteral("=?");
            params << cellValue(c, columnType(index));
        }
    }
    // The row only in the version this dataset read: a change by anyone else
    // since then makes the statement touch no row.
    if (m_versionColumn >= 0 && row.tag(m_versionColumn) == db::Cell::Int) {
        terms << QLatin1String(kRecordVersionColumn) + QStringLiteral("=?");
        params << row.cell(m_versionColumn).num;
    }
    QString condition = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    // Rows of a table without a key may be alike: touch the one shown, no more.
    if (keyless)
        condition += QStringLiteral(" ROWS 1");
    return condition;
}

db::DbConnection::Statement Dataset::rowStatement(bool insert,
                                                  const std::vector<db::Cell> &values) {
    const db::DbConnection::TableInfo &info = m_connection->tableInfo(tableName());
    const db::PackedRow *stored = insert ? nullptr : &m_rows[m_visible[m_current]];
    QStringList columns;
    QVariantList params;
    for (const auto &f : m_fields) {
        if (info.computedColumns.contains(f->name()) || !info.columns.contains(f->name()))
            continue;
        // An UPDATE writes only what changed: an untouched photo or note is
        // neither copied nor read.
        if (stored && stored->cell(f->column()) == values[f->column()])
            continue;
        columns << f->name();
        params << cellValue(values[f->column()], f->type());
    }
    db::DbConnection::Statement statement;
    statement.expectedRows = 1;
    QString sql;
    if (insert) {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(tableName(), columns.join(QLatin1Char(',')),
                       QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    } else if (!columns.isEmpty()) {
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QStringLiteral("=?");
        sql = QStringLiteral("UPDATE %1 SET %2").arg(tableName(), sets.join(QLatin1Char(',')));
        sql += rowCondition(*stored, params);
    }
    base::win1250::encode(sql, statement.sql);
    statement.params = params;
    return statement;
}

void Dataset::post() {
    const db::DbConnection::Statement statement = pendingStatement();
    qint64 version = 0;
    if (!statement.sql.isEmpty()) {
        try {
            version = m_connection->executeCommitted(QList<db::DbConnection::Statement>{statement});
        } catch (const db::DbError &error) {
            throw failedToPost(error);
        }
    }
    acceptPosted(version);
}

db::DbConnection::Statement Dataset::pendingStatement() {
    collectPendingText();
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (tableName().isEmpty())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    return rowStatement(m_state == State::Insert, m_editRow);
}

db::DbError Dataset::failedToPost(const db::DbError &error) {
    // Nothing was written; the edit stays as typed. Cancel then shows what
    // is stored now. The server words a change that another committed while
    // this write waited for it like one still unfinished: the stored
    // version tells which it was.
    const bool committedMeanwhile =
        error.kind() == db::DbError::Kind::LockTimeout && storedVersionMoved();
    if (error.kind() == db::DbError::Kind::Conflict || committedMeanwhile)
        m_currentStale = true;
    if (committedMeanwhile)
        return db::DbError(db::texts::kConflict, db::DbError::Kind::Conflict, error.codes(),
                           error.engineText());
    return error;
}

bool Dataset::storedVersionMoved() {
    if (m_state != State::Edit || m_versionColumn < 0 || m_keyColumns.empty() || m_current < 0)
        return false;
    const db::PackedRow &row = m_rows[m_visible[m_current]];
    db::PackedRow stored;
    try {
        if (!readStoredRow(keyOfCurrent(), stored))
            return true; // deleted meanwhile
    } catch (const db::DbError &) {
        return false;
    }
    return !(stored.cell(m_versionColumn) == row.cell(m_versionColumn));
}

void Dataset::acceptPosted(qint64 version) {
    std::vector<db::Cell> values = std::move(m_editRow);
    if (version && m_versionColumn >= 0)
        values[m_versionColumn] = db::Cell{db::Cell::Int, version, {}};
    const db::PackedRow written = db::PackedRow::pack(values);
    if (!m_keyColumns.empty())
        m_writtenKeys.insert(keyOf(written));
    m_rows[m_visible[m_current]] = written;
    m_editRow.clear();
    m_modified = false;
    m_currentStale = false;
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Dataset::cancel() {
    if (m_state == State::Edit) {
        m_editRow.clear();
        m_modified = false;
        setState(State::Browse);
        if (m_currentStale) {
            m_currentStale = false;
            reloadCurrentRow();
        } else {
            emit rowChanged(m_current);
        }
    } else if (m_state == State::Insert) {
        const int removed = m_current;
        m_rows[m_visible[removed]] = db::PackedRow();
        m_visible.erase(m_visible.begin() + removed);
        m_editRow.clear();
        m_modified = false;
        m_currentStale = false;
        m_state = State::Browse;
        emit rowRemoved(removed);
        emit stateChanged(m_state);
        setCurrent(m_visible.empty() ? -1
                                     : qBound(0, m_currentBeforeInsert, int(m_visible.size()) - 1));
    }
}

void Dataset::reloadCurrentRow() {
    requireOpen();
    if (m_current < 0 || isEditing())
        return;
    if (m_keyColumns.empty()) {
        refresh();
        return;
    }
    db::PackedRow stored;
    if (!readStoredRow(keyOfCurrent(), stored)) {
        forgetCurrentRow();
        return;
    }
    m_rows[m_visible[m_current]] = std::move(stored);
    emit rowChanged(m_current);
}

QVariantList Dataset::keyOfCurrent() const {
    QVariantList key;
    const db::PackedRow &row = m_rows[m_visible[m_current]];
    for (const int column : m_keyColumns)
        key << cellValue(row.cell(column), columnType(column));
    return key;
}

bool Dataset::readStoredRow(const QVariantList &key, db::PackedRow &stored) {
    QStringList terms;
    for (const QString &name : std::as_const(m_keyNames))
        terms << name + QStringLiteral("=?");
    QByteArray condition;
    base::win1250::encode(QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND ")),
                          condition);
    return m_connection->openCursor(selectStatement() + condition, key)->fetch(stored);
}

db::DbConnection::Statement Dataset::deleteStatementForCurrent() {
    requireOpen();
    if (m_current < 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (tableName().isEmpty())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    db::DbConnection::Statement statement;
    const QString sql = QStringLiteral("DELETE FROM %1").arg(tableName()) +
                        rowCondition(m_rows[m_visible[m_current]], statement.params);
    base::win1250::encode(sql, statement.sql);
    statement.expectedRows = 1;
    return statement;
}

void Dataset::forgetCurrentRow() {
    if (m_current < 0)
        return;
    const int removed = m_current;
    m_rows[m_visible[removed]] = db::PackedRow();
    m_visible.erase(m_visible.begin() + removed);
    emit rowRemoved(removed);
    if (m_visible.empty())
        fetchMore(1);
    setCurrent(m_visible.empty() ? -1 : qMin(removed, int(m_visible.size()) - 1));
}

void Dataset::deleteRecord() {
    deleteRecordWith({});
}

void Dataset::deleteRecordWith(const QList<db::DbConnection::Statement> &alongside) {
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    requireOpen();
    if (m_state == State::Edit)
        cancel();
    const db::DbConnection::Statement statement = deleteStatementForCurrent();
    try {
        m_connection->executeCommitted(QList<db::DbConnection::Statement>{statement} + alongside);
    } catch (const db::DbError &error) {
        if (error.kind() != db::DbError::Kind::Conflict)
            throw;
        reloadCurrentRow();
        throw db::DbError(db::texts::kDeleteConflict, db::DbError::Kind::Conflict, error.codes());
    }
    forgetCurrentRow();
}

// ---- reading again -----------------------------------------------------------

Dataset::RowState Dataset::takeRows() {
    RowState state{std::move(m_cursor),  std::move(m_source), std::move(m_rows),
                   std::move(m_visible), m_current,           m_eof};
    m_cursor.reset();
    m_source.reset();
    m_rows.clear();
    m_visible.clear();
    m_current = -1;
    m_eof = false;
    return state;
}

void Dataset::restoreRows(RowState state) {
    m_cursor = std::move(state.cursor);
    m_source = std::move(state.source);
    m_rows = std::move(state.rows);
    m_visible = std::move(state.visible);
    m_current = state.current;
    m_eof = state.eof;
}

void Dataset::refresh() {
    requireOpen();
    endPendingChange();
    // The current row is found again by its key, or else by its values.
    std::vector<db::Cell> remembered;
    QByteArray rememberedKey;
    if (m_current >= 0) {
        const db::PackedRow &row = m_rows[m_visible[m_current]];
        rememberedKey = keyOf(row);
        remembered = row.unpack();
    }
    auto sameRow = [&](const db::PackedRow &row) {
        if (!m_keyColumns.empty())
            return keyOf(row) == rememberedKey;
        if (row.columnCount() != int(remembered.size()))
            return false;
        for (int c = 0; c < int(remembered.size()); ++c) {
            const db::Cell::Tag tag = remembered[c].tag;
            if (c != m_versionColumn && tag != db::Cell::BlobId && tag != db::Cell::Bytes &&
                !(row.cell(c) == remembered[c]))
                return false;
        }
        return true;
    };

    RowState previous = takeRows();
    // The new cursor reads every stored row afresh, the ones this dataset
    // wrote among them: none may be skipped as held already.
    QSet<QByteArray> previousWritten = std::exchange(m_writtenKeys, {});
    int found = -1;
    try {
        startReading(true);
        fetchQuietly(1);
        found = m_visible.empty() ? -1 : 0;
        for (int i = 0; !remembered.empty() && found >= 0; ++i) {
            if (i >= int(m_visible.size())) {
                fetchQuietly(256);
                if (i >= int(m_visible.size()))
                    break;
            }
            if (sameRow(m_rows[m_visible[i]])) {
                found = i;
                break;
            }
        }
    } catch (...) {
        // The rows read before stay, and the views hear of them again.
        restoreRows(std::move(previous));
        m_writtenKeys = std::move(previousWritten);
        emit reset();
        emit currentChanged(m_current);
        throw;
    }
    m_blobCache.clear();
    m_currentStale = false;
    m_current = found;
    emit reset();
    emit currentChanged(m_current);
}

// ---- data sources ----------------------------------------------------------

void Dataset::attachDataSource(DataSource *source) {
    if (!m_sources.contains(source))
        m_sources.append(source);
}

void Dataset::detachDataSource(DataSource *source) {
    m_sources.removeAll(source);
}

void Dataset::collectPendingText() {
    if (!isEditing())
        return;
    for (DataSource *source : std::as_const(m_sources))
        source->collectPendingText();
}

} // namespace dataset
