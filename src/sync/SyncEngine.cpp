#include "sync/SyncEngine.h"

#include "data/SyncTables.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "io/VCardContacts.h"
#include "io/VCardReader.h"
#include "sync/CardPairing.h"
#include "sync/CompanyCards.h"
#include "sync/LocalContacts.h"
#include "sync/ServerCards.h"

#include <QSet>
#include <QUuid>

namespace cardsync {
namespace {

constexpr int kFetchBatch = 100;
/// Cards written to the server between two commits here.
constexpr int kSendBatch = 60;

/// One run over both sides: what the server changed first (so that a
/// contact changed on both sides is seen as such before anything is
/// written), then what changed here.
class SyncPass {
  public:
    SyncPass(db::DbConnection &db, CardDavClient &client, const QUrl &book, const SyncScope &scope)
        : m_db(db), m_client(client), m_book(book), m_scope(scope), m_local(db),
          m_companies(db, client, book, scope, m_report) {
        m_links = cardlinks::read(db);
        for (const CardLink &link : std::as_const(m_links))
            if (!link.href.isEmpty())
                m_byHref.insert(link.href, link.contactId);
        m_contacts = m_local.readAll();
        // Outside the scope only what still has a card there matters: the card leaves.
        m_contacts.removeIf([this](const auto &c) {
            return !m_scope.includes(c.value().companyId) && !m_links.contains(c.key());
        });
    }

    /// The server's changes since `token` (everything when empty or refused);
    /// returns the token to keep once the whole pass has gone through.
    QString receive(const QString &token) {
        QList<davxml::Resource> changed;
        QStringList removed;
        QString next;
        bool listed = false;
        if (!token.isEmpty()) {
            CardDavClient::Changes changes = m_client.changesSince(m_book, token);
            if (!changes.tokenRefused) {
                changed = std::move(changes.changed);
                removed = std::move(changes.removed);
                next = changes.syncToken;
                listed = true;
            }
        }
        if (!listed) {
            CardDavClient::Listing listing = m_client.list(m_book);
            next = listing.syncToken;
            QSet<QString> present;
            for (davxml::Resource &card : listing.cards) {
                present << card.href;
                changed << std::move(card);
            }
            for (auto it = m_byHref.cbegin(); it != m_byHref.cend(); ++it)
                if (!present.contains(it.key()))
                    removed << it.key();
            m_companies.notListed(present);
        }
        QStringList toFetch;
        for (const davxml::Resource &card : changed) {
            if (m_companies.knows(card.href, card.etag))
                continue;
            const auto known = m_byHref.constFind(card.href);
            // What this program wrote itself comes back with the ETag it keeps.
            if (known == m_byHref.cend() || m_links.value(*known).etag != card.etag ||
                card.etag.isEmpty())
                toFetch << card.href;
        }
        for (qsizetype i = 0; i < toFetch.size(); i += kFetchBatch)
            for (const davxml::Resource &card :
                 m_client.fetch(m_book, toFetch.mid(i, kFetchBatch))) {
                m_client.throwIfCancelled();
                takeCard(card);
            }
        for (const QString &href : std::as_const(removed)) {
            m_client.throwIfCancelled();
            takeRemoval(href);
        }
        refresh(m_companies.receive());
        return next;
    }

    /// What changed here goes to the server.
    void send() {
        for (const LocalContact &contact : std::as_const(m_contacts)) {
            if (m_touched.contains(contact.id))
                continue;
            const auto link = m_links.constFind(contact.id);
            if (!m_scope.includes(contact.companyId)) {
                if (link != m_links.cend())
                    sendLeave(*link);
            } else if (link == m_links.cend() || link->href.isEmpty() || link->etag.isEmpty()) {
                queueNew(contact, link == m_links.cend() ? CardLink{} : *link);
            } else if (link->inConflict()) {
                m_report.conflicts << contact.id;
            } else if (link->digest != contact.digest) {
                queue(contact, *link);
            }
        }
        sendQueued();
        for (const CardLink &link : QList<CardLink>(m_links.values()))
            if (!m_contacts.contains(link.contactId) && !m_touched.contains(link.contactId))
                sendRemoval(link);
        m_companies.send();
    }

    SyncReport report() const { return m_report; }

  private:
    /// A card waiting to go to the server, and its link (ETag empty: a new card).
    struct Outgoing {
        LocalContact contact;
        CardLink link;
    };

    QUrl urlOf(const QString &href) const { return m_book.resolved(QUrl(href)); }

    void keep(const CardLink &link) { keepAll({link}); }

