// How a conflict ends: the user's choice carried to both sides.
#include "sync/SyncEngine.h"

#include "data/SyncTables.h"
#include "db/DbConnection.h"
#include "sync/CompanyCards.h"
#include "sync/LocalContacts.h"
#include "sync/ServerCards.h"

namespace cardsync {

std::optional<ConflictVersions> conflictVersions(db::DbConnection &db, int contactId) {
    data::synctables::ensure(db);
    const CardLink link = cardlinks::read(db).value(contactId);
    const auto here = LocalContacts(db).readOne(contactId);
    if (!link.inConflict() || !here)
        return std::nullopt;
    return ConflictVersions{here->entry, readCard(link.conflictCard).entry};
}

void SyncEngine::resolve(int contactId, Choice choice) {
    openBook();
    settle(contactId, choice);
    closeBook();
}

void SyncEngine::resolveCompany(int companyId, Choice choice) {
    openBook();
    settleCompany(m_db, m_client, m_book, companyId, choice);
    closeBook();
}

void SyncEngine::settle(int contactId, Choice choice) {
    CardLink link = cardlinks::read(m_db).value(contactId);
    if (!link.inConflict())
        return;
    LocalContacts local(m_db);
    const auto here = local.readOne(contactId);
    const ServerCard there = readCard(link.conflictCard);
    CardLink settled = link;
    settled.conflictCard.clear();
    settled.conflictEtag.clear();
    QString refusal;
    if (choice == Choice::KeepServer && here) {
        settled.etag = link.conflictEtag;
        if (!local.update(*here, there.entry, settled, refusal))
            throw SyncError(SyncError::Kind::Server,
                            refusal.isEmpty()
                                ? QStringLiteral("Kontakt se mezitím změnil; zkuste to znovu.")
                                : refusal);
        return;
    }
    if (choice == Choice::KeepBoth) {
        // The server's version becomes a contact of its own; this one goes
        // there as a new card with the next sync.
        CardLink theirs{0, there.uid, link.href, link.conflictEtag, {}, {}, {}};
        m_db.executeCommitted({cardlinks::save(CardLink{contactId, {}, {}, {}, {}, {}, {}})});
        theirs.contactId = local.create(there.entry, theirs, refusal);
        if (!theirs.contactId)
            throw SyncError(SyncError::Kind::Server, refusal);
        return;
    }
    // This version wins: it goes over the server's, and only over that one.
    if (!here)
        return;
    const WriteResult result = m_client.put(m_book.resolved(QUrl(link.href)),
                                            cardWithUid(here->entry, link.uid), link.conflictEtag);
    if (!result.done())
        throw SyncError(SyncError::Kind::Server,
                        QStringLiteral("Karta se na serveru mezitím znovu změnila; "
                                       "synchronizujte a vyberte znovu."));
    settled.etag = result.etag;
    settled.digest = here->digest;
    m_db.executeCommitted({cardlinks::save(settled)});
}

} // namespace cardsync
