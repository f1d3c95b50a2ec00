#pragma once

#include "io/Record.h"
#include "sync/CardDavClient.h"
#include "sync/CardLinks.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <memory>
#include <optional>

namespace db {
class DbConnection;
} // namespace db

namespace cardsync {

/// What one sync carried and what it left for the user.
struct SyncReport {
    int receivedHere = 0; ///< contacts created or changed from the server's cards
    int deletedHere = 0;
    int sentThere = 0; ///< cards created or changed on the server
    int deletedThere = 0;
    int paired = 0;         ///< contacts found on both sides and tied to the card there
    QList<int> conflicts;   ///< contacts changed on both sides, waiting for a choice
    QStringList notes;      ///< cards not taken, writes put off to the next sync
    int companiesHere = 0;  ///< companies created, changed or deleted from organisation cards
    int companiesThere = 0; ///< organisation cards created, changed or deleted on the server
    QList<int> conflictingCompanies; ///< companies changed on both sides, waiting for a choice
};

/// Which companies a sync carries, their contacts and organisation cards.
/// A contact or company that leaves it loses its card in the book, never
/// its data here.
struct SyncScope {
    QSet<int> companies; ///< empty: every company, and contacts without one

    bool includes(int companyId) const {
        return companies.isEmpty() || companies.contains(companyId);
    }
};

/// The two versions of a contact in conflict: as the register has it and
/// as the server has it.
struct ConflictVersions {
    io::Entry here, there;
};
/// The versions of the conflict of `contactId`; nullopt when there is none
/// (any more). Reads the register only. Throws db::DbError.
std::optional<ConflictVersions> conflictVersions(db::DbConnection &db, int contactId);

/// How a conflict ends.
enum class Choice { KeepHere, KeepServer, KeepBoth };

class SyncLock;

/// Two-way sync of the register's contacts with one address book. Carries
/// what was created, changed or deleted on either side since the last sync;
/// each change here is one transaction with its link, and each write there
/// is conditional (If-Match / If-None-Match), so a change made meanwhile on
/// either side is never overwritten. A contact changed on both sides becomes
/// a conflict; a delete on one side and a change on the other keeps the
/// changed contact. The server's sync token moves on only after a sync has
/// gone through, so that a broken one is picked up again in full.
class SyncEngine {
  public:
    SyncEngine(db::DbConnection &db, CardDavClient &client);
    ~SyncEngine();

    /// Throws SyncError (server) or db::DbError (register); what was carried
    /// before the failure stays carried, consistent on both sides.
    SyncReport run();
    /// Ends the conflict of `contactId` as chosen. Throws as run().
    void resolve(int contactId, Choice choice);
    /// Ends the conflict of the company's organisation card as chosen.
    void resolveCompany(int companyId, Choice choice);
    /// Only these companies from now on (empty: all).
    void setScope(SyncScope scope) { m_scope = std::move(scope); }

  private:
    QUrl openBook();
    void closeBook();
    void settle(int contactId, Choice choice);

    db::DbConnection &m_db;
    CardDavClient &m_client;
    QUrl m_book;
    SyncState m_state;
    SyncScope m_scope;
    std::unique_ptr<SyncLock> m_lock; ///< held from openBook() to closeBook()
};

} // namespace cardsync
