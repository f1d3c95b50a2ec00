#include "data/ChangeLog.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace data::changelog {
namespace {

constexpr int kRowsKept = 1000;
/// Marks the triggers' current body; a trigger without it is rewritten.
constexpr const char *kTriggerMark = "ZMENY v3";
/// Set by a writer that has written its transaction's log row itself.
constexpr const char *kWrittenVariable = "ZMENA_ZAPSANA";

QString triggerName(const QString &table) {
    return table + QStringLiteral("_ZMENA");
}

QString triggerOn(const QString &table) {
    // One row per committing transaction. The row itself is the mark: it
    // goes with a statement that is undone, and a commit that retains the
    // context starts a transaction of a new number, so no change is missed.
    // A bulk writer that wrote the row in a statement of its own before any
    // change (markWrittenSql) spares each row the look-up.
    return QStringLiteral(
               "CREATE OR ALTER TRIGGER %1 FOR %2 AFTER INSERT OR UPDATE OR DELETE AS "
               "BEGIN /* %3 */ "
               "IF (RDB$GET_CONTEXT('USER_TRANSACTION', '%4') IS DISTINCT FROM "
               "CURRENT_TRANSACTION) THEN "
               "IF (NOT EXISTS (SELECT 1 FROM ZMENY WHERE TX = CURRENT_TRANSACTION)) THEN "
               "INSERT INTO ZMENY (ID, TX) VALUES (NEXT VALUE FOR ZMENY_ID, CURRENT_TRANSACTION); "
               "END")
        .arg(triggerName(table), table, QLatin1String(kTriggerMark),
             QLatin1String(kWrittenVariable));
}

const QString kTables[] = {QStringLiteral("FIRMA"), QStringLiteral("KONTAKT")};

bool exists(db::DbConnection &connection, const char *sql, const QString &name) {
    db::PackedRow row;
    return connection.openCursor(QByteArray(sql), {name})->fetch(row);
}

/// Runs one step of the structure; another program making the same step at
/// the same moment is as good, so its refusal is looked at again, not fatal.
void step(db::DbConnection &connection, const QString &statement,
          const std::function<bool()> &done) {
    try {
        connection.executeCommitted(statement.toLatin1(), {});
    } catch (const db::DbError &) {
        if (!done())
            throw;
    }
    connection.forgetTableInfo();
}

} // namespace

QStringList createStatements() {
    QStringList s{QStringLiteral("CREATE SEQUENCE ZMENY_ID"),
                  QStringLiteral("CREATE TABLE ZMENY (ID BIGINT NOT NULL, TX BIGINT)"),
                  QStringLiteral("CREATE INDEX ZMENY_TX ON ZMENY (TX)")};
    for (const QString &table : kTables)
        s << triggerOn(table);
    return s;
}

QByteArray markWrittenSql() {
    // One statement: the variable is set only once the row is there.
    return QStringLiteral("EXECUTE BLOCK AS DECLARE done INTEGER; BEGIN "
                          "INSERT INTO ZMENY (ID, TX) VALUES (NEXT VALUE FOR ZMENY_ID, "
                          "CURRENT_TRANSACTION); "
                          "done = RDB$SET_CONTEXT('USER_TRANSACTION', '%1', CURRENT_TRANSACTION); "
                          "END")
        .arg(QLatin1String(kWrittenVariable))
        .toLatin1();
}

void ensure(db::DbConnection &connection) {
    // Each piece is looked for on its own: a start that was killed half-way
    // through, or a file of an earlier version, is completed here.
    auto hasSequence = [&] {
        return exists(connection, "SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?",
                      QStringLiteral("ZMENY_ID"));
    };
    auto hasTable = [&] {
        return !connection.tableInfo(QStringLiteral("ZMENY")).columns.isEmpty();
    };
    auto hasColumn = [&] {
        connection.forgetTableInfo();
        return connection.tableInfo(QStringLiteral("ZMENY")).columns.contains(QStringLiteral("TX"));
    };
    auto hasIndex = [&] {
        return exists(connection, "SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = ?",
                      QStringLiteral("ZMENY_TX"));
    };
    if (!hasSequence())
        step(connection, QStringLiteral("CREATE SEQUENCE ZMENY_ID"), hasSequence);
    if (!hasTable())
        step(connection, QStringLiteral("CREATE TABLE ZMENY (ID BIGINT NOT NULL, TX BIGINT)"),
             hasTable);
    if (!hasColumn())
        step(connection, QStringLiteral("ALTER TABLE ZMENY ADD TX BIGINT"), hasColumn);
    if (!hasIndex())
        step(connection, QStringLiteral("CREATE INDEX ZMENY_TX ON ZMENY (TX)"), hasIndex);
    for (const QString &table : kTables) {
        auto current = [&] {
            db::PackedRow row;
            return connection
                .openCursor(
                    "SELECT 1 FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = ? "
                    "AND COALESCE(RDB$TRIGGER_INACTIVE, 0) = 0 AND RDB$TRIGGER_SOURCE CONTAINING ?",
                    {triggerName(table), QString::fromLatin1(kTriggerMark)})
                ->fetch(row);
        };
        if (!current())
            step(connection, triggerOn(table), current);
    }
    try {
        connection.executeCommitted(
            QByteArrayLiteral("DELETE FROM ZMENY WHERE ID < (SELECT MAX(ID) FROM ZMENY) - ") +
                QByteArray::number(kRowsKept),
            {});
    } catch (const db::DbError &) {
        // Another program trims it at the same moment: either is enough.
    }
}

Stamp read(db::DbConnection &connection) {
    std::unique_ptr<db::FbStatement> cursor;
    try {
        cursor =
            connection.openCursor(QByteArrayLiteral("SELECT COUNT(*), SUM(ID) FROM ZMENY"), {});
    } catch (const db::DbError &error) {
        if (error.kind() == db::DbError::Kind::ConnectionLost)
            throw;
        return Stamp{}; // no log (a file this program could not extend): nothing is known
    }
    db::PackedRow row;
    Stamp stamp;
    if (cursor->fetch(row)) {
        stamp.rows = row.cell(0).num;
        stamp.sum = row.tag(1) == db::Cell::Null ? 0 : row.cell(1).num;
    }
    return stamp;
}

} // namespace data::changelog
