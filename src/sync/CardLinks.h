#pragma once

#include "db/DbConnection.h"

#include <QHash>
#include <QString>
#include <QUrl>

namespace cardsync {

/// What ties a KONTAKT row to its card on the server (a row of
/// KONTAKT_KARTA, see data/SyncTables.h), or a FIRMA row to its
/// organisation card (FIRMA_KARTA).
struct CardLink {
    int contactId = 0; ///< the KONTAKT row; in FIRMA_KARTA the FIRMA row
    QString uid;       ///< the card's UID
    QString href;      ///< path of the card on the server; empty: not on the server (yet)
    QString etag;      ///< the version last seen there
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

/// The table of the links and its column of the row's ID.
struct LinkTable {
    const char *table;
    const char *idColumn;
};
inline constexpr LinkTable kContactCards{"KONTAKT_KARTA", "ID_KONTAKT"};
inline constexpr LinkTable kCompanyCards{"FIRMA_KARTA", "ID_FIRMA"};

/// Gives a link of a card that is not on the server yet its UID (a new
/// one) and place in `book` (from the UID), where it has none.
void placeNew(CardLink &link, const QUrl &book);

/// Every link, by contact (or company) ID. Throws DbError.
QHash<int, CardLink> read(db::DbConnection &connection, const LinkTable &table = kContactCards);
SyncState readState(db::DbConnection &connection);

/// Writes `link` (inserted or replaced).
db::DbConnection::Statement save(const CardLink &link, const LinkTable &table = kContactCards);
db::DbConnection::Statement drop(int contactId, const LinkTable &table = kContactCards);
/// Makes sure the state table has its two rows: ID 0, which a sync keeps
/// locked while it runs, and ID 1, the state.
QList<db::DbConnection::Statement> ensureStateRows();
/// Locks row 0 until the transaction ends.
db::DbConnection::Statement lockSync();
/// Writes `state` into the state row.
db::DbConnection::Statement saveState(const SyncState &state);
/// Forgets where every card was (another address book is synced from now
/// on), keeping each card's UID: should the cards come back (the first
/// book again), they pair with their contacts and companies by it.
db::DbConnection::Statement dropAll(const LinkTable &table = kContactCards);

} // namespace cardlinks
} // namespace cardsync
