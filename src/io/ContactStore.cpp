#include "ContactStore.h"

#include "Dataset.h"
#include "DbConnection.h"
#include "Win1250.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace io {
namespace {

const QString kPlaceholderRegion = QStringLiteral("***");

/// The text of a fetched cell (Windows-1250 bytes).
QString cellText(const data::PackedRow &row, int column) {
    return data::win1250::decode(row.cell(column).bytes);
}

/// Runs a SELECT and hands each row (dataset and row index) to `take`.
template <typename Take>
void forEachRow(data::DbConnection &db, const QString &sql, const QVariantList &params, Take take) {
    data::QueryDataset q(QStringLiteral("qExport"), &db);
    q.setSql(sql);
    for (int i = 0; i < params.size(); ++i)
        q.params()[i]->setAsInteger(params[i].toLongLong());
    q.open();
    const int count = q.recordCount();
    for (int row = 0; row < count; ++row)
        take(q, row);
}

QString textAt(const data::Dataset &q, int row, const QString &column) {
    return q.valueAt(row, q.columnIndex(column)).toString();
}

Values valuesAt(const data::Dataset &q, int row, const QList<Column> &columns) {
    Values values;
    for (const Column &c : columns) {
        const QString text = textAt(q, row, c.name);
        if (!text.isEmpty())
            values.insert(c.name, text);
    }
    return values;
}

QHash<QString, int> columnLengths(data::DbConnection &db, const char *table) {
    QHash<QString, int> lengths;
    forEachRow(
        db,
        QStringLiteral("SELECT TRIM(rf.RDB$FIELD_NAME) AS NAME, f.RDB$CHARACTER_LENGTH AS CHARS "
                       "FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = "
                       "rf.RDB$FIELD_SOURCE "
                       "WHERE rf.RDB$RELATION_NAME = '%1' AND f.RDB$CHARACTER_LENGTH IS NOT NULL")
            .arg(QString::fromLatin1(table)),
        {}, [&](const data::Dataset &q, int row) {
            lengths.insert(textAt(q, row, QStringLiteral("NAME")),
                           q.valueAt(row, q.columnIndex(QStringLiteral("CHARS"))).toInt());
        });
    return lengths;
}

} // namespace

QList<Entry> readEntries(data::DbConnection &db, const ExportScope &scope) {
    QHash<int, Values> companies;
    forEachRow(db, QStringLiteral("SELECT * FROM FIRMA"), {}, [&](const data::Dataset &q, int row) {
        companies.insert(q.valueAt(row, q.columnIndex(QStringLiteral("ID"))).toInt(),
                         valuesAt(q, row, companyColumns()));
    });

    QString sql = QStringLiteral("SELECT * FROM KONTAKT WHERE KRAJ IS DISTINCT FROM '***'");
    QVariantList params;
    if (scope.kind == ExportScope::Kind::Company) {
        sql += QStringLiteral(" AND ID_FIRMA = :IdFirmy");
        params << scope.companyId;
    }
    const QSet<int> shown(scope.contactIds.begin(), scope.contactIds.end());
    struct Keyed { // what the order of an export rests on: the same register, the same file
        QString companyName;
        int companyId, contactId;
        Entry entry;
    };
    QList<Keyed> keyed;
    QSet<int> companiesWithContacts;
    auto add = [&](int companyId, int contactId, Entry e) {
        e.company = companies.value(companyId);
        e.companyKey = QString::number(companyId);
        keyed << Keyed{foldCase(e.companyName()), companyId, contactId, std::move(e)};
        companiesWithContacts << companyId;
    };
    forEachRow(db, sql, params, [&](const data::Dataset &q, int row) {
        const int id = q.valueAt(row, q.columnIndex(QStringLiteral("ID"))).toInt();
        if (scope.kind == ExportScope::Kind::Shown && !shown.contains(id))
            return;
        Entry e;
        e.contact = valuesAt(q, row, contactColumns());
        e.photo = q.valueAt(row, q.columnIndex(QStringLiteral("OBR"))).toByteArray();
        add(q.valueAt(row, q.columnIndex(QStringLiteral("ID_FIRMA"))).toInt(), id, std::move(e));
    });

    // Companies in the scope that no contact brought along travel on their own.
    QList<int> scopeCompanies;
    if (scope.kind == ExportScope::Kind::All)
        scopeCompanies = companies.keys();
    else if (scope.kind == ExportScope::Kind::Company)
        scopeCompanies = {scope.companyId};
    else
        scopeCompanies = scope.companyIds;
    for (int id : std::as_const(scopeCompanies))
        if (companies.contains(id) && !companiesWithContacts.contains(id))
            add(id, 0, Entry{{}, {}, {}, true});

    // Companies by name and ID, their contacts by ID: two exports of one register are the same
    // file.
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return std::tie(a.companyName, a.companyId, a.contactId) <
               std::tie(b.companyName, b.companyId, b.contactId);
    });
    QList<Entry> entries;
    entries.reserve(keyed.size());
    for (Keyed &k : keyed)
        entries << std::move(k.entry);
    return entries;
}

