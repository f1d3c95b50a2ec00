#include "ContactStore.h"

#include "Dataset.h"
#include "DbConnection.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace io {
namespace {

const QString kPlaceholderRegion = QStringLiteral("***");
const QString kContactRegion = QStringLiteral(" "); // what the contact form writes on every confirm

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
    forEachRow(db,
               QStringLiteral("SELECT TRIM(rf.RDB$FIELD_NAME) AS NAME, f.RDB$CHARACTER_LENGTH AS CHARS "
                              "FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                              "WHERE rf.RDB$RELATION_NAME = '%1' AND f.RDB$CHARACTER_LENGTH IS NOT NULL")
                   .arg(QString::fromLatin1(table)),
               {}, [&](const data::Dataset &q, int row) {
                   lengths.insert(textAt(q, row, QStringLiteral("NAME")),
                                  q.valueAt(row, q.columnIndex(QStringLiteral("CHARS"))).toInt());
               });
    return lengths;
}

int nextId(data::DbConnection &db, const char *table) {
    int next = 1;
    forEachRow(db, QStringLiteral("SELECT MAX(ID) AS M FROM %1").arg(QString::fromLatin1(table)), {},
               [&](const data::Dataset &q, int row) { next = q.valueAt(row, 0).toInt() + 1; });
    return next;
}

/// An INSERT or UPDATE built from column names and values side by side.
class RowStatement {
public:
    void put(const QString &column, const QVariant &value) {
        m_columns << column;
        m_values << value;
    }
    void putTexts(const Values &values, const QList<Column> &columns) {
        for (const Column &c : columns)
            put(c.name, values.value(c.name).isEmpty() ? QVariant() : QVariant(values.value(c.name)));
    }
    data::DbConnection::Statement insert(const char *table) const {
        const QString markers = QStringLiteral("?, ").repeated(m_columns.size()).chopped(2);
        return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(QString::fromLatin1(table), m_columns.join(QStringLiteral(", ")), markers)
                    .toLatin1(),
                m_values};
    }
    data::DbConnection::Statement update(const char *table, int id) const {
        return {QStringLiteral("UPDATE %1 SET %2 = ? WHERE ID = ?")
                    .arg(QString::fromLatin1(table), m_columns.join(QStringLiteral(" = ?, ")))
                    .toLatin1(),
                m_values + QVariantList{id}};
    }

private:
    QStringList m_columns;
    QVariantList m_values;
};

RowStatement contactRow(const Entry &e, int companyId) {
    RowStatement row;
    row.put(QStringLiteral("ID_FIRMA"), companyId);
    row.put(QStringLiteral("ID_POBOCKA"), 0);
    row.putTexts(e.contact, contactColumns());
    row.put(QStringLiteral("KRAJ"), kContactRegion);
    row.put(QStringLiteral("OBR"), e.photo.isEmpty() ? QVariant() : QVariant(e.photo));
    return row;
}

RowStatement placeholderRow(int id, int companyId) {
    RowStatement row;
    row.put(QStringLiteral("ID"), id);
    row.put(QStringLiteral("ID_FIRMA"), companyId);
    row.put(QStringLiteral("ID_POBOCKA"), 0);
    row.put(QStringLiteral("KRAJ"), kPlaceholderRegion);
    return row;
}

} // namespace

