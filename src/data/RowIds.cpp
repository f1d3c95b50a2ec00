#include "data/RowIds.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace data::rowids {
namespace {

const QString kTables[] = {QStringLiteral("FIRMA"), QStringLiteral("KONTAKT")};

QString sequenceOf(const QString &table) {
    return QStringLiteral("NOVE_ID_") + table.toUpper();
}

qint64 single(db::DbConnection &connection, const QString &sql) {
    db::PackedRow row;
    if (!connection.openCursor(sql.toLatin1(), {})->fetch(row) || row.tag(0) == db::Cell::Null)
        return 0;
    return row.cell(0).num;
}

bool hasSequence(db::DbConnection &connection, const QString &table) {
    db::PackedRow row;
    return connection
        .openCursor("SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?",
                    {sequenceOf(table)})
        ->fetch(row);
}

} // namespace

QStringList createStatements() {
    QStringList s;
    for (const QString &table : kTables)
        s << QStringLiteral("CREATE SEQUENCE %1").arg(sequenceOf(table));
    return s;
}

void ensure(db::DbConnection &connection) {
    for (const QString &table : kTables) {
        if (hasSequence(connection, table))
            continue;
        try {
            connection.executeCommitted(
                QStringLiteral("CREATE SEQUENCE %1").arg(sequenceOf(table)).toLatin1(), {});
        } catch (const db::DbError &) {
            if (!hasSequence(connection, table)) // another program made it meanwhile
                throw;
        }
    }
}

qint64 next(db::DbConnection &connection, const QString &table, qint64 count) {
    const QString name = table.toUpper();
    const QString largest = QStringLiteral("(SELECT MAX(ID) FROM %1)").arg(name);
    if (!hasSequence(connection, name))
        return single(connection, QStringLiteral("SELECT %1 FROM RDB$DATABASE").arg(largest)) + 1;
    // The sequence moves on for every caller at once (it is outside any
    // transaction); where rows were stored past it, it catches up in one
    // step, which also leaves it past the IDs handed out here.
    db::PackedRow row;
    const auto cursor = connection.openCursor(
        QStringLiteral("SELECT GEN_ID(%1, %2), COALESCE(%3, 0) FROM RDB$DATABASE")
            .arg(sequenceOf(name))
            .arg(count)
            .arg(largest)
            .toLatin1(),
        {});
    if (!cursor->fetch(row))
        throw db::DbError(QStringLiteral("%1: no new ID").arg(name));
    const qint64 last = row.cell(0).num, stored = row.cell(1).num;
    if (last - count + 1 > stored)
        return last - count + 1;
    const qint64 caughtUp =
        single(connection, QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE")
                               .arg(sequenceOf(name))
                               .arg(stored + count - last));
    return caughtUp - count + 1;
}

} // namespace data::rowids
