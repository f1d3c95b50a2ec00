#include "initdb/Generator.h"

#include "schema/NameDays.h"

#include <QRegularExpression>

#include <algorithm>

namespace initdb {
namespace {

struct Surname {
    const char *male, *female;
};
const Surname kSurnames[] = {
    {"Novák", "Nováková"},       {"Svoboda", "Svobodová"},   {"Novotný", "Novotná"},
    {"Dvořák", "Dvořáková"},     {"Černý", "Černá"},         {"Procházka", "Procházková"},
    {"Kučera", "Kučerová"},      {"Veselý", "Veselá"},       {"Horák", "Horáková"},
    {"Němec", "Němcová"},        {"Marek", "Marková"},       {"Pokorný", "Pokorná"},
    {"Pospíšil", "Pospíšilová"}, {"Hájek", "Hájková"},       {"Král", "Králová"},
    {"Jelínek", "Jelínková"},    {"Růžička", "Růžičková"},   {"Beneš", "Benešová"},
    {"Fiala", "Fialová"},        {"Sedláček", "Sedláčková"}, {"Doležal", "Doležalová"},
    {"Zeman", "Zemanová"},       {"Kolář", "Kolářová"},      {"Navrátil", "Navrátilová"},
    {"Čermák", "Čermáková"},     {"Vaněk", "Vaňková"},       {"Urban", "Urbanová"},
    {"Blažek", "Blažková"},      {"Kříž", "Křížová"},        {"Kovář", "Kovářová"},
    {"Bartoš", "Bartošová"},     {"Vlček", "Vlčková"},       {"Polák", "Poláková"},
    {"Musil", "Musilová"},       {"Kopecký", "Kopecká"},     {"Šimek", "Šimková"},
    {"Konečný", "Konečná"},      {"Malý", "Malá"},           {"Holub", "Holubová"},
    {"Štěpánek", "Štěpánková"},  {"Kadlec", "Kadlecová"},    {"Staněk", "Staňková"},
    {"Dostál", "Dostálová"},     {"Soukup", "Soukupová"},    {"Šťastný", "Šťastná"},
    {"Mareš", "Marešová"},       {"Moravec", "Moravcová"},   {"Sýkora", "Sýkorová"},
    {"Tichý", "Tichá"},          {"Vávra", "Vávrová"},       {"Bláha", "Bláhová"},
    {"Říha", "Říhová"},          {"Ševčík", "Ševčíková"},    {"Bureš", "Burešová"},
    {"Hruška", "Hrušková"},      {"Mašek", "Mašková"},       {"Žák", "Žáková"},
    {"Řezníček", "Řezníčková"},  {"Ptáček", "Ptáčková"},     {"Hrubý", "Hrubá"},
};
const char *const kMaleNames[] = {
    "Jiří",     "Jan",     "Petr",     "Josef",    "Pavel",     "Martin",    "Tomáš", "Jaroslav",
    "Miroslav", "Zdeněk",  "Václav",   "Michal",   "František", "Jakub",     "Milan", "Karel",
    "Lukáš",    "David",   "Vladimír", "Ladislav", "Ondřej",    "Stanislav", "Roman", "Radek",
    "Luděk",    "Bořivoj", "Čeněk",    "Přemysl",  "Vojtěch",   "Matěj",
};
const char *const kFemaleNames[] = {
    "Jana",   "Marie",  "Eva",     "Hana",      "Anna",     "Lenka",   "Kateřina", "Věra",
    "Lucie",  "Alena",  "Petra",   "Jaroslava", "Veronika", "Martina", "Tereza",   "Michaela",
    "Jitka",  "Zdeňka", "Ludmila", "Šárka",     "Markéta",  "Žaneta",  "Radka",    "Monika",
    "Dagmar", "Božena", "Jiřina",  "Eliška",    "Blažena",  "Růžena",
};
struct Town {
    const char *name, *postcode, *areaCode;
};
const Town kTowns[] = {
    {"Praha 1", "110 00", "224"},
    {"Praha 4", "140 00", "241"},
    {"Praha 9", "190 00", "283"},
    {"Brno", "602 00", "541"},
    {"Ostrava", "702 00", "596"},
    {"Plzeň", "301 00", "377"},
    {"Liberec", "460 01", "485"},
    {"Olomouc", "779 00", "585"},
    {"České Budějovice", "370 01", "387"},
    {"Hradec Králové", "500 02", "495"},
    {"Ústí nad Labem", "400 01", "475"},
    {"Pardubice", "530 02", "466"},
    {"Zlín", "760 01", "577"},
    {"Kladno", "272 01", "312"},
    {"Jihlava", "586 01", "567"},
    {"Třebíč", "674 01", "568"},
    {"Tábor", "390 02", "381"},
    {"Znojmo", "669 02", "515"},
    {"Příbram", "261 01", "318"},
    {"Kolín", "280 02", "321"},
    {"Písek", "397 01", "382"},
    {"Kroměříž", "767 01", "573"},
    {"Šumperk", "787 01", "583"},
    {"Český Krumlov", "381 01", "380"},
    {"Žďár nad Sázavou", "591 01", "566"},
    {"Mladá Boleslav", "293 01", "326"},
    {"Děčín", "405 02", "412"},
};
const char *const kStreets[] = {
    "Husova",    "Komenského",  "Masarykova", "Nádražní", "Palackého",   "Žižkova",
    "Smetanova", "Tyršova",     "Školní",     "Zahradní", "Polní",       "Jiráskova",
    "Nerudova",  "Čechova",     "Dvořákova",  "Sokolská", "Třída Míru",  "Zámecká",
    "Říční",     "Průmyslová",  "U Nádraží",  "Větrná",   "Lipová",      "Na Příkopě",
    "Křižíkova", "Štefánikova", "Družstevní", "Luční",    "Slévárenská", "Na Výsluní",
};
struct Trade {
    const char *name, *business;
};
const Trade kTrades[] = {
    {"Stavby", "stavební práce"},
    {"Elektro", "elektroinstalace"},
    {"Autodoprava", "nákladní doprava"},
    {"Pekárna", "pekařská výroba"},
    {"Truhlářství", "nábytek na zakázku"},
    {"Strojírny", "strojírenská výroba"},
    {"Účetnictví", "účetní a daňové služby"},
    {"Tiskárna", "tisk a grafika"},
    {"Zahradnictví", "zahradní služby"},
    {"Kovovýroba", "zámečnické práce"},
    {"Instalatérství", "voda, topení, plyn"},
    {"Projekce", "projektování staveb"},
    {"Software", "vývoj software"},
    {"Velkoobchod", "velkoobchod potravinami"},
    {"Autoservis", "opravy vozidel"},
    {"Reklama", "reklama a marketing"},
    {"Reality", "realitní služby"},
    {"Sklárna", "výroba skla"},
    {"Řeznictví", "masná výroba"},
    {"Úklid", "úklidové služby"},
};
const char *const kLegalForms[] = {"s.r.o.",       "s.r.o.", "s.r.o.", "a.s.",
                                   "spol. s r.o.", "v.o.s.", ""};
const char *const kBankCodes[] = {"0100", "0300", "0600", "0800", "2010",
                                  "2700", "3030", "5500", "6210"};
const char *const kTitlesBefore[] = {"Ing.",  "Ing.",  "Mgr.",  "Bc.",       "MUDr.",
                                     "JUDr.", "RNDr.", "PhDr.", "Ing. arch."};
const char *const kTitlesAfter[] = {"Ph.D.", "CSc.", "MBA", "DiS."};
const char *const kPositions[] = {
    "jednatel", "ředitel",  "obchodní zástupce",  "účetní",   "vedoucí výroby", "asistentka",
    "technik",  "nákupčí",  "projektový manažer", "skladník", "správce sítě",   "personalistka",
    "mistr",    "recepční",
};
const char *const kNotes[] = {
    "Volat dopoledne.\nPreferuje e-mail.",
    "Dovolená v srpnu,\nzastupuje kolega.",
    "Nabídku poslat do konce měsíce.\nSleva 5 % při platbě předem.",
    "Pozor: změna adresy od ledna.",
    "Smlouva na dobu neurčitou.\nVýpovědní lhůta 3 měsíce.\nFakturace měsíčně.",
};

/// "Žďár nad Sázavou" -> "zdar-nad-sazavou": plain letters for e-mail addresses and domains.
QString ascii(const QString &text, QChar separator) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            out += c.toLower();
        else if (c.isSpace() && !out.endsWith(separator))
            out += separator;
    }
    return out;
}

