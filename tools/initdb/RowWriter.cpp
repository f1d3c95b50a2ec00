#include "initdb/RowWriter.h"

#include "db/DbConnection.h"

#include <QStringList>

namespace initdb {
namespace {

/// Column names and values of one row, built side by side so that the
/// INSERT statement and its parameters cannot drift apart.
class Row {
  public:
    void put(const char *column, const QVariant &value) {
        m_columns << QByteArray(column);
        m_values << value;
    }
    void put(const char *column, const QString &text) {
        put(column, text.isEmpty() ? QVariant() : QVariant(text));
    }
    void putAddress(const char *suffix, const Address &a) {
        const QByteArray s(suffix);
        put("NAZEV_ADRESA" + s, a.name);
        put("ADRESA" + s, a.street1);
        put("ULICE" + s, a.street2);
        put("OBEC" + s, a.town);
        put("PSC" + s, a.postcode);
        put("STAT" + s, a.country);
        put("POZNAMKA" + s, a.note);
    }
    void putReach(const Reach &r) {
        put("TELEFON1", r.phone1);
        put("TELEFON2", r.phone2);
        put("MOBIL", r.mobile);
        put("FAX", r.fax);
        put("EMAIL1", r.email1);
        put("EMAIL2", r.email2);
        put("ICQ", r.icq);
        put("SKYPE", r.skype);
        put("DALSI1", r.other1);
        put("DALSI2", r.other2);
        put("WWW", r.www);
    }
    QByteArray insertSql(const char *table) const {
        const QByteArray markers = QByteArray("?, ").repeated(m_columns.size()).chopped(2);
        return "INSERT INTO " + QByteArray(table) + " (" + m_columns.join(", ") + ") VALUES (" +
               markers + ")";
    }
    const QVariantList &values() const { return m_values; }

  private:
    void put(const QByteArray &column, const QString &text) { put(column.constData(), text); }
    QByteArrayList m_columns;
    QVariantList m_values;
};

Row companyRow(int id, const CompanyData &c) {
    Row row;
    row.put("ID", id);
    row.put("NAZEV_FIRMA", c.name);
    row.put("KOD", c.code);
    row.put("POPIS", c.description);
    row.put("ZAMERENI", c.business);
    row.put("ICO", c.ico);
    row.put("DIC", c.dic);
    row.put("BANK_UCET", c.bankAccount);
    row.put("BANK_KOD", c.bankCode);
    row.putReach(c.reach);
    row.put("POZNAMKA_FSP", c.reachNote);
    row.put("POZNAMKA", c.note);
    row.putAddress("_FS", c.seat);
    row.putAddress("_FF", c.invoicing);
    row.putAddress("_FD", c.delivery);
    return row;
}

// Every contact row carries the same columns, so that one prepared INSERT
// serves ordinary contacts and placeholders alike.
Row contactRow(int id, int companyId, const ContactData &c, const QString &region) {
    Row row;
    row.put("ID", id);
    row.put("ID_FIRMA", companyId);
    row.put("ID_POBOCKA", QVariant(0));
    row.put("TITUL_PRED", c.titleBefore);
    row.put("JMENO", c.firstName);
    row.put("PRIJMENI", c.surname);
    row.put("TITUL_ZA", c.titleAfter);
    row.put("NAROZENINY", c.birthday);
    row.put("SVATEK", c.nameDay);
    row.put("UPOMINKA", c.reminder);
    row.put("POZICE", c.position);
    row.put("POPIS", c.description);
    row.putReach(c.reach);
    row.put("POZNAMKA_KSPOJ", c.reachNote);
    row.putAddress("", c.address);
    row.put("KRAJ", QVariant(region));
    return row;
}

} // namespace

RowWriter::RowWriter(db::DbConnection &db, int chunkRows)
    : m_db(db), m_chunkRows(qMax(1, chunkRows)) {
}

void RowWriter::add(const CompanyData &company) {
    const int companyId = m_nextCompanyId++;
    auto queue = [](Table &table, const Row &row, const char *name) {
        if (table.insertSql.isEmpty())
            table.insertSql = row.insertSql(name);
        table.rows << row.values();
    };
    queue(m_companies, companyRow(companyId, company), "FIRMA");
    if (company.contacts.isEmpty())
        queue(m_contacts,
              contactRow(m_nextContactId++, companyId, ContactData{}, QStringLiteral("***")),
              "KONTAKT");
    for (const ContactData &contact : company.contacts)
        queue(m_contacts, contactRow(m_nextContactId++, companyId, contact, QStringLiteral(" ")),
              "KONTAKT");

    if (m_companies.rows.size() >= m_chunkRows)
        flush(m_companies);
    if (m_contacts.rows.size() >= m_chunkRows)
        flush(m_contacts);
}

void RowWriter::finish() {
    flush(m_companies);
    flush(m_contacts);
}

void RowWriter::flush(Table &table) {
    if (table.rows.isEmpty())
        return;
    m_db.executeBatch(table.insertSql, table.rows);
    table.rows.clear();
}

} // namespace initdb
