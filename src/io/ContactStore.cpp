#include "io/ContactStore.h"

#include "base/Win1250.h"
#include "dataset/Dataset.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <algorithm>

namespace io {
namespace {

const QString kPlaceholderRegion = QStringLiteral("***");

/// The text of a fetched cell (Windows-1250 bytes).
QString cellText(const db::PackedRow &row, int column) {
    return base::win1250::decode(row.cell(column).bytes);
}

/// Runs a SELECT and hands each row (dataset and row index) to `take`.
template <typename Take>
void forEachRow(db::DbConnection &db, const QString &sql, const QVariantList &params, Take take) {
    dataset::QueryDataset q(QStringLiteral("qExport"), &db);
    q.setSql(sql);
    for (int i = 0; i < params.size(); ++i)
        q.params()[i]->setAsInteger(params[i].toLongLong());
    q.open();
    const int count = q.recordCount();
    for (int row = 0; row < count; ++row)
        take(q, row);
}

QString textAt(const dataset::Dataset &q, int row, const QString &column) {
    return q.valueAt(row, q.columnIndex(column)).toString();
}

QHash<QString, int> columnLengths(db::DbConnection &db, const char *table) {
    QHash<QString, int> lengths;
    forEachRow(
        db,
        QStringLiteral("SELECT TRIM(rf.RDB$FIELD_NAME) AS NAME, f.RDB$CHARACTER_LENGTH AS CHARS "
                       "FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = "
                       "rf.RDB$FIELD_SOURCE "
                       "WHERE rf.RDB$RELATION_NAME = '%1' AND f.RDB$CHARACTER_LENGTH IS NOT NULL")
            .arg(QString::fromLatin1(table)),
        {}, [&](const dataset::Dataset &q, int row) {
            lengths.insert(textAt(q, row, QStringLiteral("NAME")),
                           q.valueAt(row, q.columnIndex(QStringLiteral("CHARS"))).toInt());
        });
    return lengths;
}

} // namespace

namespace {

/// The columns of a fetched row by name, BLOBs read as they come. The
/// places are found once, not for every row of an export.
class RowReader {
  public:
    RowReader(db::DbConnection &db, const db::FbStatement &statement, const QList<Column> &texts)
        : m_db(db), m_texts(texts) {
        const auto &columns = statement.columns();
        for (int i = 0; i < int(columns.size()); ++i)
            m_index.insert(columns[i].name, i);
        for (const Column &c : texts)
            m_textPlaces << m_index.value(c.name, -1);
    }
    int place(const char *column) const { return m_index.value(QString::fromLatin1(column), -1); }
    int integer(const db::PackedRow &row, int place) const { return int(row.cell(place).num); }
    bool isNull(const db::PackedRow &row, int place) const {
        return row.tag(place) == db::Cell::Null;
    }
    QByteArray bytes(const db::PackedRow &row, int place) const {
        const db::Cell cell = row.cell(place);
        return cell.tag == db::Cell::BlobId ? m_db.readBlob(cell.num) : cell.bytes;
    }
    /// The travelling text columns of the row.
    Values texts(const db::PackedRow &row) const {
        Values values;
        for (int i = 0; i < m_texts.size(); ++i)
            if (const QString text = textAt(row, m_textPlaces[i]); !text.isEmpty())
                values.insert(m_texts[i].name, text);
        return values;
    }
    QString textAt(const db::PackedRow &row, int place) const {
        if (row.tag(place) == db::Cell::BlobId)
            return base::win1250::decode(m_db.readBlob(row.cell(place).num));
        return base::win1250::decode(row.payload(place)); // read in place, not copied first
    }

