#include "sync/LocalContacts.h"

#include "base/Win1250.h"
#include "data/RowIds.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "io/ContactStore.h"
#include "io/VCardContacts.h"

#include <QCryptographicHash>

namespace cardsync {
namespace {

using Statement = db::DbConnection::Statement;

const QString kContactRegion = QStringLiteral(" "); // what the contact form writes

/// Column = value pairs of a contact's stored data.
void contactColumns(const io::Entry &e, QStringList &columns, QVariantList &values) {
    for (const io::Column &c : io::contactColumns()) {
        columns << c.name;
        const QString text = e.contact.value(c.name);
        values << (text.isEmpty() ? QVariant() : QVariant(text));
    }
    columns << QStringLiteral("OBR") << QStringLiteral("KRAJ");
    values << (e.photo.isEmpty() ? QVariant() : QVariant(e.photo)) << kContactRegion;
}

Statement insertRow(const char *table, QStringList columns, QVariantList values) {
    const QString markers = QStringLiteral("?, ").repeated(columns.size()).chopped(2);
    return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(QString::fromLatin1(table), columns.join(QStringLiteral(", ")), markers)
                .toLatin1(),
            values};
}

/// A company left without contacts keeps its placeholder, as a delete in the
/// form leaves it.
Statement placeholderIfEmpty(qint64 placeholderId, int companyId) {
    return {"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) "
            "SELECT ?, ?, 0, '***' FROM RDB$DATABASE "
            "WHERE NOT EXISTS (SELECT 1 FROM KONTAKT WHERE ID_FIRMA = ?) "
            "AND EXISTS (SELECT 1 FROM FIRMA WHERE ID = ?)",
            {placeholderId, companyId, companyId, companyId}};
}

/// Commits `statements`; false when one found its row changed or gone
/// meanwhile (nothing is written then).
bool commitUnlessChanged(db::DbConnection &db, const QList<Statement> &statements) {
    try {
        db.executeCommitted(statements);
    } catch (const db::DbError &e) {
        if (e.kind() != db::DbError::Kind::Conflict)
            throw;
        return false;
    }
    return true;
}

/// The digest of the contact as the register reads it back once
/// `contact` is stored under that company: computed before the write, so
/// that it goes with the contact and its link in one transaction.
QString storedDigest(const io::Entry &contact, int companyId, const io::Values &company) {
    io::Entry stored;
    stored.contact = contact.contact;
    stored.contact.removeIf([](const auto &value) { return value.value().isEmpty(); });
    stored.photo = contact.photo;
    stored.company = company;
    stored.companyKey = QString::number(companyId);
    return digestOf(stored);
}

} // namespace

QString digestOf(const io::Entry &entry) {
    QByteArray card;
    io::appendVCard(card, entry, io::VCardVersion::V4);
    return QString::fromLatin1(QCryptographicHash::hash(card, QCryptographicHash::Sha1).toHex());
}

QHash<int, LocalContact> LocalContacts::readAll() {
    // Versions first: a change committed between the two reads then shows
    // as a newer version than the data read, and a write over it is refused.
    QHash<int, LocalContact> contacts;
    const auto versions = m_db.openCursor(
        "SELECT ID, ID_FIRMA, RDB$RECORD_VERSION FROM KONTAKT WHERE KRAJ IS DISTINCT FROM '***'",
        {});
    db::PackedRow row;
    while (versions->fetch(row)) {
        LocalContact &c = contacts[int(row.cell(0).num)];
        c.id = int(row.cell(0).num);
        c.companyId = int(row.cell(1).num);
        c.version = row.cell(2).num;
    }
    io::forEachContactEntry(m_db, {}, [&](int id, io::Entry &&entry) {
        const auto found = contacts.find(id);
        if (id == 0 || found == contacts.end())
            return;
        found->digest = digestOf(entry);
        found->entry = std::move(entry);
    });
    contacts.removeIf([](const auto &c) { return c.value().digest.isEmpty(); });
    return contacts;
}

std::optional<LocalContact> LocalContacts::readOne(int id) {
    const auto cursor = m_db.openCursor(
        "SELECT ID_FIRMA, RDB$RECORD_VERSION FROM KONTAKT WHERE ID = ? AND KRAJ IS DISTINCT FROM "
        "'***'",
        {id});
    db::PackedRow row;
    if (!cursor->fetch(row))
        return std::nullopt;
    LocalContact contact{id, int(row.cell(0).num), row.cell(1).num, {}, {}};
    const io::ExportScope scope{io::ExportScope::Kind::Company, contact.companyId, {}, {}};
    io::forEachContactEntry(m_db, contact.companyId ? scope : io::ExportScope{},
                            [&](int found, io::Entry &&entry) {
                                if (found == id)
                                    contact.entry = std::move(entry);
                            });
    contact.digest = digestOf(contact.entry);
    return contact;
}