QString utf8(const char *text) {
    return QString::fromUtf8(text);
}

} // namespace

Generator::Generator(int companies, int contacts, quint32 seed) : m_rng(seed) {
    for (const schema::NameDay &day : schema::nameDays()) {
        const QString date = QStringLiteral("%1.%2.").arg(day.day).arg(day.month);
        static const QRegularExpression separators(QStringLiteral(",? a |, "));
        for (const QString &name : QString::fromUtf8(day.name).split(separators))
            if (!m_nameDayOf.contains(name)) // Petr: 22.2., not "Petr a Pavel"
                m_nameDayOf.insert(name, date);
    }
    if (companies > 0 && contacts >= 0)
        planStaff(companies, contacts);
}

int Generator::pick(int n) {
    return n <= 1 ? 0 : int(m_rng() % quint32(n));
}

void Generator::planStaff(int companies, int contacts) {
    const int staffed = std::min(companies - companies / 10, contacts);
    m_staff.assign(size_t(companies), 0);
    std::fill_n(m_staff.begin(), staffed, 1);
    int left = contacts - staffed;
    const int big = staffed > 3 ? std::min(3, left / 1500) : 0;
    for (int i = 0; i < big; ++i) {
        const int extra = 1000 + pick(500);
        m_staff[size_t(i)] += extra;
        left -= extra;
    }
    // The rest go at random to the ordinary companies; there is at least one
    // whenever contacts are left (big ones need more than three staffed).
    for (; left > 0; --left)
        ++m_staff[size_t(big + pick(staffed - big))];
    for (int i = companies - 1; i > 0; --i) // Fisher-Yates with our own draws
        std::swap(m_staff[size_t(i)], m_staff[size_t(pick(i + 1))]);
}