    void keepAll(const QList<CardLink> &links) {
        QList<db::DbConnection::Statement> statements;
        for (const CardLink &link : links)
            statements << cardlinks::save(link);
        if (!statements.isEmpty())
            m_db.executeCommitted(statements);
        for (const CardLink &link : links) {
            m_links.insert(link.contactId, link);
            m_touched << link.contactId;
        }
    }

    /// The contacts of companies changed here from their cards: their own
    /// cards carry the company's data, and go again.
    void refresh(const QSet<int> &companies) {
        for (LocalContact &contact : m_contacts)
            if (companies.contains(contact.companyId) && !m_touched.contains(contact.id))
                if (const auto now = m_local.readOne(contact.id))
                    contact = *now;
    }

    void takeCard(const davxml::Resource &resource) {
        if (!m_byHref.contains(resource.href) && m_companies.offer(resource))
            return; // an organisation card
        const ServerCard card = readCard(resource.addressData);
        if (!card.problem.isEmpty()) {
            m_report.notes << QStringLiteral("Karta %1 nejde přečíst (%2), vynechána.")
                                  .arg(resource.href, card.problem);
            return;
        }
        const int id = m_byHref.value(resource.href);
        if (!id && pairWithContact(resource, card))
            return;
        CardLink link = id ? m_links.value(id)
                           : CardLink{0, card.uid, resource.href, resource.etag, {}, {}, {}};
        if (id && link.etag.isEmpty()) { // this program's own card whose answer was lost
            link.etag = resource.etag;
            keep(link);
            return;
        }
        link.etag = resource.etag;
        if (link.inConflict()) { // the user decides on the newest version there
            link.conflictEtag = resource.etag;
            link.conflictCard = resource.addressData;
            link.etag = m_links.value(id).etag;
            keep(link);
            m_report.conflicts << id;
            return;
        }
        const auto contact = id ? m_contacts.constFind(id) : m_contacts.cend();
        if (id && contact != m_contacts.cend() && contact->digest != link.digest &&
            readCard(cardWithUid(contact->entry, link.uid)).entry == card.entry) {
            // This program's own change, whose answer was lost: no conflict.
            link.digest = contact->digest;
            keep(link);
            return;
        }
        if (id && contact != m_contacts.cend() && contact->digest != link.digest) {
            link.etag = m_links.value(id).etag;
            link.conflictEtag = resource.etag;
            link.conflictCard = resource.addressData;
            keep(link);
            m_report.conflicts << id;
            return;
        }
        QString refusal;
        if (contact == m_contacts.cend()) { // new there, or changed there and deleted here
            if (id)
                m_db.executeCommitted({cardlinks::drop(id)});
            link.contactId = m_local.create(card.entry, link, refusal);
            if (!link.contactId) {
                m_report.notes
                    << QStringLiteral("Karta %1 nebyla uložena: %2").arg(resource.href, refusal);
                return;
            }
            m_byHref.insert(link.href, link.contactId);
        } else if (!m_local.update(*contact, withoutStaleCompany(card.entry, contact->entry), link,
                                   refusal)) {
            m_report.notes << (refusal.isEmpty()
                                   ? QStringLiteral("Kontakt %1 se mezitím změnil; vyřeší se "
                                                    "při příští synchronizaci.")
                                         .arg(io::displayName(contact->entry.contact))
                                   : QStringLiteral("Karta %1 nebyla uložena: %2")
                                         .arg(resource.href, refusal));
            m_touched << id;
            return;
        }
        m_links.insert(link.contactId, link);
        m_touched << link.contactId;
        ++m_report.receivedHere;
    }

    /// A card new here that is a contact without a card: tied to it. When
    /// they differ, both versions wait for the user, as for a contact
    /// changed on both sides.
    bool pairWithContact(const davxml::Resource &resource, const ServerCard &card) {
        if (!m_pairing)
            m_pairing.emplace(m_contacts, m_links);
        const int id = m_pairing->take(card.uid, card.entry);
        if (!id)
            return false;
        const LocalContact &contact = m_contacts[id];
        CardLink link{id, card.uid, resource.href, resource.etag, contact.digest, {}, {}};
        if (link.uid.isEmpty()) // what this program writes there carries one
            link.uid = m_links.value(id).uid;
        if (link.uid.isEmpty())
            link.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!sameContent(contact.entry, card.entry)) {
            link.conflictEtag = resource.etag;
            link.conflictCard = resource.addressData;
            m_report.conflicts << id;
        }
        keep(link);
        m_byHref.insert(link.href, id);
        ++m_report.paired;
        return true;
    }

