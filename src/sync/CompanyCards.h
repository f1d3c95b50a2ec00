#pragma once

#include "io/Record.h"
#include "sync/CardDavClient.h"
#include "sync/LocalCompanies.h"
#include "sync/SyncEngine.h"

#include <QSet>
#include <optional>

namespace cardsync {

/// A company's organisation card as it goes to the server: vCard 3.0 as
/// the export writes it (X-ABShowAs:COMPANY), with its UID.
QByteArray organisationCard(const io::Entry &company, const QString &uid);
/// The company of an organisation card (a company-only entry); nullopt when
/// `bytes` are not one. What a phone shows (the seat address, phone, mobile
/// and fax) counts over this program's own copies of them in the card, so
/// that a change made on the phone is taken, a value deleted there included.
std::optional<io::Entry> readOrganisationCard(const QByteArray &bytes, QString *uid = nullptr);

/// A contact's card whose ORG was changed on the phone still carries this
/// program's copy of the old company's data (IČO, seat), which would match
/// the old company again: when that copy is unchanged, only the new name
/// counts, so that the contact goes where its ORG says.
io::Entry withoutStaleCompany(io::Entry card, const io::Entry &stored);

/// The organisation cards of one sync pass, beside the contacts' cards:
/// every company the scope takes has one ("Bez firmy" none). The same
/// rules as for contacts: a company changed on both sides waits for the
/// user with neither side written, a delete against a change keeps the
/// change, and every write there is conditional. A card deleted on the
/// phone never deletes a company with contacts (its card goes back); a
/// company that leaves the scope loses its card, never its data.
class CompanyCards {
  public:
    CompanyCards(db::DbConnection &db, CardDavClient &client, const QUrl &book, SyncScope scope,
                 SyncReport &report);

    /// True when the server's card at `href` is a company's in the version
    /// known here (so need not be fetched).
    bool knows(const QString &href, const QString &etag) const;
    /// Keeps `card` for receive() when it is an organisation card or was
    /// one; false: it is a contact's.
    bool offer(const davxml::Resource &card);
    /// Keeps a removal there for receive() when it is a company's card.
    bool offerRemoval(const QString &href);
    /// The book was listed whole: the companies' cards not in it were removed.
    void notListed(const QSet<QString> &present);

    /// Takes the offered cards and removals into the register (after the
    /// contacts', so that the companies their cards made are matched).
    /// Returns the companies whose data changed here: their contacts'
    /// cards carry it and go again.
    QSet<int> receive();
    /// What changed here goes to the server.
    void send();

  private:
    void keep(const CardLink &link);
    void takeCard(const davxml::Resource &resource);
    void takeNew(const davxml::Resource &resource, const io::Entry &entry, const QString &uid);
    void takeRemoval(const QString &href);
    void sendNew(const LocalCompany &company, CardLink link);
    void sendChange(const LocalCompany &company, CardLink link);
    void sendRemoval(const CardLink &link, bool deletedHere);
    void waitForChoice(CardLink link, const davxml::Resource &there);
    QUrl urlOf(const QString &href) const { return m_book.resolved(QUrl(href)); }
    QString nameOf(int companyId) const;

    db::DbConnection &m_db;
    CardDavClient &m_client;
    QUrl m_book;
    SyncScope m_scope;
    SyncReport &m_report;
    LocalCompanies m_local;
    QHash<int, CardLink> m_links;
    QHash<QString, int> m_byHref;
    QHash<int, LocalCompany> m_companies; ///< in the scope, or with a card there
    QStringList m_offered;                ///< hrefs of the organisation cards to take
    QStringList m_removed;
    QSet<int> m_touched; ///< handled in this pass already
    QSet<int> m_changedHere;
};

/// The two versions of a company in conflict; nullopt when there is none.
std::optional<ConflictVersions> companyConflictVersions(db::DbConnection &db, int companyId);
/// Ends the conflict of the company as chosen (the book open, the sync
/// locked). Throws SyncError or db::DbError.
void settleCompany(db::DbConnection &db, CardDavClient &client, const QUrl &book, int companyId,
                   Choice choice);

} // namespace cardsync
