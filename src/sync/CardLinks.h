#pragma once

#include "db/DbConnection.h"

#include <QHash>
#include <QString>

namespace cardsync {

/// What ties a KONTAKT row to its card on the server (a row of
/// KONTAKT_KARTA, see data/SyncTables.h).
struct CardLink {
    int contactId = 0;
    QString uid;  ///< the card's UID
    QString href; ///< path of the card on the server; empty: not on the server (yet)
    QString etag; ///< the version last seen there
    /// Digest of the contact as it was when both sides last agreed; the
    /// contact differs from it exactly when it was changed here since.
    QString digest;
    /// A contact changed on both sides: the server's version (its card and
    /// ETag) waits here for the user's choice; neither side is written.
    QString conflictEtag;
    QByteArray conflictCard;

    bool inConflict() const { return !conflictCard.isEmpty(); }
};

struct SyncState {
    QString book;  ///< URL of the address book the links belong to
    QString token; ///< the server's sync token as of the last sync; empty: none
};

namespace cardlinks {

/// Every link, by contact ID. Throws DbError.
QHash<int, CardLink> read(db::DbConnection &connection);
SyncState readState(db::DbConnection &connection);

/// Writes `link` (inserted or replaced).
db::DbConnection::Statement save(const CardLink &link);
db::DbConnection::Statement drop(int contactId);
/// Makes sure the state table has its two rows: ID 0, which a sync keeps
/// locked while it runs, and ID 1, the state.
QList<db::DbConnection::Statement> ensureStateRows();
/// Locks row 0 until the transaction ends.
db::DbConnection::Statement lockSync();
/// Writes `state` into the state row.
db::DbConnection::Statement saveState(const SyncState &state);
/// Forgets where every card was (another address book is synced from now
/// on), keeping each contact's card UID: should the cards come back (the
/// first book again), they pair with their contacts by it.
db::DbConnection::Statement dropAll();

} // namespace cardlinks
} // namespace cardsync
