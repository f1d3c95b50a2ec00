#include "sync/LocalCompanies.h"

#include "base/Win1250.h"
#include "data/RowIds.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "io/ContactStore.h"
#include "sync/LocalContacts.h"

namespace cardsync {
namespace {

/// The ID, version, whether real contacts belong to it, then the columns
/// that travel.
QByteArray selectCompanies(const QByteArray &where) {
    QByteArray sql = "SELECT f.ID, f.RDB$RECORD_VERSION, CASE WHEN EXISTS (SELECT 1 FROM KONTAKT "
                     "k WHERE k.ID_FIRMA = f.ID AND k.KRAJ IS DISTINCT FROM '***') THEN 1 ELSE 0 "
                     "END";
    for (const io::Column &c : io::companyColumns())
        sql += ", f." + c.name.toLatin1();
    return sql + " FROM FIRMA f" + where;
}
constexpr int kFirstColumn = 3;

QVariant textOrNull(const QString &text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

bool isNoCompany(const QString &name) {
    return io::foldCase(name.trimmed()) == io::foldCase(io::kNoCompanyName);
}

} // namespace

QHash<int, LocalCompany> LocalCompanies::read(const std::function<bool(int id)> &wanted) {
    return readWhere({}, {}, wanted);
}

std::optional<LocalCompany> LocalCompanies::readOne(int id) {
    const auto found = readWhere(" WHERE f.ID = ?", {id}, [](int) { return true; });
    return found.isEmpty() ? std::nullopt : std::optional(*found.cbegin());
}

QHash<int, LocalCompany> LocalCompanies::readWhere(const QByteArray &where,
                                                   const QVariantList &params,
                                                   const std::function<bool(int id)> &wanted) {
    QHash<int, LocalCompany> companies;
    const auto cursor = m_db.openCursor(selectCompanies(where), params);
    db::PackedRow row;
    while (cursor->fetch(row)) {
        const int id = int(row.cell(0).num);
        if (!wanted(id))
            continue;
        io::Values values;
        for (int i = 0; i < io::companyColumns().size(); ++i) {
            const db::Cell cell = row.cell(kFirstColumn + i);
            const QString text = base::win1250::decode(
                cell.tag == db::Cell::BlobId ? m_db.readBlob(cell.num) : cell.bytes);
            if (!text.isEmpty())
                values.insert(io::companyColumns()[i].name, text);
        }
        if (isNoCompany(values.value(QStringLiteral("NAZEV_FIRMA"))))
            continue;
        LocalCompany &c = companies[id];
        c.id = id;
        c.version = row.cell(1).num;
        c.hasContacts = row.cell(2).num != 0;
        c.entry = io::Entry{{}, {}, values, true, QString::number(id), {}};
        c.digest = digestOf(c.entry);
    }
    return companies;
}

io::ExistingData &LocalCompanies::existing() {
    if (!m_existing) {
        m_existing = io::readExisting(m_db);
        m_existing->contacts.clear(); // only the companies are matched here
    }
    return *m_existing;
}

std::optional<io::Values> LocalCompanies::storable(const io::Entry &entry, QString &refusal) {
    io::ExistingData lengthsOnly; // no companies: the plan keeps the values of a new one
    lengthsOnly.companyLengths = existing().companyLengths;
    const io::Entry company{{}, {}, entry.company, true, {}, {}};
    const io::ImportPlan plan = io::planImport({company}, lengthsOnly);
    if (plan.companies.isEmpty()) {
        QStringList problems;
        for (const io::RefusedEntry &r : plan.refused)
            problems << r.problems;
        refusal = problems.join(QStringLiteral("; "));
        return std::nullopt;
    }
    return plan.companies.first().values.unpack();
}

int LocalCompanies::match(const io::Entry &entry) {
    const io::ImportPlan plan =
        io::planImport({io::Entry{{}, {}, entry.company, true, {}, {}}}, existing());
    return plan.companies.isEmpty() ? 0 : plan.companies.first().existingId;
}

int LocalCompanies::create(const io::Entry &entry, CardLink link, QString &refusal) {
    const auto values = storable(entry, refusal);
    if (!values)
        return 0;
    link.contactId = int(data::rowids::next(m_db, QStringLiteral("FIRMA")));
    const int placeholderId = int(data::rowids::next(m_db, QStringLiteral("KONTAKT")));
    QByteArray columns = "ID", markers = "?";
    QVariantList params{link.contactId};
    for (const io::Column &c : io::companyColumns()) {
        columns += ", " + c.name.toLatin1();
        markers += ", ?";
        params << textOrNull(values->value(c.name));
    }
    m_db.executeCommitted(
        {{"INSERT INTO FIRMA (" + columns + ") VALUES (" + markers + ")", params},
         {"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (?, ?, 0, '***')",
          {placeholderId, link.contactId}},
         cardlinks::save(link, cardlinks::kCompanyCards)});
    remember(link.contactId, *values, placeholderId);
    return link.contactId;
}

bool LocalCompanies::update(const LocalCompany &current, const io::Entry &entry,
                            const CardLink &link, QString &refusal) {
    const auto values = storable(entry, refusal);
    if (!values)
        return false;
    QByteArray assignments;
    QVariantList params;
    for (const io::Column &c : io::companyColumns()) {
        assignments += (assignments.isEmpty() ? "" : ", ") + c.name.toLatin1() + " = ?";
        params << textOrNull(values->value(c.name));
    }
    try {
        m_db.executeCommitted(
            {{"UPDATE FIRMA SET " + assignments + " WHERE ID = ? AND RDB$RECORD_VERSION = ?",
              params << current.id << current.version, 1},
             cardlinks::save(link, cardlinks::kCompanyCards)});
    } catch (const db::DbError &e) {
        if (e.kind() != db::DbError::Kind::Conflict)
            throw;
        return false;
    }
    remember(current.id, *values, 0); // its IČO or name may have changed
    return true;
}

bool LocalCompanies::remove(const LocalCompany &current) {
    if (current.hasContacts)
        return false;
    try {
        // The delete trigger refuses a company a contact has come to meanwhile.
        m_db.executeCommitted(
            {{"DELETE FROM KONTAKT WHERE ID_FIRMA = ? AND KRAJ = '***'", {current.id}},
             {"DELETE FROM FIRMA WHERE ID = ? AND RDB$RECORD_VERSION = ?",
              {current.id, current.version},
              1},
             cardlinks::drop(current.id, cardlinks::kCompanyCards)});
    } catch (const db::DbError &e) {
        if (e.kind() != db::DbError::Kind::Conflict &&
            !e.isDatabaseException(QStringLiteral("FIRMA_MA_KONTAKTY")))
            throw;
        return false;
    }
    forget(current.id);
    return true;
}

void LocalCompanies::forget(int id) {
    if (m_existing)
        m_existing->companies.removeIf([id](const auto &c) { return c.id == id; });
}

void LocalCompanies::remember(int id, const io::Values &values, int placeholderId) {
    forget(id);
    existing().companies << io::ExistingData::Company{
        id, values.value(QStringLiteral("NAZEV_FIRMA")), placeholderId,
        values.value(QStringLiteral("ICO")).simplified().remove(QLatin1Char(' ')),
        io::companySeatKey(values)};
}

void LocalCompanies::settle(CardLink &link) {
    if (const auto stored = readOne(link.contactId))
        link.digest = stored->digest;
    m_db.executeCommitted({cardlinks::save(link, cardlinks::kCompanyCards)});
}

} // namespace cardsync