QList<Entry> readEntries(data::DbConnection &db, const ExportScope &scope) {
    QHash<int, Values> companies;
    forEachRow(db, QStringLiteral("SELECT * FROM FIRMA"), {}, [&](const data::Dataset &q, int row) {
        companies.insert(q.valueAt(row, q.columnIndex(QStringLiteral("ID"))).toInt(), valuesAt(q, row, companyColumns()));
    });

    QString sql = QStringLiteral("SELECT * FROM KONTAKT WHERE KRAJ IS DISTINCT FROM '***'");
    QVariantList params;
    if (scope.kind == ExportScope::Kind::Company) {
        sql += QStringLiteral(" AND ID_FIRMA = :IdFirmy");
        params << scope.companyId;
    }
    const QSet<int> shown(scope.contactIds.begin(), scope.contactIds.end());
    QList<Entry> entries;
    QSet<int> companiesWithContacts;
    forEachRow(db, sql, params, [&](const data::Dataset &q, int row) {
        if (scope.kind == ExportScope::Kind::Shown &&
            !shown.contains(q.valueAt(row, q.columnIndex(QStringLiteral("ID"))).toInt()))
            return;
        Entry e;
        e.contact = valuesAt(q, row, contactColumns());
        e.photo = q.valueAt(row, q.columnIndex(QStringLiteral("OBR"))).toByteArray();
        const int companyId = q.valueAt(row, q.columnIndex(QStringLiteral("ID_FIRMA"))).toInt();
        e.company = companies.value(companyId);
        companiesWithContacts << companyId;
        entries << e;
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
        if (companies.contains(id) && !companiesWithContacts.contains(id)) {
            companiesWithContacts << id;
            entries << Entry{{}, {}, companies.value(id), true};
        }

    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const QString ka = foldCase(a.companyName()), kb = foldCase(b.companyName());
        if (ka != kb)
            return ka < kb;
        return foldCase(a.contact.value(QStringLiteral("PRIJMENI"))) < foldCase(b.contact.value(QStringLiteral("PRIJMENI")));
    });
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

ExistingData readExisting(data::DbConnection &db) {
    ExistingData existing;
    QHash<int, QList<std::pair<int, bool>>> rowsOfCompany; // contact ID, is placeholder
    forEachRow(db,
               QStringLiteral("SELECT ID, ID_FIRMA, KRAJ, JMENO, PRIJMENI, EMAIL1, EMAIL2, TELEFON1, TELEFON2, MOBIL, "
                              "FAX FROM KONTAKT"),
               {}, [&](const data::Dataset &q, int row) {
                   auto t = [&](const char *c) { return textAt(q, row, QString::fromLatin1(c)); };
                   const bool placeholder = t("KRAJ") == kPlaceholderRegion;
                   rowsOfCompany[t("ID_FIRMA").toInt()] << std::pair(t("ID").toInt(), placeholder);
                   if (!placeholder)
                       existing.contacts << ExistingData::Contact{
                           t("JMENO"), t("PRIJMENI"), {t("EMAIL1"), t("EMAIL2")},
                           {t("TELEFON1"), t("TELEFON2"), t("MOBIL"), t("FAX")}};
               });
    forEachRow(db, QStringLiteral("SELECT ID, NAZEV_FIRMA FROM FIRMA ORDER BY ID"), {},
               [&](const data::Dataset &q, int row) {
                   const int id = q.valueAt(row, 0).toInt();
                   const auto rows = rowsOfCompany.value(id);
                   const int placeholder = rows.size() == 1 && rows.first().second ? rows.first().first : 0;
                   existing.companies << ExistingData::Company{id, textAt(q, row, QStringLiteral("NAZEV_FIRMA")),
                                                               placeholder};
               });
    existing.contactLengths = columnLengths(db, "KONTAKT");
    existing.companyLengths = columnLengths(db, "FIRMA");
    return existing;
}

ImportResult writeImport(data::DbConnection &db, const ImportPlan &plan) {
    QList<data::DbConnection::Statement> statements;
    ImportResult result;
    int nextCompany = nextId(db, "FIRMA");
    int nextContact = nextId(db, "KONTAKT");

    QHash<int, int> companyIds; // plan index → ID
    QHash<int, int> placeholders; // plan index → placeholder a first contact takes over
    for (int i = 0; i < plan.companies.size(); ++i) {
        companyIds.insert(i, plan.companies[i].existingId);
        if (plan.companies[i].placeholderId)
            placeholders.insert(i, plan.companies[i].placeholderId);
    }
    for (int i : plan.companiesToCreate()) {
        RowStatement row;
        row.put(QStringLiteral("ID"), nextCompany);
        row.putTexts(plan.companies[i].values, companyColumns());
        statements << row.insert("FIRMA");
        companyIds.insert(i, nextCompany++);
        ++result.companies;
    }
    QSet<int> companiesWithContacts;
    for (const PlannedContact &c : plan.contacts) {
        if (!c.selected)
            continue;
        RowStatement row = contactRow(c.entry, companyIds.value(c.company));
        if (const int placeholder = placeholders.take(c.company)) {
            statements << row.update("KONTAKT", placeholder); // the first contact takes the placeholder over
        } else {
            row.put(QStringLiteral("ID"), nextContact++);
            statements << row.insert("KONTAKT");
        }
        companiesWithContacts << c.company;
        ++result.contacts;
    }
    for (int i : plan.companiesToCreate())
        if (!companiesWithContacts.contains(i)) // shows on the board through its placeholder
            statements << placeholderRow(nextContact++, companyIds.value(i)).insert("KONTAKT");
    db.executeCommitted(statements);
    return result;
}

} // namespace io
