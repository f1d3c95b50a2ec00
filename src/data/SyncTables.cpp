#include "data/SyncTables.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace data::synctables {
namespace {

// Text columns hold only ASCII (a UID is kept percent-encoded), so that the
// register's code page cannot change them.
const QString kLinks =
    QStringLiteral("CREATE TABLE KONTAKT_KARTA (ID_KONTAKT INTEGER NOT NULL PRIMARY KEY, "
                   "UID_KARTY VARCHAR(1000), HREF VARCHAR(2000), ETAG VARCHAR(500), "
                   "OTISK VARCHAR(64), SPOR_ETAG VARCHAR(500), SPOR_KARTA BLOB SUB_TYPE 0)");
// The same for a company's organisation card.
const QString kCompanyLinks =
    QStringLiteral("CREATE TABLE FIRMA_KARTA (ID_FIRMA INTEGER NOT NULL PRIMARY KEY, "
                   "UID_KARTY VARCHAR(1000), HREF VARCHAR(2000), ETAG VARCHAR(500), "
                   "OTISK VARCHAR(64), SPOR_ETAG VARCHAR(500), SPOR_KARTA BLOB SUB_TYPE 0)");
const QString kState =
    QStringLiteral("CREATE TABLE SYNCHRONIZACE (ID INTEGER NOT NULL PRIMARY KEY, "
                   "ADRESAR VARCHAR(2000), TOKEN VARCHAR(2000))");

} // namespace

QStringList createStatements() {
    return {kLinks, kState, kCompanyLinks};
}

void ensure(db::DbConnection &connection) {
    const std::pair<QString, QString> tables[] = {{QStringLiteral("KONTAKT_KARTA"), kLinks},
                                                  {QStringLiteral("SYNCHRONIZACE"), kState},
                                                  {QStringLiteral("FIRMA_KARTA"), kCompanyLinks}};
    for (const auto &[name, statement] : tables) {
        const QString &table = name; // clang 14 cannot capture a structured binding
        auto present = [&] {
            connection.forgetTableInfo();
            return !connection.tableInfo(table).columns.isEmpty();
        };
        if (present())
            continue;
        try {
            connection.executeCommitted(statement.toLatin1(), {});
        } catch (const db::DbError &) {
            if (!present()) // another program making it at the same moment is as good
                throw;
        }
        connection.forgetTableInfo();
    }
}

} // namespace data::synctables