  private:
    db::DbConnection &m_db;
    const QList<Column> &m_texts;
    QHash<QString, int> m_index;
    QList<int> m_textPlaces;
};

} // namespace

int forEachEntry(db::DbConnection &db, const ExportScope &scope,
                 const std::function<void(Entry &&)> &take) {
    return forEachContactEntry(db, scope, [&](int, Entry &&e) { take(std::move(e)); });
}

int forEachContactEntry(db::DbConnection &db, const ExportScope &scope,
                        const std::function<void(int contactId, Entry &&)> &take) {
    // Both in one order, companies by name and ID, their contacts by ID, so
    // that one pass over each gives the file without holding the register.
    const QByteArray where = scope.kind == ExportScope::Kind::Company ? " WHERE f.ID = ?" : "";
    const QVariantList params =
        scope.kind == ExportScope::Kind::Company ? QVariantList{scope.companyId} : QVariantList{};
    // The engine sorts whole rows, each text at its declared width: only the
    // keys are sorted here, and the rows are joined on in that order (the
    // sorted keys drive the left join).
    const auto companies = db.openCursor(
        "SELECT f.* FROM (SELECT f.ID FROM FIRMA f" + where +
            " ORDER BY UPPER(f.NAZEV_FIRMA), f.ID) s LEFT JOIN FIRMA f ON f.ID = s.ID",
        params);
    const auto contacts = db.openCursor(
        "SELECT k.*, s.F_ID FROM (SELECT k.ID, f.ID AS F_ID FROM KONTAKT k LEFT JOIN FIRMA f ON "
        "f.ID = k.ID_FIRMA" +
            (where.isEmpty() ? QByteArray(" WHERE") : where + " AND") +
            " k.KRAJ IS DISTINCT FROM '***' ORDER BY UPPER(f.NAZEV_FIRMA) NULLS FIRST, f.ID NULLS "
            "FIRST, k.ID) s LEFT JOIN KONTAKT k ON k.ID = s.ID",
        params);
    const RowReader company(db, *companies, companyColumns());
    const RowReader contact(db, *contacts, contactColumns());
    const int companyIdAt = company.place("ID"), contactIdAt = contact.place("ID");
    const int contactCompanyAt = contact.place("F_ID"), photoAt = contact.place("OBR");
    const QSet<int> shownContacts(scope.contactIds.begin(), scope.contactIds.end());
    const QSet<int> shownCompanies(scope.companyIds.begin(), scope.companyIds.end());
    int count = 0;
    db::PackedRow companyRow, contactRow;
    bool haveCompany = companies->fetch(companyRow);
    int currentId = 0;     // the company of companyRow
    bool anyTaken = false; // a contact of it travelled
    Values currentValues;
    auto startCompany = [&] {
        currentId = company.integer(companyRow, companyIdAt);
        currentValues = company.texts(companyRow);
        anyTaken = false;
    };
    auto finishCompany = [&] { // a company none of whose contacts travel goes on its own
        const bool inScope =
            scope.kind != ExportScope::Kind::Shown || shownCompanies.contains(currentId);
        if (!anyTaken && inScope) {
            take(0, Entry{{}, {}, currentValues, true, QString::number(currentId), {}});
            ++count;
        }
        haveCompany = companies->fetch(companyRow);
    };
    if (haveCompany)
        startCompany();
    while (contacts->fetch(contactRow)) {
        const int id = contact.integer(contactRow, contactIdAt);
        const bool orphan =
            contact.isNull(contactRow, contactCompanyAt); // its company is gone: it travels without
        const int companyId = orphan ? 0 : contact.integer(contactRow, contactCompanyAt);
        while (!orphan && haveCompany && currentId != companyId) {
            finishCompany();
            if (haveCompany)
                startCompany();
        }
        if (scope.kind == ExportScope::Kind::Shown && !shownContacts.contains(id))
            continue;
        Entry e;
        e.contact = contact.texts(contactRow);
        e.photo = contact.bytes(contactRow, photoAt);
        if (!orphan) {
            e.company = currentValues;
            e.companyKey = QString::number(companyId);
            anyTaken = true;
        }
        take(id, std::move(e));
        ++count;
    }
    while (haveCompany) {
        finishCompany();
        if (haveCompany)
            startCompany();
    }
    return count;
}

QList<Entry> readEntries(db::DbConnection &db, const ExportScope &scope) {
    QList<Entry> entries;
    forEachEntry(db, scope, [&](Entry &&e) { entries << std::move(e); });
    return entries;
}

int exportEntries(db::DbConnection &db, const QList<ExportScope> &scopes, FileFormat format,
                  QIODevice &out, QString &error, const Progress &progress) {
    FileEncoder encoder(format);
    constexpr qsizetype kChunkBytes = 1 << 20;
    QByteArray chunk;
    chunk.reserve(kChunkBytes +
                  (kChunkBytes >> 1)); // kept: a block that size is mapped anew each time
    bool ok = true;
    auto flush = [&](qsizetype above) {
        if (ok && chunk.size() > above) {
            ok = out.write(chunk) == chunk.size();
            if (!ok)
                error = out.errorString();
            chunk.resize(0);
        }
    };
    int count = 0;
    auto tell = [&] {
        if (progress && !progress(count, 0))
            throw db::DbError(kStoppedText);
    };
    tell();
    for (const ExportScope &scope : scopes)
        forEachEntry(db, scope, [&](Entry &&e) {
            if (ok && !encoder.add(e, chunk, &error))
                ok = false;
            flush(kChunkBytes);
            if (++count % 100 == 0)
                tell();
        });
    if (ok && !encoder.finish(chunk, &error))
        ok = false;
    flush(0);
    return ok ? count : -1;
}

QList<int> companiesNamed(db::DbConnection &db, const QString &name) {
    QList<int> ids;
    forEachRow(db, QStringLiteral("SELECT ID, NAZEV_FIRMA FROM FIRMA ORDER BY ID"), {},
               [&](const dataset::Dataset &q, int row) {
                   if (foldCase(textAt(q, row, QStringLiteral("NAZEV_FIRMA"))) == foldCase(name))
                       ids << q.valueAt(row, 0).toInt();
               });
    return ids;
}

ExistingData readExisting(const CursorOpener &open) {
    ExistingData existing;
    QHash<int, std::pair<int, int>>
        rowsOfCompany; // company ID → contact rows, its last placeholder
    db::PackedRow row;
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

ExistingData readExisting(db::DbConnection &db) {
    ExistingData existing =
        readExisting([&](const QByteArray &sql) { return db.openCursor(sql, {}); });
    existing.contactLengths = columnLengths(db, "KONTAKT");
    existing.companyLengths = columnLengths(db, "FIRMA");
    return existing;
}

} // namespace io