QList<int> companiesNamed(data::DbConnection &db, const QString &name) {
    QList<int> ids;
    forEachRow(db, QStringLiteral("SELECT ID, NAZEV_FIRMA FROM FIRMA ORDER BY ID"), {},
               [&](const data::Dataset &q, int row) {
                   if (foldCase(textAt(q, row, QStringLiteral("NAZEV_FIRMA"))) == foldCase(name))
                       ids << q.valueAt(row, 0).toInt();
               });
    return ids;
}

ExistingData readExisting(const CursorOpener &open) {
    ExistingData existing;
    QHash<int, std::pair<int, int>>
        rowsOfCompany; // company ID → contact rows, its last placeholder
    data::PackedRow row;
    const auto contacts =
        open("SELECT ID, ID_FIRMA, KRAJ, JMENO, PRIJMENI, EMAIL1, EMAIL2, TELEFON1, TELEFON2, "
             "MOBIL, FAX FROM KONTAKT");
    while (contacts->fetch(row)) {
        auto t = [&](int column) { return cellText(row, column); };
        const int companyId = int(row.cell(1).num);
        const bool placeholder = t(2) == kPlaceholderRegion;
        auto &[count, placeholderId] = rowsOfCompany[companyId];
        ++count;
        if (placeholder)
            placeholderId = int(row.cell(0).num);
        else
            existing.contacts << ExistingData::Contact{
                t(3), t(4), {t(5), t(6)}, {t(7), t(8), t(9), t(10)}, companyId};
    }
    const auto companies = open(
        "SELECT ID, NAZEV_FIRMA, ICO, ADRESA_FS, ULICE_FS, OBEC_FS, PSC_FS FROM FIRMA ORDER BY ID");
    while (companies->fetch(row)) {
        const int id = int(row.cell(0).num);
        const auto [count, placeholderId] = rowsOfCompany.value(id);
        Values seat;
        const char *seatColumns[] = {"ADRESA_FS", "ULICE_FS", "OBEC_FS", "PSC_FS"};
        for (int i = 0; i < 4; ++i)
            seat.insert(QString::fromLatin1(seatColumns[i]), cellText(row, 3 + i));
        existing.companies << ExistingData::Company{
            id, cellText(row, 1), count == 1 ? placeholderId : 0,
            cellText(row, 2).simplified().remove(QLatin1Char(' ')), companySeatKey(seat)};
    }
    return existing;
}

ExistingData readExisting(data::DbConnection &db) {
    ExistingData existing =
        readExisting([&](const QByteArray &sql) { return db.openCursor(sql, {}); });
    existing.contactLengths = columnLengths(db, "KONTAKT");
    existing.companyLengths = columnLengths(db, "FIRMA");
    return existing;
}

} // namespace io
