#include "schema/Columns.h"

namespace schema {
namespace {

using Type = ColumnType;
using Group = ColumnGroup;

void add(std::vector<Column> &out, const char *table, const char *name, Type type, int length,
         const char *label, Group group) {
    Column c;
    c.table = QString::fromLatin1(table);
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.length = length;
    c.label = QString::fromUtf8(label);
    c.group = group;
    out.push_back(std::move(c));
}

void addKey(std::vector<Column> &out, const char *table) {
    add(out, table, "ID", Type::Integer, 0, "ID", Group::Key);
    out.back().primaryKey = out.back().notNull = true;
}

// The means of contact, alike in both tables.
void addMeansOfContact(std::vector<Column> &out, const char *table) {
    const struct {
        const char *name;
        int length;
        const char *label;
    } means[] = {{"TELEFON1", 50, "Telefon"}, {"TELEFON2", 50, "Telefon 2"},
                 {"MOBIL", 50, "Mobil"},      {"FAX", 50, "Fax"},
                 {"EMAIL1", 150, "E-mail"},   {"EMAIL2", 150, "E-mail 2"},
                 {"ICQ", 30, "ICQ"},          {"SKYPE", 100, "Skype"},
                 {"DALSI1", 150, "Další 1"},  {"DALSI2", 150, "Další 2"},
                 {"WWW", 200, "WWW"}};
    for (const auto &m : means)
        add(out, table, m.name, Type::Text, m.length, m.label, Group::MeansOfContact);
}

// One address family: eight columns that share a suffix.
void addAddress(std::vector<Column> &out, const char *table, const char *suffix) {
    const struct {
        const char *stem;
        Type type;
        int length;
        const char *label;
    } family[] = {{"NAZEV_ADRESA", Type::Text, 150, "Název"},
                  {"ADRESA", Type::Text, 150, "Ulice (1)"},
                  {"ULICE", Type::Text, 150, "Ulice (2)"},
                  {"OBEC", Type::Text, 100, "Město"},
                  {"PSC", Type::Text, 20, "PSČ"},
                  {"STAT", Type::Text, 60, "Stát"},
                  {"KRAJ", Type::Text, 60, ""},
                  {"POZNAMKA", Type::Note, 0, "Poznámka"}};
    for (const auto &f : family)
        add(out, table, (QByteArray(f.stem) + suffix).constData(), f.type, f.length, f.label,
            Group::Address);
}

std::vector<Column> makeCatalogue() {
    std::vector<Column> c;
    addKey(c, "FIRMA");
    add(c, "FIRMA", "NAZEV_FIRMA", Type::Text, 150, "Název firmy", Group::Company);
    add(c, "FIRMA", "KOD", Type::Text, 50, "Kód", Group::Company);
    add(c, "FIRMA", "POPIS", Type::Text, 250, "Popis", Group::Company);
    add(c, "FIRMA", "ZAMERENI", Type::Text, 150, "Zaměření", Group::Company);
    add(c, "FIRMA", "ICO", Type::Text, 20, "IČO", Group::Company);
    add(c, "FIRMA", "DIC", Type::Text, 20, "DIČ", Group::Company);
    add(c, "FIRMA", "BANK_UCET", Type::Text, 50, "Číslo účtu", Group::Company);
    add(c, "FIRMA", "BANK_KOD", Type::Text, 20, "Kód banky", Group::Company);
    addMeansOfContact(c, "FIRMA");
    add(c, "FIRMA", "POZNAMKA_FSP", Type::Note, 0, "Poznámka", Group::MeansOfContact);
    add(c, "FIRMA", "POZNAMKA", Type::Note, 0, "Poznámka", Group::Note);
    for (const char *suffix : {"_FS", "_FF", "_FD"})
        addAddress(c, "FIRMA", suffix);

    addKey(c, "KONTAKT");
    add(c, "KONTAKT", "ID_FIRMA", Type::Integer, 0, "Firma", Group::Key);
    add(c, "KONTAKT", "ID_POBOCKA", Type::Integer, 0, "", Group::Key);
    add(c, "KONTAKT", "TITUL_PRED", Type::Text, 30, "Titul před", Group::Person);
    add(c, "KONTAKT", "JMENO", Type::Text, 100, "Jméno", Group::Person);
    add(c, "KONTAKT", "PRIJMENI", Type::Text, 100, "Příjmení", Group::Person);
    add(c, "KONTAKT", "TITUL_ZA", Type::Text, 30, "Titul za", Group::Person);
    add(c, "KONTAKT", "NAROZENINY", Type::Text, 30, "Narozeniny", Group::Person);
    add(c, "KONTAKT", "SVATEK", Type::Text, 30, "Svátek", Group::Person);
    add(c, "KONTAKT", "UPOMINKA", Type::Text, 150, "Událost", Group::Person);
    add(c, "KONTAKT", "POZICE", Type::Text, 150, "Pozice", Group::Person);
    add(c, "KONTAKT", "POPIS", Type::Text, 250, "Popis", Group::Person);
    addMeansOfContact(c, "KONTAKT");
    add(c, "KONTAKT", "POZNAMKA_KSPOJ", Type::Note, 0, "Poznámka", Group::MeansOfContact);
    addAddress(c, "KONTAKT", "");
    add(c, "KONTAKT", "OBR", Type::Bytes, 0, "Fotka", Group::Photo);
    c.back().sinceCurrentLayout = true;

    addKey(c, "POBOCKA");
    add(c, "POBOCKA", "ID_FIRMA", Type::Integer, 0, "", Group::Key);
    add(c, "POBOCKA", "NAZEV", Type::Text, 150, "", Group::Company);

    for (const char *table : {"SVATEK", "SVATEK_STATNI"}) {
        add(c, table, "DEN", Type::SmallInt, 0, "", Group::Calendar);
        c.back().notNull = true;
        add(c, table, "MESIC", Type::SmallInt, 0, "", Group::Calendar);
        c.back().notNull = true;
        if (QByteArray(table) == "SVATEK")
            add(c, table, "JMENO", Type::Text, 100, "", Group::Calendar);
        else
            add(c, table, "NAZEV", Type::Text, 150, "", Group::Calendar);
    }

    add(c, "NASTAVENI", "VERZE_HLAVNI", Type::SmallInt, 0, "", Group::Settings);
    add(c, "NASTAVENI", "VERZE_VEDLEJSI", Type::SmallInt, 0, "", Group::Settings);
    add(c, "NASTAVENI", "DATUM_UPRAVY_VERZE", Type::Timestamp, 0, "", Group::Settings);
    add(c, "NASTAVENI", "DATUM_POUZITI", Type::Timestamp, 0, "", Group::Settings);
    add(c, "NASTAVENI", "JMENO_UZIVATELE", Type::Text, 30, "", Group::Settings);
    add(c, "NASTAVENI", "HESLO_UZIVATELE", Type::Text, 30, "", Group::Settings);
    add(c, "NASTAVENI", "KONTROLUJ_UPDATY", Type::SmallInt, 0, "", Group::Settings);
    return c;
}

} // namespace

QString Column::sqlType() const {
    switch (type) {
    case Type::Integer:
        return QStringLiteral("INTEGER");
    case Type::SmallInt:
        return QStringLiteral("SMALLINT");
    case Type::Text:
        return QStringLiteral("VARCHAR(%1)").arg(length);
    case Type::Note:
        return QStringLiteral("BLOB SUB_TYPE 1");
    case Type::Bytes:
        return QStringLiteral("BLOB SUB_TYPE 0 SEGMENT SIZE 20");
    case Type::Timestamp:
        return QStringLiteral("TIMESTAMP");
    }
    return {};
}

const std::vector<Column> &columns() {
    static const std::vector<Column> catalogue = makeCatalogue();
    return catalogue;
}

std::vector<Column> columnsOf(const QString &table) {
    std::vector<Column> out;
    for (const Column &c : columns())
        if (c.table == table)
            out.push_back(c);
    return out;
}

const Column *findColumn(const QString &table, const QString &name) {
    for (const Column &c : columns())
        if (c.table.compare(table, Qt::CaseInsensitive) == 0 &&
            c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString labelOf(const QString &table, const QString &name) {
    const Column *c = findColumn(table, name);
    return c && !c->label.isEmpty() ? c->label : name.toUpper();
}

} // namespace schema