    void takeRemoval(const QString &href) {
        if (m_companies.offerRemoval(href))
            return;
        const int id = m_byHref.value(href);
        if (!id || m_touched.contains(id))
            return;
        CardLink link = m_links.value(id);
        if (link.etag.isEmpty()) // never confirmed there: it goes again
            return;
        const auto contact = m_contacts.constFind(id);
        m_byHref.remove(href);
        if (contact == m_contacts.cend() || !m_scope.includes(contact->companyId)) {
            // Gone here, or leaving the scope: only the link goes.
            m_db.executeCommitted({cardlinks::drop(id)});
            m_links.remove(id);
        } else if (contact->digest != link.digest || link.inConflict()) {
            // Changed here, deleted there: the changed contact stays and goes
            // there again as a new card.
            link = CardLink{id, {}, {}, {}, {}, {}, {}};
            m_db.executeCommitted({cardlinks::save(link)});
            m_links.insert(id, link);
        } else if (m_local.remove(*contact)) {
            m_links.remove(id);
            m_contacts.remove(id);
            m_touched << id;
            ++m_report.deletedHere;
        }
    }

    void queueNew(const LocalContact &contact, CardLink link) {
        link.contactId = contact.id;
        cardlinks::placeNew(link, m_book);
        link.etag.clear(); // If-None-Match: a new card
        link.digest = contact.digest;
        queue(contact, link);
    }

    void queue(const LocalContact &contact, const CardLink &link) {
        m_outgoing << Outgoing{contact, link};
        if (m_outgoing.size() >= kSendBatch)
            sendQueued();
    }

    /// The queued cards go up several at once. The links of new cards are
    /// kept before they go, so that should an answer be lost the next sync
    /// finds the card as this contact's, not as a stranger's; what the
    /// server answered is kept after. Each of the two is one transaction.
    void sendQueued() {
        QList<db::DbConnection::Statement> before;
        QList<CardWrite> writes;
        for (const Outgoing &out : std::as_const(m_outgoing)) {
            if (out.link.etag.isEmpty())
                before << cardlinks::save(out.link);
            writes << CardWrite{urlOf(out.link.href), cardWithUid(out.contact.entry, out.link.uid),
                                out.link.etag};
        }
        if (!before.isEmpty())
            m_db.executeCommitted(before);
        const QList<WriteResult> results = m_client.putAll(writes);
        QList<CardLink> after;
        QList<CardLink> clashed; // changed there meanwhile
        for (qsizetype i = 0; i < results.size(); ++i) {
            const Outgoing &out = m_outgoing[i];
            m_touched << out.contact.id;
            if (results[i].status == 412 && !out.link.etag.isEmpty())
                clashed << out.link;
            else if (const std::optional<CardLink> kept = out.link.etag.isEmpty()
                                                              ? sentNew(out, results[i])
                                                              : sentChange(out, results[i]))
                after << *kept;
        }
        m_outgoing.clear();
        keepAll(after);
        for (CardLink link : std::as_const(clashed)) // both versions wait for the user
            for (const davxml::Resource &there : m_client.fetch(m_book, {link.href})) {
                link.conflictEtag = there.etag;
                link.conflictCard = there.addressData;
                keep(link);
                m_report.conflicts << link.contactId;
            }
    }

    std::optional<CardLink> sentNew(const Outgoing &out, const WriteResult &result) {
        if (!result.done()) { // a card is there already: the next sync takes it as this one's
            m_report.notes << QStringLiteral("Karta %1 na serveru už je; kontakt %2 se s ní "
                                             "spáruje při příští synchronizaci.")
                                  .arg(out.link.href, io::displayName(out.contact.entry.contact));
            return std::nullopt;
        }
        CardLink link = out.link;
        link.etag = result.etag;
        ++m_report.sentThere;
        return link;
    }

    std::optional<CardLink> sentChange(const Outgoing &out, const WriteResult &result) {
        CardLink link = out.link;
        if (result.status == 404) // deleted there meanwhile: the change goes as a new card
            return CardLink{link.contactId, link.uid, {}, {}, {}, {}, {}};
        link.etag = result.etag;
        link.digest = out.contact.digest;
        ++m_report.sentThere;
        return link;
    }

    /// A contact that left the scope: its card leaves the book (the
    /// contact stays); one in conflict waits for the user's choice first.
    void sendLeave(const CardLink &link) {
        if (link.inConflict())
            return;
        if (!link.href.isEmpty() && !link.etag.isEmpty() &&
            m_client.remove(urlOf(link.href), link.etag).status == 412)
            return; // changed there meanwhile: taken with the next sync, then it leaves
        m_db.executeCommitted({cardlinks::drop(link.contactId)});
        m_links.remove(link.contactId);
        ++m_report.deletedThere;
    }

