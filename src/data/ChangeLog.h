#pragma once

#include <QStringList>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// A log of the transactions that changed companies or contacts, kept by
/// triggers: one row per committing transaction, so that a reader can tell
/// in one cheap statement whether anything was committed since it looked,
/// by this program or any other connection. The rows are transactional (a
/// change shows only once committed) and no two writers ever touch the same
/// row, so the log never makes a save wait or fail.
namespace changelog {

/// The statements that create the log (table, sequence, triggers).
QStringList createStatements();
/// The statement a writer of many rows runs in its transaction before its
/// first change: it writes the transaction's log row itself and tells the
/// triggers so, which then skip their look-up for each row. Fails where the
/// database has no log.
QByteArray markWrittenSql();
/// Creates the log where the database lacks it or any piece of it (a start
/// killed half-way, a file of an earlier version), and keeps it short by
/// dropping all but its newest rows. Throws DbError when the database
/// refuses the structure change.
void ensure(db::DbConnection &connection);

/// What the log holds now; it differs from an earlier stamp exactly when a
/// change was committed in between (or the log was trimmed, which only
/// costs a needless re-read).
struct Stamp {
    qint64 rows = -1;
    qint64 sum = -1;
    bool isKnown() const { return rows >= 0; }
    bool operator==(const Stamp &) const = default;
};
/// The log's stamp now; an unknown stamp (rows -1) where the database has
/// no log. Throws DbError when the connection is lost.
Stamp read(db::DbConnection &connection);

} // namespace changelog
} // namespace data
