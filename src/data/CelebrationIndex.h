#pragma once

#include <QStringList>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// Indexes the database keeps of every contact's first name and birthday,
/// so that the question who celebrates in the coming days reads only the
/// contacts who may, not all of them. Each key is an expression over the
/// stored text, so every writer keeps it (an older program, isql, another
/// user of a server register). The keys let through a superset of the
/// celebrating contacts, never fewer; the reader narrows it.
namespace celebrationindex {

/// The first name upper-cased by the server, its spaces trimmed.
QString nameKey(const QString &firstName);
/// Month × 100 + day of a birthday typed "7.3.1980", "7. 3." or
/// "1980-03-07" (and some texts that are no date); NULL for a text that
/// has no such shape, which no reader takes for a date.
QString birthdayKey(const QString &birthday);
/// 1 where the first name or birthday holds a blank other than a space
/// (a tab, a line break, a no-break space), which the two keys do not see
/// through; NULL elsewhere.
QString otherBlankKey(const QString &firstName, const QString &birthday);

/// The indexes' names.
QStringList names();
/// The statements that create the indexes.
QStringList createStatements();
/// Creates the indexes a database lacks (a file of an earlier version) or
/// holds of another expression or switched off. Throws DbError when the database refuses
/// the structure change; the questions are then answered without them,
/// only slower.
void ensure(db::DbConnection &connection);

} // namespace celebrationindex
} // namespace data
