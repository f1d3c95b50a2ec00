#include "sync/CompanyCards.h"

#include "data/SyncTables.h"
#include "db/DbConnection.h"
#include "io/VCardContacts.h"
#include "io/VCardReader.h"
#include "sync/ServerCards.h"

namespace cardsync {
namespace {

const auto &kTable = cardlinks::kCompanyCards;

/// This program's copies of what an organisation card shows as standard
/// properties (in the group "firma"): the shown ones count.
const QStringList kShownColumns{QStringLiteral("TELEFON1"), QStringLiteral("MOBIL"),
                                QStringLiteral("FAX"),      QStringLiteral("ADRESA_FS"),
                                QStringLiteral("ULICE_FS"), QStringLiteral("OBEC_FS"),
                                QStringLiteral("PSC_FS"),   QStringLiteral("STAT_FS")};

bool isShownCopy(const QString &property) {
    for (const QString &column : kShownColumns)
        if (property == io::extensionName(io::kCompanyExtensionPrefix, column) ||
            property == io::kCompanyExtensionPrefix + column)
            return true;
    return false;
}

bool mayBeOrganisation(const QByteArray &bytes) {
    const QByteArray upper = bytes.toUpper();
    return upper.contains("KIND") || upper.contains("X-ABSHOWAS");
}

constexpr int kFetchBatch = 100;

} // namespace

io::Entry withoutStaleCompany(io::Entry card, const io::Entry &stored) {
    if (io::foldCase(card.companyName()) == io::foldCase(stored.companyName()))
        return card;
    io::Values rest = card.company, storedRest = stored.company;
    rest.remove(QStringLiteral("NAZEV_FIRMA"));
    storedRest.remove(QStringLiteral("NAZEV_FIRMA"));
    if (rest == storedRest) {
        card.company = {{QStringLiteral("NAZEV_FIRMA"), card.companyName()}};
        card.companyKey.clear();
    }
    return card;
}

QByteArray organisationCard(const io::Entry &company, const QString &uid) {
    return cardWithUid(company, uid);
}

std::optional<io::Entry> readOrganisationCard(const QByteArray &bytes, QString *uid) {
    io::VCardParseResult parsed = io::parseVCards(bytes);
    if (!parsed.errors.isEmpty() || parsed.cards.size() != 1)
        return std::nullopt;
    io::VCard &card = parsed.cards.first();
    card.properties.removeIf([](const io::VCardProperty &p) { return isShownCopy(p.name); });
    for (io::VCardProperty &p : card.properties)
        if (p.group == QLatin1String("firma"))
            p.group.clear();
    io::Entry entry = io::entryFromVCard(card);
    if (!entry.companyOnly)
        return std::nullopt;
    if (uid)
        if (const io::VCardProperty *p = card.find(QStringLiteral("UID")))
            *uid = p->text().trimmed();
    return entry;
}

CompanyCards::CompanyCards(db::DbConnection &db, CardDavClient &client, const QUrl &book,
                           SyncScope scope, SyncReport &report)
    : m_db(db), m_client(client), m_book(book), m_scope(std::move(scope)), m_report(report),
      m_local(db) {
    m_links = cardlinks::read(db, kTable);
    for (const CardLink &link : std::as_const(m_links))
        if (!link.href.isEmpty())
            m_byHref.insert(link.href, link.contactId);
}

bool CompanyCards::knows(const QString &href, const QString &etag) const {
    const auto known = m_byHref.constFind(href);
    return known != m_byHref.cend() && !etag.isEmpty() && m_links.value(*known).etag == etag;
}

bool CompanyCards::offer(const davxml::Resource &card) {
    if (!m_byHref.contains(card.href) &&
        (!mayBeOrganisation(card.addressData) || !readOrganisationCard(card.addressData)))
        return false;
    m_offered << card.href;
    return true;
}

bool CompanyCards::offerRemoval(const QString &href) {
    if (!m_byHref.contains(href))
        return false;
    m_removed << href;
    return true;
}

void CompanyCards::notListed(const QSet<QString> &present) {
    for (auto it = m_byHref.cbegin(); it != m_byHref.cend(); ++it)
        if (!present.contains(it.key()))
            m_removed << it.key();
}

QSet<int> CompanyCards::receive() {
    m_companies =
        m_local.read([this](int id) { return m_scope.includes(id) || m_links.contains(id); });
    // Removals first: a company whose card was deleted there may have a new
    // one already (made by another program), which then becomes its card.
    for (const QString &href : std::as_const(m_removed))
        takeRemoval(href);
    // Fetched again, so that the cards are not all held at once.
    for (qsizetype i = 0; i < m_offered.size(); i += kFetchBatch)
        for (const davxml::Resource &card : m_client.fetch(m_book, m_offered.mid(i, kFetchBatch)))
            takeCard(card);
    return m_changedHere;
}

void CompanyCards::keep(const CardLink &link) {
    m_db.executeCommitted({cardlinks::save(link, kTable)});
    m_links.insert(link.contactId, link);
    m_touched << link.contactId;
}

QString CompanyCards::nameOf(int companyId) const {
    return m_companies.value(companyId).entry.companyName();
}

void CompanyCards::waitForChoice(CardLink link, const davxml::Resource &there) {
    link.conflictEtag = there.etag;
    link.conflictCard = there.addressData;
    keep(link);
    m_report.conflictingCompanies << link.contactId;
}

void CompanyCards::takeCard(const davxml::Resource &resource) {
    QString uid;
    const auto entry = readOrganisationCard(resource.addressData, &uid);
    const int id = m_byHref.value(resource.href);
    if (!entry) {
        m_report.notes
            << QStringLiteral("Karta firmy %1 není karta firmy, vynechána.").arg(resource.href);
        return;
    }
    if (!id) {
        takeNew(resource, *entry, uid);
        return;
    }
    CardLink link = m_links.value(id);
    if (link.etag.isEmpty()) { // this program's own card whose answer was lost
        link.etag = resource.etag;
        keep(link);
        return;
    }
    const auto company = m_companies.constFind(id);
    if (link.inConflict() || (company != m_companies.cend() && company->digest != link.digest)) {
        waitForChoice(link, resource); // the user decides on the newest version there
        return;
    }
    if (company == m_companies.cend()) { // changed there, deleted here: it comes back
        m_db.executeCommitted({cardlinks::drop(id, kTable)});
        m_links.remove(id);
        takeNew(resource, *entry, link.uid);
        return;
    }
    link.etag = resource.etag;
    QString refusal;
    if (!m_local.update(*company, *entry, link, refusal)) {
        m_report.notes << (refusal.isEmpty()
                               ? QStringLiteral("Firma %1 se mezitím změnila; vyřeší se při "
                                                "příští synchronizaci.")
                                     .arg(nameOf(id))
                               : QStringLiteral("Karta firmy %1 nebyla uložena: %2")
                                     .arg(resource.href, refusal));
        m_touched << id;
        return;
    }
    m_local.settle(link);
    m_links.insert(id, link);
    m_touched << id;
    m_changedHere << id;
    ++m_report.companiesHere;
}

void CompanyCards::takeNew(const davxml::Resource &resource, const io::Entry &entry,
                           const QString &uid) {
    CardLink link{0, uid, resource.href, resource.etag, {}, {}, {}};
    if (const int existing = m_local.match(entry)) {
        // The company is here already (made from its contacts' cards, or
        // both sides had it): the card becomes its card; where the two
        // differ, the user chooses.
        if (!m_links.value(existing).href.isEmpty()) {
            m_report.notes << QStringLiteral("Karta %1 popisuje firmu %2, která už kartu má; "
                                             "vynechána.")
                                  .arg(resource.href, entry.companyName());
            return;
        }
        const auto here = m_local.readOne(existing);
        QString refusal;
        const auto there = m_local.storable(entry, refusal);
        link.contactId = existing;
        link.digest = here ? here->digest : QString();
        m_byHref.insert(link.href, existing);
        if (here && there == here->entry.company)
            keep(link);
        else
            waitForChoice(link, resource);
        return;
    }
    QString refusal;
    link.contactId = m_local.create(entry, link, refusal);
    if (!link.contactId) {
        m_report.notes
            << QStringLiteral("Karta firmy %1 nebyla uložena: %2").arg(resource.href, refusal);
        return;
    }
    m_local.settle(link);
    m_links.insert(link.contactId, link);
    m_byHref.insert(link.href, link.contactId);
    m_touched << link.contactId;
    ++m_report.companiesHere;
}

void CompanyCards::takeRemoval(const QString &href) {
    const int id = m_byHref.value(href);
    if (!id || m_touched.contains(id))
        return;
    CardLink link = m_links.value(id);
    if (link.etag.isEmpty()) // never confirmed there: it goes again
        return;
    m_byHref.remove(href);
    const auto company = m_companies.constFind(id);
    if (company == m_companies.cend() || !m_scope.includes(id)) { // only the link goes
        m_db.executeCommitted({cardlinks::drop(id, kTable)});
        m_links.remove(id);
        return;
    }
    const bool changedHere = company->digest != link.digest || link.inConflict();
    if (changedHere || !m_local.remove(*company)) {
        // The company stays (changed here, or it has contacts) and its card
        // goes there again.
        link = CardLink{id, {}, {}, {}, {}, {}, {}};
        m_db.executeCommitted({cardlinks::save(link, kTable)});
        m_links.insert(id, link);
        return;
    }
    m_links.remove(id);
    m_companies.remove(id);
    m_touched << id;
    ++m_report.companiesHere;
}

void CompanyCards::send() {
    for (const LocalCompany &company : std::as_const(m_companies)) {
        if (m_touched.contains(company.id))
            continue;
        const auto link = m_links.constFind(company.id);
        if (!m_scope.includes(company.id)) { // it left the scope: its card leaves the book
            if (link != m_links.cend())
                sendRemoval(*link, false);
        } else if (link == m_links.cend() || link->href.isEmpty() || link->etag.isEmpty()) {
            sendNew(company, link == m_links.cend() ? CardLink{} : *link);
        } else if (link->inConflict()) {
            m_report.conflictingCompanies << company.id;
        } else if (link->digest != company.digest) {
            sendChange(company, *link);
        }
    }
    for (const CardLink &link : QList<CardLink>(m_links.values()))
        if (!m_companies.contains(link.contactId) && !m_touched.contains(link.contactId))
            sendRemoval(link, true);
}

void CompanyCards::sendNew(const LocalCompany &company, CardLink link) {
    link.contactId = company.id;
    cardlinks::placeNew(link, m_book);
    // Kept before the card goes, so that a lost answer does not make it a stranger's.
    link.etag.clear();
    link.digest = company.digest;
    keep(link);
    const WriteResult result =
        m_client.put(urlOf(link.href), organisationCard(company.entry, link.uid), {});
    if (!result.done()) {
        m_report.notes << QStringLiteral("Karta %1 na serveru už je; firma %2 se s ní spáruje "
                                         "při příští synchronizaci.")
                              .arg(link.href, company.entry.companyName());
        return;
    }
    link.etag = result.etag;
    keep(link);
    ++m_report.companiesThere;
}

void CompanyCards::sendChange(const LocalCompany &company, CardLink link) {
    const WriteResult result =
        m_client.put(urlOf(link.href), organisationCard(company.entry, link.uid), link.etag);
    if (result.status == 404) { // deleted there meanwhile: the change goes as a new card
        keep(CardLink{company.id, link.uid, {}, {}, {}, {}, {}});
        return;
    }
    if (result.status == 412) { // changed there meanwhile: both versions wait for the user
        for (const davxml::Resource &there : m_client.fetch(m_book, {link.href}))
            waitForChoice(link, there);
        return;
    }
    link.etag = result.etag;
    link.digest = company.digest;
    keep(link);
    ++m_report.companiesThere;
}

void CompanyCards::sendRemoval(const CardLink &link, bool deletedHere) {
    if (link.href.isEmpty()) {
        m_db.executeCommitted({cardlinks::drop(link.contactId, kTable)});
        m_links.remove(link.contactId);
        return;
    }
    if (link.inConflict()) {
        if (!deletedHere) // it waits for the user's choice before it leaves
            return;
        // Changed there, deleted here: the server's version comes back.
        davxml::Resource there;
        there.href = link.href;
        there.etag = link.conflictEtag;
        there.addressData = link.conflictCard;
        m_db.executeCommitted({cardlinks::drop(link.contactId, kTable)});
        m_links.remove(link.contactId);
        m_byHref.remove(link.href);
        if (const auto entry = readOrganisationCard(there.addressData))
            takeNew(there, *entry, link.uid);
        return;
    }
    const WriteResult result = m_client.remove(urlOf(link.href), link.etag);
    if (result.status == 412) // changed there meanwhile: it comes back with the next sync
        return;
    m_db.executeCommitted({cardlinks::drop(link.contactId, kTable)});
    m_links.remove(link.contactId);
    ++m_report.companiesThere;
}

std::optional<ConflictVersions> companyConflictVersions(db::DbConnection &db, int companyId) {
    data::synctables::ensure(db);
    const CardLink link = cardlinks::read(db, kTable).value(companyId);
    const auto here = LocalCompanies(db).readOne(companyId);
    const auto there = readOrganisationCard(link.conflictCard);
    if (!link.inConflict() || !here || !there)
        return std::nullopt;
    return ConflictVersions{here->entry, *there};
}

void settleCompany(db::DbConnection &db, CardDavClient &client, const QUrl &book, int companyId,
                   Choice choice) {
    CardLink link = cardlinks::read(db, kTable).value(companyId);
    if (!link.inConflict())
        return;
    LocalCompanies local(db);
    const auto here = local.readOne(companyId);
    QString uid, refusal;
    const auto there = readOrganisationCard(link.conflictCard, &uid);
    CardLink settled = link;
    settled.conflictCard.clear();
    settled.conflictEtag.clear();
    auto refused = [&refusal] {
        return SyncError(SyncError::Kind::Server,
                         refusal.isEmpty()
                             ? QStringLiteral("Firma se mezitím změnila; zkuste to znovu.")
                             : refusal);
    };
    if (choice == Choice::KeepServer && here && there) {
        settled.etag = link.conflictEtag;
        if (!local.update(*here, *there, settled, refusal))
            throw refused();
        local.settle(settled);
        return;
    }
    if (choice == Choice::KeepBoth && there) {
        // The server's version becomes a company of its own; this one goes
        // there as a new card with the next sync.
        CardLink theirs{0, uid, link.href, link.conflictEtag, {}, {}, {}};
        db.executeCommitted({cardlinks::save(CardLink{companyId, {}, {}, {}, {}, {}, {}}, kTable)});
        theirs.contactId = local.create(*there, theirs, refusal);
        if (!theirs.contactId)
            throw refused();
        local.settle(theirs);
        return;
    }
    if (!here)
        return;
    // This version wins: it goes over the server's, and only over that one.
    const WriteResult result = client.put(
        book.resolved(QUrl(link.href)), organisationCard(here->entry, link.uid), link.conflictEtag);
    if (!result.done())
        throw SyncError(SyncError::Kind::Server,
                        QStringLiteral("Karta firmy se na serveru mezitím znovu změnila; "
                                       "synchronizujte a vyberte znovu."));
    settled.etag = result.etag;
    settled.digest = here->digest;
    db.executeCommitted({cardlinks::save(settled, kTable)});
}

} // namespace cardsync
