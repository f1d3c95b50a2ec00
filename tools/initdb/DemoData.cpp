#include "initdb/DemoData.h"

namespace initdb {
namespace {

using namespace Qt::StringLiterals;

const QString kCzechia = u"Česká republika"_s;

Address address(const QString &street, const QString &town, const QString &postcode,
                const QString &note = {}) {
    Address a;
    a.street1 = street;
    a.town = town;
    a.postcode = postcode;
    a.country = kCzechia;
    a.note = note;
    return a;
}

ContactData person(const QString &titleBefore, const QString &first, const QString &last,
                   const QString &position, const QString &mobile, const QString &email) {
    ContactData c;
    c.titleBefore = titleBefore;
    c.firstName = first;
    c.surname = last;
    c.position = position;
    c.reach.mobile = mobile;
    c.reach.email1 = email;
    return c;
}

CompanyData company(const QString &name, const QString &code, const QString &business,
                    const QString &ico, const Address &seat) {
    CompanyData c;
    c.name = name;
    c.code = code;
    c.business = business;
    c.ico = ico;
    c.dic = u"CZ"_s + ico;
    c.seat = seat;
    c.seat.name = u"Sídlo"_s;
    return c;
}

CompanyData builder() {
    CompanyData c = company(u"Stavební firma Hrubý a syn s.r.o."_s, u"STAV01"_s,
                            u"pozemní stavby, rekonstrukce"_s, u"64330125"_s,
                            address(u"Křenová 112/45"_s, u"Brno"_s, u"602 00"_s));
    c.description = u"Rodinná stavební firma, dodavatel rekonstrukce skladu."_s;
    c.bankAccount = u"19-2000145399"_s;
    c.bankCode = u"0800"_s;
    c.reach.phone1 = u"+420 545 212 340"_s;
    c.reach.fax = u"+420 545 212 341"_s;
    c.reach.email1 = u"info@hruby-stavby.cz"_s;
    c.reach.www = u"www.hruby-stavby.cz"_s;
    c.note = u"Smlouva o dílo č. 2024/17 do 30. 6.\nFakturace po etapách, splatnost 21 dní."_s;
    c.invoicing = c.seat;
    c.invoicing.name = u"Fakturace"_s;
    c.delivery = address(u"Areál Slatina, hala C"_s, u"Brno-Slatina"_s, u"627 00"_s,
                         u"Vjezd z ulice Tuřanka,\nvrátnice hlásí příjezd."_s);
    c.delivery.name = u"Stavební dvůr"_s;

    ContactData owner = person(u"Ing."_s, u"Jaroslav"_s, u"Hrubý"_s, u"jednatel"_s,
                               u"+420 603 412 887"_s, u"jaroslav.hruby@hruby-stavby.cz"_s);
    owner.birthday = u"14.3.1961"_s;
    owner.nameDay = u"27.4."_s;
    owner.address = address(u"Údolní 31"_s, u"Brno"_s, u"602 00"_s,
                            u"Rybář, nevolat v sobotu ráno.\nSyn Tomáš převezme firmu."_s);
    ContactData accountant = person({}, u"Petra"_s, u"Hrubá"_s, u"účetní"_s, u"+420 721 334 190"_s,
                                    u"ucetni@hruby-stavby.cz"_s);
    accountant.reach.phone1 = u"+420 545 212 342"_s;
    ContactData site = person(u"Bc."_s, u"Tomáš"_s, u"Řezníček"_s, u"stavbyvedoucí"_s,
                              u"+420 736 118 542"_s, u"reznicek@hruby-stavby.cz"_s);
    site.reachNote = u"Na stavbě bývá do 15:00,\npotom jen mobil."_s;
    c.contacts = {owner, accountant, site};
    return c;
}

CompanyData bakery() {
    CompanyData c =
        company(u"Pekárna Šťastný v.o.s."_s, u"PEK"_s, u"pekařství a cukrářská výroba"_s,
                u"35308290"_s, address(u"Žižkovo náměstí 8"_s, u"Tábor"_s, u"390 01"_s));
    c.reach.phone1 = u"+420 381 254 117"_s;
    c.reach.email1 = u"objednavky@pekarna-stastny.cz"_s;
    c.bankAccount = u"2100489317"_s;
    c.bankCode = u"2010"_s;
    c.reachNote = u"Objednávky do 10:00 na druhý den."_s;
    ContactData owner = person({}, u"Václav"_s, u"Šťastný"_s, u"majitel"_s, u"+420 777 905 331"_s,
                               u"vaclav@pekarna-stastny.cz"_s);
    owner.nameDay = u"28.9."_s;
    ContactData shop =
        person({}, u"Jiřina"_s, u"Kolářová"_s, u"vedoucí prodejny"_s, u"+420 608 221 450"_s, {});
    shop.address.note = u"Dodávky chleba každé úterý a pátek.\nKlíče od skladu má jen ona."_s;
    c.contacts = {owner, shop};
    return c;
}

CompanyData electrician() {
    CompanyData c =
        company(u"Elektromontáže Kříž s.r.o."_s, u"ELKR"_s, u"elektroinstalace, revize"_s,
                u"76240398"_s, address(u"Koterovská 84"_s, u"Plzeň"_s, u"326 00"_s));
    c.reach.phone1 = u"+420 377 441 920"_s;
    c.reach.mobile = u"+420 602 441 920"_s;
    c.reach.email1 = u"kriz@elektro-kriz.cz"_s;
    c.reach.email2 = u"revize@elektro-kriz.cz"_s;
    c.reach.www = u"www.elektro-kriz.cz"_s;
    c.bankAccount = u"107-4412870217"_s;
    c.bankCode = u"0100"_s;
    ContactData owner = person({}, u"Radek"_s, u"Kříž"_s, u"jednatel"_s, u"+420 602 441 921"_s,
                               u"radek.kriz@elektro-kriz.cz"_s);
    ContactData inspector = person(u"Ing."_s, u"Lubomír"_s, u"Čermák"_s, u"revizní technik"_s,
                                   u"+420 724 556 013"_s, u"revize@elektro-kriz.cz"_s);
    inspector.reminder = u"Revize hromosvodu 5/2025"_s;
    ContactData office = person({}, u"Zdeňka"_s, u"Pospíšilová"_s, u"asistentka"_s, {},
                                u"kancelar@elektro-kriz.cz"_s);
    office.reach.phone1 = u"+420 377 441 920"_s;
    c.contacts = {owner, inspector, office};
    return c;
}

CompanyData accountingOffice() {
    CompanyData c =
        company(u"Účetní kancelář Růžičková"_s, u"UCTO"_s, u"účetnictví, daňová evidence, mzdy"_s,
                u"18101119"_s, address(u"Třída Svobody 27"_s, u"Olomouc"_s, u"779 00"_s));
    c.reach.phone1 = u"+420 585 224 601"_s;
    c.reach.email1 = u"kancelar@ucto-ruzickova.cz"_s;
    c.note = u"Vede nám účetnictví od roku 2009.\nPodklady odevzdat vždy do 10. dne v měsíci.\n"
             u"Přiznání k DPH podává elektronicky."_s;
    ContactData boss = person(u"Ing."_s, u"Božena"_s, u"Růžičková"_s, u"daňová poradkyně"_s,
                              u"+420 604 771 208"_s, u"ruzickova@ucto-ruzickova.cz"_s);
    boss.nameDay = u"11.2."_s;
    ContactData payroll = person(u"Mgr."_s, u"Šárka"_s, u"Dvořáková"_s, u"mzdová účetní"_s,
                                 u"+420 731 602 884"_s, u"mzdy@ucto-ruzickova.cz"_s);
    c.contacts = {boss, payroll};
    return c;
}

CompanyData engineeringWorks() {
    CompanyData c =
        company(u"Strojírny Žďár a.s."_s, u"STROJ"_s, u"obrábění, svařované konstrukce"_s,
                u"22152792"_s, address(u"Jihlavská 1558/21"_s, u"Žďár nad Sázavou"_s, u"591 01"_s));
    c.description = u"Hlavní odběratel dílů, roční rámcová smlouva."_s;
    c.reach.phone1 = u"+420 566 641 111"_s;
    c.reach.phone2 = u"+420 566 641 250"_s;
    c.reach.fax = u"+420 566 641 199"_s;
    c.reach.email1 = u"podatelna@strojirny-zdar.cz"_s;
    c.reach.www = u"www.strojirny-zdar.cz"_s;
    c.bankAccount = u"5012447711"_s;
    c.bankCode = u"5500"_s;
    c.invoicing = address(u"P. O. Box 12"_s, u"Žďár nad Sázavou"_s, u"591 02"_s,
                          u"Faktury jen v PDF na fakturace@strojirny-zdar.cz."_s);
    c.invoicing.name = u"Fakturační oddělení"_s;
    c.delivery = address(u"Brána č. 3"_s, u"Žďár nad Sázavou"_s, u"591 01"_s);
    c.delivery.name = u"Sklad materiálu"_s;
    c.delivery.street2 = u"Hala 7, rampa B"_s;

    ContactData director = person(u"Ing."_s, u"Miroslav"_s, u"Němec"_s, u"generální ředitel"_s,
                                  u"+420 602 118 900"_s, u"nemec@strojirny-zdar.cz"_s);
    director.titleAfter = u"CSc."_s;
    director.birthday = u"2.11.1958"_s;
    ContactData production = person(u"Ing."_s, u"Jiří"_s, u"Sedláček"_s, u"vedoucí výroby"_s,
                                    u"+420 725 310 447"_s, u"sedlacek@strojirny-zdar.cz"_s);
    ContactData assistant = person({}, u"Dagmar"_s, u"Pokorná"_s, u"asistentka ředitele"_s, {},
                                   u"pokorna@strojirny-zdar.cz"_s);
    assistant.reach.phone1 = u"+420 566 641 101"_s;
    ContactData buyer = person({}, u"Luděk"_s, u"Vávra"_s, u"nákupčí"_s, u"+420 739 002 615"_s,
                               u"vavra@strojirny-zdar.cz"_s);
    buyer.reachNote = u"Cenové nabídky chce vždy e-mailem,\ntelefonicky jen urgence."_s;
    c.contacts = {director, production, assistant, buyer};
    return c;
}

CompanyData joinery() {
    CompanyData c = company(u"Truhlářství Dvořák"_s, u"TRUHL"_s, u"nábytek na míru, okna, dveře"_s,
                            u"99906082"_s, address(u"Brněnská 56"_s, u"Jihlava"_s, u"586 01"_s));
    c.reach.mobile = u"+420 605 338 112"_s;
    c.reach.email1 = u"truhlarstvi.dvorak@seznam.cz"_s;
    ContactData father = person({}, u"František"_s, u"Dvořák"_s, u"mistr truhlář"_s,
                                u"+420 605 338 112"_s, u"truhlarstvi.dvorak@seznam.cz"_s);
    father.nameDay = u"4.10."_s;
    ContactData son = person({}, u"Ondřej"_s, u"Dvořák"_s, u"truhlář"_s, u"+420 777 640 285"_s, {});
    c.contacts = {father, son};
    return c;
}

CompanyData travelAgency() {
    CompanyData c =
        company(u"Cestovní kancelář Léto s.r.o."_s, u"CKLETO"_s, u"zájezdy, firemní akce"_s,
                u"25792407"_s, address(u"Vodičkova 699/30"_s, u"Praha 1"_s, u"110 00"_s));
    c.reach.phone1 = u"+420 224 946 300"_s;
    c.reach.email1 = u"info@ck-leto.cz"_s;
    c.reach.skype = u"ck.leto.praha"_s;
    c.reach.www = u"www.ck-leto.cz"_s;
    c.note = u"Firemní výjezd 2025: Šumava, 40 osob.\nZáloha 30 % zaplacena."_s;
    ContactData manager = person(u"Mgr."_s, u"Kateřina"_s, u"Holubová"_s, u"ředitelka"_s,
                                 u"+420 603 910 274"_s, u"holubova@ck-leto.cz"_s);
    ContactData agent = person({}, u"Markéta"_s, u"Šimková"_s, u"obchodní zástupkyně"_s,
                               u"+420 732 118 006"_s, u"simkova@ck-leto.cz"_s);
    agent.reach.email2 = u"marketa.simkova@email.cz"_s;
    ContactData guide =
        person({}, u"Štěpán"_s, u"Beneš"_s, u"průvodce"_s, u"+420 776 503 214"_s, {});
    guide.address = address(u"Korunní 88"_s, u"Praha 10"_s, u"101 00"_s);
    c.contacts = {manager, agent, guide};
    return c;
}

CompanyData garden() {
    CompanyData c =
        company(u"Zahradnictví U Lípy"_s, u"ZAHR"_s, u"květiny, sazenice, údržba zeleně"_s,
                u"71352414"_s, address(u"Budějovická 212"_s, u"Český Krumlov"_s, u"381 01"_s));
    c.reach.phone1 = u"+420 380 711 562"_s;
    c.reach.email1 = u"zahradnictvi.ulipy@volny.cz"_s;
    ContactData owner = person({}, u"Ludmila"_s, u"Veselá"_s, u"majitelka"_s, u"+420 721 880 349"_s,
                               u"zahradnictvi.ulipy@volny.cz"_s);
    ContactData gardener =
        person({}, u"Jindřich"_s, u"Veselý"_s, u"zahradník"_s, u"+420 721 880 350"_s, {});
    gardener.address.note = u"Sekání trávníku v areálu:\nduben až říjen, každý druhý čtvrtek."_s;
    c.contacts = {owner, gardener};
    return c;
}

CompanyData carService() {
    CompanyData c =
        company(u"Autoservis Čermák s.r.o."_s, u"AUTO"_s, u"servis vozidel, pneuservis"_s,
                u"19730608"_s, address(u"Pražská třída 1208"_s, u"Hradec Králové"_s, u"500 04"_s));
    c.reach.phone1 = u"+420 495 513 322"_s;
    c.reach.email1 = u"servis@autoservis-cermak.cz"_s;
    c.reach.www = u"www.autoservis-cermak.cz"_s;
    c.bankAccount = u"270018844"_s;
    c.bankCode = u"0300"_s;
    ContactData owner = person({}, u"Petr"_s, u"Čermák"_s, u"vedoucí servisu"_s,
                               u"+420 602 776 145"_s, u"petr@autoservis-cermak.cz"_s);
    owner.reminder = u"Přezutí služebních vozů v listopadu"_s;
    ContactData mechanic =
        person({}, u"Zbyněk"_s, u"Malý"_s, u"mechanik"_s, u"+420 736 224 981"_s, {});
    c.contacts = {owner, mechanic};
    return c;
}

CompanyData softwareStudio() {
    CompanyData c =
        company(u"Softwarové studio Bystřina s.r.o."_s, u"SW"_s, u"vývoj software, správa sítí"_s,
                u"95133585"_s, address(u"Moskevská 637/6"_s, u"Liberec"_s, u"460 01"_s));
    c.reach.phone1 = u"+420 485 100 712"_s;
    c.reach.email1 = u"podpora@bystrina.cz"_s;
    c.reach.other1 = u"Hotline 24/7: +420 485 100 799"_s;
    c.reach.www = u"https://www.bystrina.cz"_s;
    c.reachNote = u"Požadavky na podporu zadávat přes portál,\nv naléhavých případech hotline."_s;
    ContactData lead = person(u"Ing."_s, u"Ondřej"_s, u"Kopecký"_s, u"vedoucí vývoje"_s,
                              u"+420 608 404 117"_s, u"kopecky@bystrina.cz"_s);
    lead.titleAfter = u"Ph.D."_s;
    lead.reach.skype = u"ondrej.kopecky"_s;
    ContactData analyst = person(u"RNDr."_s, u"Eliška"_s, u"Navrátilová"_s, u"analytička"_s,
                                 u"+420 775 212 630"_s, u"navratilova@bystrina.cz"_s);
    ContactData admin = person(u"Bc."_s, u"Matěj"_s, u"Král"_s, u"správce sítě"_s,
                               u"+420 739 884 006"_s, u"kral@bystrina.cz"_s);
    admin.reach.icq = u"218447310"_s;
    c.contacts = {lead, analyst, admin};
    return c;
}

CompanyData pharmacy() {
    CompanyData c =
        company(u"Lékárna Na Náměstí s.r.o."_s, u"LEK"_s, u"lékárna, zdravotnické potřeby"_s,
                u"46020373"_s, address(u"Palackého náměstí 164"_s, u"Kutná Hora"_s, u"284 01"_s));
    c.reach.phone1 = u"+420 327 512 044"_s;
    c.reach.email1 = u"lekarna@nanamesti-kh.cz"_s;
    ContactData chief = person(u"PharmDr."_s, u"Alžběta"_s, u"Horáková"_s, u"vedoucí lékárnice"_s,
                               u"+420 603 552 901"_s, u"horakova@nanamesti-kh.cz"_s);
    ContactData assistant =
        person({}, u"Hana"_s, u"Marešová"_s, u"farmaceutická asistentka"_s, {}, {});
    assistant.reach.phone1 = u"+420 327 512 045"_s;
    c.contacts = {chief, assistant};
    return c;
}

// A company just entered in the company form: no contact persons yet.
CompanyData winery() {
    CompanyData c = company(u"Vinařství Pálava s.r.o."_s, u"VINO"_s, u"výroba vína"_s,
                            u"16290721"_s, address(u"Náměstí 12"_s, u"Mikulov"_s, u"692 01"_s));
    c.reach.phone1 = u"+420 519 510 233"_s;
    c.reach.www = u"www.vinarstvi-palava.cz"_s;
    c.note = u"Dárkové balíčky k Vánocům – poptat v září."_s;
    return c;
}

} // namespace

QList<CompanyData> demoCompanies() {
    return {builder(),          bakery(),         electrician(),  accountingOffice(),
            engineeringWorks(), joinery(),        travelAgency(), garden(),
            carService(),       softwareStudio(), pharmacy(),     winery()};
}

QList<CompanyData> sampleCompanies() {
    CompanyData sample = company(u"Vzorová firma s.r.o."_s, u"VZOR"_s, u"ukázková data"_s,
                                 u"24419559"_s, address(u"Dlouhá 1"_s, u"Praha 1"_s, u"110 00"_s));
    sample.reach.phone1 = u"+420 222 000 111"_s;
    sample.note = u"Ukázková firma.\nMůžete ji smazat."_s;
    ContactData miloran = person({}, u"Miloran"_s, u"Drobeček"_s, u"ředitel"_s,
                                 u"+420 600 000 111"_s, u"drobecek@example.cz"_s);
    miloran.address.note = u"Ukázkový kontakt."_s;
    ContactData secretary =
        person({}, u"Jana"_s, u"Nováková"_s, u"sekretářka"_s, {}, u"novakova@example.cz"_s);
    sample.contacts = {miloran, secretary};

    CompanyData supplier =
        company(u"Dodavatel Novák s.r.o."_s, u"DOD"_s, u"kancelářské potřeby"_s, u"82753679"_s,
                address(u"Nádražní 15"_s, u"Kolín"_s, u"280 02"_s));
    supplier.contacts = {person({}, u"Josef"_s, u"Novák"_s, u"obchodník"_s, u"+420 600 000 222"_s,
                                u"novak@example.cz"_s)};

    CompanyData customer =
        company(u"Odběratel Černý a.s."_s, u"ODB"_s, u"velkoobchod"_s, u"80157645"_s,
                address(u"Průmyslová 7"_s, u"Pardubice"_s, u"530 02"_s));
    customer.contacts = {
        person(u"Ing."_s, u"Karel"_s, u"Černý"_s, u"ředitel"_s, {}, u"cerny@example.cz"_s),
        person({}, u"Věra"_s, u"Černá"_s, u"nákupčí"_s, u"+420 600 000 333"_s, {})};
    return {sample, supplier, customer};
}

} // namespace initdb