QString Generator::digits(int count) {
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(u'0' + pick(10));
    return s;
}

QString Generator::mobile() {
    static const char *const prefixes[] = {"602", "603", "604", "605", "608", "702", "721",
                                           "724", "731", "736", "739", "775", "777", "790"};
    const QString rest = digits(6);
    return QStringLiteral("+420 %1 %2 %3").arg(utf8(any(prefixes)), rest.left(3), rest.mid(3));
}

CompanyData Generator::next() {
    const int index = m_next++;
    const Trade &trade = any(kTrades);
    const Town &town = any(kTowns);
    const Surname &owner = any(kSurnames);
    const QString legal = utf8(any(kLegalForms));

    CompanyData c;
    switch (pick(3)) {
    case 0:
        c.name = utf8(trade.name) + QLatin1Char(' ') + utf8(owner.male);
        break;
    case 1:
        c.name = utf8(trade.name) + QLatin1Char(' ') + utf8(town.name);
        break;
    default:
        c.name = utf8(owner.male) + QStringLiteral(" a syn");
        break;
    }
    const QString domain = ascii(c.name, QLatin1Char('-')) + QStringLiteral(".cz");
    if (!legal.isEmpty())
        c.name += QLatin1Char(' ') + legal;
    c.code = QStringLiteral("F%1").arg(index + 1, 5, 10, QLatin1Char('0'));
    c.business = utf8(trade.business);

    // IČO: seven digits and a check digit (weights 8..2, modulo 11).
    QString ico = digits(7);
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += ico[i].digitValue() * (8 - i);
    ico += QChar(u'0' + (11 - sum % 11) % 10);
    c.ico = ico;
    if (!legal.isEmpty())
        c.dic = QStringLiteral("CZ") + ico;
    c.bankAccount = digits(10);
    c.bankCode = utf8(any(kBankCodes));

    const QString landline =
        QStringLiteral("+420 %1 %2 %3").arg(utf8(town.areaCode), digits(3), digits(3));
    c.reach.phone1 = landline;
    if (chance(30))
        c.reach.fax = landline.left(landline.size() - 1) + QChar(u'0' + pick(10));
    c.reach.email1 = QStringLiteral("info@") + domain;
    c.reach.www = QStringLiteral("www.") + domain;
    if (chance(15))
        c.note = utf8(any(kNotes));

    c.seat.name = QStringLiteral("Sídlo");
    c.seat.street1 = QStringLiteral("%1 %2").arg(utf8(any(kStreets))).arg(1 + pick(250));
    c.seat.town = utf8(town.name);
    c.seat.postcode = utf8(town.postcode);
    c.seat.country = QStringLiteral("Česká republika");
    if (chance(40))
        c.invoicing = c.seat;
    if (chance(20)) {
        c.delivery = c.seat;
        c.delivery.name = QStringLiteral("Sklad");
        c.delivery.street1 = QStringLiteral("%1 %2").arg(utf8(any(kStreets))).arg(1 + pick(250));
    }

    const int staff = m_staff[size_t(index)];
    c.contacts.reserve(staff);
    for (int i = 0; i < staff; ++i)
        c.contacts << makeContact(domain);
    return c;
}

ContactData Generator::makeContact(const QString &domain) {
    ContactData p;
    const bool female = chance(45);
    const Surname &surname = any(kSurnames);
    p.firstName = utf8(female ? any(kFemaleNames) : any(kMaleNames));
    p.surname = utf8(female ? surname.female : surname.male);
    if (chance(20))
        p.titleBefore = utf8(any(kTitlesBefore));
    if (chance(4))
        p.titleAfter = utf8(any(kTitlesAfter));
    p.position = utf8(any(kPositions));
    p.nameDay = m_nameDayOf.value(p.firstName);
    if (chance(30))
        p.birthday =
            QStringLiteral("%1.%2.%3").arg(1 + pick(28)).arg(1 + pick(12)).arg(1950 + pick(55));
    p.reach.mobile = mobile();
    p.reach.email1 = ascii(p.firstName, QLatin1Char('.')) + QLatin1Char('.') +
                     ascii(p.surname, QLatin1Char('.')) + QLatin1Char('@') + domain;
    if (chance(10))
        p.reachNote = utf8(any(kNotes));
    if (chance(20)) {
        const Town &home = any(kTowns);
        p.address.street1 = QStringLiteral("%1 %2").arg(utf8(any(kStreets))).arg(1 + pick(120));
        p.address.town = utf8(home.name);
        p.address.postcode = utf8(home.postcode);
        p.address.country = QStringLiteral("Česká republika");
    }
    return p;
}

} // namespace initdb