    void sendRemoval(const CardLink &link) {
        if (link.href.isEmpty()) {
            m_db.executeCommitted({cardlinks::drop(link.contactId)});
            return;
        }
        if (link.inConflict()) { // changed there, deleted here: the server's version comes back
            davxml::Resource there;
            there.href = link.href;
            there.etag = link.conflictEtag;
            there.addressData = link.conflictCard;
            CardLink plain = link;
            plain.conflictCard.clear();
            plain.conflictEtag.clear();
            m_links.insert(link.contactId, plain);
            takeCard(there);
            return;
        }
        const WriteResult result = m_client.remove(urlOf(link.href), link.etag);
        if (result.status == 412) // changed there meanwhile: it comes back with the next sync
            return;
        m_db.executeCommitted({cardlinks::drop(link.contactId)});
        m_links.remove(link.contactId);
        ++m_report.deletedThere;
    }

    db::DbConnection &m_db;
    CardDavClient &m_client;
    QUrl m_book;
    SyncScope m_scope;
    LocalContacts m_local;
    QHash<int, CardLink> m_links;
    QHash<QString, int> m_byHref;
    QHash<int, LocalContact> m_contacts;
    QSet<int> m_touched;                  ///< handled in this pass already
    std::optional<CardPairing> m_pairing; ///< made when the first card new here comes
    QList<Outgoing> m_outgoing;
    SyncReport m_report;
    CompanyCards m_companies; ///< the organisation cards, beside the contacts'
};

} // namespace

/// A row locked for the whole sync in a transaction of its own: a second
/// program's sync of the same register waits a moment and then gives way,
/// instead of sending the same new contacts as cards of its own.
class SyncLock {
  public:
    explicit SyncLock(db::DbConnection &db) : m_db(db) {
        try {
            db.executeCommitted(cardlinks::ensureStateRows());
            m_transaction.emplace(db);
            run(cardlinks::lockSync());
        } catch (const db::DbError &e) {
            if (e.kind() != db::DbError::Kind::LockTimeout &&
                e.kind() != db::DbError::Kind::Conflict)
                throw;
            throw SyncError(SyncError::Kind::Busy,
                            QStringLiteral("Tento registr právě synchronizuje jiný program; "
                                           "synchronizace proběhne příště."));
        }
    }
    void release() { m_transaction->commit(); }

  private:
    void run(const db::DbConnection::Statement &s) {
        db::FbStatement statement(m_db, m_transaction->handle());
        statement.prepare(s.sql);
        statement.bind(s.params);
        statement.execute();
        if (s.expectedRows >= 0 && statement.affectedRows() != s.expectedRows)
            throw db::DbError(QStringLiteral("Stav synchronizace chybí."),
                              db::DbError::Kind::Conflict);
    }

    db::DbConnection &m_db;
    std::optional<db::WriteTransaction> m_transaction;
};

SyncEngine::SyncEngine(db::DbConnection &db, CardDavClient &client) : m_db(db), m_client(client) {
}

SyncEngine::~SyncEngine() = default;

QUrl SyncEngine::openBook() {
    data::synctables::ensure(m_db);
    m_book = m_client.findAddressBook();
    m_lock = std::make_unique<SyncLock>(m_db);
    m_state = cardlinks::readState(m_db);
    if (m_state.book != m_book.toString()) {
        // Another address book: the links to the old one say nothing of it.
        m_state = {m_book.toString(), {}};
        m_db.executeCommitted({cardlinks::dropAll(), cardlinks::dropAll(cardlinks::kCompanyCards),
                               cardlinks::saveState(m_state)});
    }
    return m_book;
}

void SyncEngine::closeBook() {
    m_db.executeCommitted({cardlinks::saveState(m_state)});
    m_lock->release();
    m_lock.reset();
}

SyncReport SyncEngine::run() {
    openBook();
    SyncPass pass(m_db, m_client, m_book, m_scope);
    const QString token = pass.receive(m_state.token);
    pass.send();
    m_state.token = token;
    closeBook();
    SyncReport report = pass.report();
    std::sort(report.conflicts.begin(), report.conflicts.end());
    report.conflicts.erase(std::unique(report.conflicts.begin(), report.conflicts.end()),
                           report.conflicts.end());
    QList<int> &companies = report.conflictingCompanies;
    std::sort(companies.begin(), companies.end());
    companies.erase(std::unique(companies.begin(), companies.end()), companies.end());
    return report;
}

} // namespace cardsync
