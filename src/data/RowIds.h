#pragma once

#include <QStringList>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// The IDs of new companies and contacts, one place for the forms and the
/// import alike. Each table has a sequence that is kept ahead of the
/// table's largest ID, so that two programs creating rows at the same
/// moment never hand out the same ID, and a row another writer stored with
/// an ID of its own choosing (an older program, isql) is never clashed with.
namespace rowids {

/// The statements that create the sequences of a new database.
QStringList createStatements();
/// Creates the sequences a database lacks (a file of an earlier version).
/// Throws DbError when the database refuses the structure change.
void ensure(db::DbConnection &connection);
/// A new ID for `table` ("FIRMA" or "KONTAKT", any case), the first of
/// `count` in a row that are all the caller's: larger than every ID stored
/// now and than every ID handed out before. Where the database has no
/// sequence (a file this user may not change) it is the largest ID plus
/// one. Throws DbError.
qint64 next(db::DbConnection &connection, const QString &table, qint64 count = 1);

} // namespace rowids
} // namespace data
