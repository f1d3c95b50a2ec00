#pragma once

#include <QStringList>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// The tables of the sync with an address book on a server, beside the
/// register and never in it: KONTAKT_KARTA ties a KONTAKT row to its card
/// (UID, place, version there, digest of the content both sides last
/// agreed on, and the server's version of a contact in conflict),
/// FIRMA_KARTA does the same for a FIRMA row and its organisation card, and
/// SYNCHRONIZACE holds (in row ID 1) the address book and its sync token;
/// a sync keeps row ID 0 locked, so one sync of a register runs at a time. They live in
/// the database, so that the state moves with the links it describes.
namespace synctables {

/// The statements that create them.
QStringList createStatements();
/// Creates what of them the database lacks (a file of an earlier version,
/// or a start killed half-way); idempotent. Throws DbError when the
/// database refuses the structure change.
void ensure(db::DbConnection &connection);

} // namespace synctables
} // namespace data
