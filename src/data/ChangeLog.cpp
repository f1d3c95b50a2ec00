#include "ChangeLog.h"

#include "DbConnection.h"
#include "DbError.h"

namespace data::changelog {
namespace {

constexpr int kRowsKept = 1000;

QString triggerOn(const QString &table) {
    // Once per transaction: the context variable lives as long as it does.
    return QStringLiteral("CREATE TRIGGER %1_ZMENA FOR %1 AFTER INSERT OR UPDATE OR DELETE AS "
                          "DECLARE D INTEGER; BEGIN "
                          "IF (RDB$GET_CONTEXT('USER_TRANSACTION', 'ZMENA_ZAPSANA') IS NULL) THEN BEGIN "
                          "INSERT INTO ZMENY (ID) VALUES (NEXT VALUE FOR ZMENY_ID); "
                          "D = RDB$SET_CONTEXT('USER_TRANSACTION', 'ZMENA_ZAPSANA', '1'); END END")
        .arg(table);
}

} // namespace

QStringList createStatements() {
    return {QStringLiteral("CREATE SEQUENCE ZMENY_ID"), QStringLiteral("CREATE TABLE ZMENY (ID BIGINT NOT NULL)"),
            triggerOn(QStringLiteral("FIRMA")), triggerOn(QStringLiteral("KONTAKT"))};
}

void ensure(DbConnection &connection) {
    if (connection.tableInfo(QStringLiteral("ZMENY")).columns.isEmpty()) {
        for (const QString &statement : createStatements())
            connection.executeCommitted(statement.toLatin1(), {});
        connection.forgetTableInfo();
        return;
    }
    try {
        connection.executeCommitted(QByteArrayLiteral("DELETE FROM ZMENY WHERE ID < (SELECT MAX(ID) FROM ZMENY) - ")
                                        + QByteArray::number(kRowsKept),
                                    {});
    } catch (const DbError &) {
        // Another program trims it at the same moment: either is enough.
    }
}

Stamp read(DbConnection &connection) {
    std::unique_ptr<FbStatement> cursor;
    try {
        cursor = connection.openCursor(QByteArrayLiteral("SELECT COUNT(*), SUM(ID) FROM ZMENY"), {});
    } catch (const DbError &error) {
        if (error.kind() == DbError::Kind::ConnectionLost)
            throw;
        return Stamp{}; // no log (a file this program could not extend): nothing is known
    }
    PackedRow row;
    Stamp stamp;
    if (cursor->fetch(row)) {
        stamp.rows = row.cell(0).num;
        stamp.sum = row.tag(1) == Cell::Null ? 0 : row.cell(1).num;
    }
    return stamp;
}

} // namespace data::changelog