std::optional<LocalContacts::Placement> LocalContacts::place(const io::Entry &entry,
                                                             QString &refusal) {
    if (!m_companies) {
        m_companies = io::readExisting(m_db);
        m_companies->contacts.clear(); // a card of the server is never a duplicate to skip
    }
    const io::ImportPlan plan = io::planImport({entry}, *m_companies);
    if (plan.contacts.isEmpty()) {
        QStringList problems;
        for (const io::RefusedEntry &r : plan.refused)
            problems << r.who + QStringLiteral(": ") + r.problems.join(QStringLiteral("; "));
        refusal = problems.isEmpty() ? QStringLiteral("karta bez kontaktu")
                                     : problems.join(QStringLiteral(" "));
        return std::nullopt;
    }
    const io::PlannedContact &contact = plan.contacts.first();
    const io::PlannedCompany &company = plan.companies[contact.company];
    const io::Values companyValues = company.values.unpack();
    io::Entry stored; // as the plan made it fit for the database
    stored.contact = contact.contact.unpack();
    stored.photo = contact.photo;
    stored.company = companyValues;
    Placement placement{stored, company.existingId, {}, std::nullopt, {}};
    if (company.existingId) {
        placement.statements << Statement{"DELETE FROM KONTAKT WHERE ID_FIRMA = ? AND KRAJ = '***'",
                                          {company.existingId}};
        placement.companyStored = storedCompany(company.existingId);
        return placement;
    }
    placement.companyId = int(data::rowids::next(m_db, QStringLiteral("FIRMA")));
    QStringList columns{QStringLiteral("ID")};
    QVariantList values{placement.companyId};
    for (const io::Column &c : io::companyColumns()) {
        const QString text = companyValues.value(c.name);
        columns << c.name;
        values << (text.isEmpty() ? QVariant() : QVariant(text));
    }
    placement.statements << insertRow("FIRMA", columns, values);
    placement.created = io::ExistingData::Company{
        placement.companyId, company.name, 0,
        companyValues.value(QStringLiteral("ICO")).simplified().remove(QLatin1Char(' ')),
        io::companySeatKey(companyValues)};
    placement.companyStored = companyValues;
    placement.companyStored.removeIf([](const auto &value) { return value.value().isEmpty(); });
    return placement;
}

io::Values LocalContacts::storedCompany(int companyId) {
    QStringList names;
    for (const io::Column &c : io::companyColumns())
        names << c.name;
    const auto cursor = m_db.openCursor("SELECT " + names.join(QStringLiteral(", ")).toLatin1() +
                                            " FROM FIRMA WHERE ID = ?",
                                        {companyId});
    io::Values values;
    db::PackedRow row;
    if (!cursor->fetch(row))
        return values;
    for (int i = 0; i < names.size(); ++i) {
        const db::Cell cell = row.cell(i);
        const QString text = base::win1250::decode(
            row.tag(i) == db::Cell::BlobId ? m_db.readBlob(cell.num) : cell.bytes);
        if (!text.isEmpty())
            values.insert(names[i], text);
    }
    return values;
}

void LocalContacts::remember(const Placement &placement) {
    if (placement.created)
        m_companies->companies << *placement.created;
}

int LocalContacts::newContactId() {
    // Reserved a block at a time: each reservation also looks for the
    // table's largest ID, which reads the whole table.
    constexpr qint64 kBlock = 100;
    if (m_nextId >= m_idsEnd) {
        m_nextId = data::rowids::next(m_db, QStringLiteral("KONTAKT"), kBlock);
        m_idsEnd = m_nextId + kBlock;
    }
    return int(m_nextId++);
}

int LocalContacts::create(const io::Entry &entry, CardLink &link, QString &refusal) {
    const auto placement = place(entry, refusal);
    if (!placement)
        return 0;
    link.contactId = newContactId();
    link.digest = storedDigest(placement->entry, placement->companyId, placement->companyStored);
    QStringList columns{QStringLiteral("ID"), QStringLiteral("ID_FIRMA"),
                        QStringLiteral("ID_POBOCKA")};
    QVariantList values{link.contactId, placement->companyId, 0};
    contactColumns(placement->entry, columns, values);
    m_db.executeCommitted(
        placement->statements +
        QList<Statement>{insertRow("KONTAKT", columns, values), cardlinks::save(link)});
    remember(*placement);
    return link.contactId;
}

bool LocalContacts::update(const LocalContact &current, const io::Entry &entry, CardLink &link,
                           QString &refusal) {
    std::optional<Placement> placement;
    if (io::foldCase(entry.companyName()) == io::foldCase(current.entry.companyName())) {
        // The same company: its data stays as the register has it.
        const auto planned = place(entry, refusal);
        if (!planned)
            return false;
        placement =
            Placement{planned->entry, current.companyId, {}, std::nullopt, current.entry.company};
    } else {
        placement = place(entry, refusal);
        if (!placement)
            return false;
    }
    QStringList columns{QStringLiteral("ID_FIRMA")};
    QVariantList values{placement->companyId};
    contactColumns(placement->entry, columns, values);
    QList<Statement> statements = placement->statements;
    statements << Statement{QStringLiteral("UPDATE KONTAKT SET %1 = ? WHERE ID = ? AND "
                                           "RDB$RECORD_VERSION = ?")
                                .arg(columns.join(QStringLiteral(" = ?, ")))
                                .toLatin1(),
                            values + QVariantList{current.id, current.version}, 1};
    if (placement->companyId != current.companyId && current.companyId)
        statements << placeholderIfEmpty(data::rowids::next(m_db, QStringLiteral("KONTAKT")),
                                         current.companyId);
    link.digest = storedDigest(placement->entry, placement->companyId, placement->companyStored);
    statements << cardlinks::save(link);
    if (!commitUnlessChanged(m_db, statements))
        return false;
    remember(*placement);
    return true;
}

bool LocalContacts::remove(const LocalContact &current) {
    QList<Statement> statements{{"DELETE FROM KONTAKT WHERE ID = ? AND RDB$RECORD_VERSION = ?",
                                 {current.id, current.version},
                                 1},
                                cardlinks::drop(current.id)};
    if (current.companyId)
        statements << placeholderIfEmpty(data::rowids::next(m_db, QStringLiteral("KONTAKT")),
                                         current.companyId);
    return commitUnlessChanged(m_db, statements);
}

} // namespace cardsync
