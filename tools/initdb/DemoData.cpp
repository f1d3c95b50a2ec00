#include "DemoData.h"

namespace initdb {
namespace {

const QString kCzechia = QStringLiteral("Česká republika");

Address address(const QString &street, const QString &town, const QString &postcode, const QString &note = {}) {
    Address a;
    a.street1 = street;
    a.town = town;
    a.postcode = postcode;
    a.country = kCzechia;
    a.note = note;
    return a;
}

ContactData person(const QString &titleBefore, const QString &first, const QString &last, const QString &position,
                   const QString &mobile, const QString &email) {
    ContactData c;
    c.titleBefore = titleBefore;
    c.firstName = first;
    c.surname = last;
    c.position = position;
    c.reach.mobile = mobile;
    c.reach.email1 = email;
    return c;
}

CompanyData company(const QString &name, const QString &code, const QString &business, const QString &ico,
                    const Address &seat) {
    CompanyData c;
    c.name = name;
    c.code = code;
    c.business = business;
    c.ico = ico;
    c.dic = QStringLiteral("CZ") + ico;
    c.seat = seat;
    c.seat.name = QStringLiteral("Sídlo");
    return c;
}

CompanyData builder() {
    CompanyData c = company(QStringLiteral("Stavební firma Hrubý a syn s.r.o."), QStringLiteral("STAV01"),
                            QStringLiteral("pozemní stavby, rekonstrukce"), QStringLiteral("64330125"),
                            address(QStringLiteral("Křenová 112/45"), QStringLiteral("Brno"), QStringLiteral("602 00")));
    c.description = QStringLiteral("Rodinná stavební firma, dodavatel rekonstrukce skladu.");
    c.bankAccount = QStringLiteral("19-2000145399");
    c.bankCode = QStringLiteral("0800");
    c.reach.phone1 = QStringLiteral("+420 545 212 340");
    c.reach.fax = QStringLiteral("+420 545 212 341");
    c.reach.email1 = QStringLiteral("info@hruby-stavby.cz");
    c.reach.www = QStringLiteral("www.hruby-stavby.cz");
    c.note = QStringLiteral("Smlouva o dílo č. 2024/17 do 30. 6.\nFakturace po etapách, splatnost 21 dní.");
    c.invoicing = c.seat;
    c.invoicing.name = QStringLiteral("Fakturace");
    c.delivery = address(QStringLiteral("Areál Slatina, hala C"), QStringLiteral("Brno-Slatina"),
                         QStringLiteral("627 00"), QStringLiteral("Vjezd z ulice Tuřanka,\nvrátnice hlásí příjezd."));
    c.delivery.name = QStringLiteral("Stavební dvůr");

    ContactData owner = person(QStringLiteral("Ing."), QStringLiteral("Jaroslav"), QStringLiteral("Hrubý"),
                               QStringLiteral("jednatel"), QStringLiteral("+420 603 412 887"),
                               QStringLiteral("jaroslav.hruby@hruby-stavby.cz"));
    owner.birthday = QStringLiteral("14.3.1961");
    owner.nameDay = QStringLiteral("27.4.");
    owner.address = address(QStringLiteral("Údolní 31"), QStringLiteral("Brno"), QStringLiteral("602 00"),
                            QStringLiteral("Rybář, nevolat v sobotu ráno.\nSyn Tomáš převezme firmu."));
    ContactData accountant = person({}, QStringLiteral("Petra"), QStringLiteral("Hrubá"), QStringLiteral("účetní"),
                                    QStringLiteral("+420 721 334 190"), QStringLiteral("ucetni@hruby-stavby.cz"));
    accountant.reach.phone1 = QStringLiteral("+420 545 212 342");
    ContactData site = person(QStringLiteral("Bc."), QStringLiteral("Tomáš"), QStringLiteral("Řezníček"),
                              QStringLiteral("stavbyvedoucí"), QStringLiteral("+420 736 118 542"),
                              QStringLiteral("reznicek@hruby-stavby.cz"));
    site.reachNote = QStringLiteral("Na stavbě bývá do 15:00,\npotom jen mobil.");
    c.contacts = {owner, accountant, site};
    return c;
}

CompanyData bakery() {
    CompanyData c = company(QStringLiteral("Pekárna Šťastný v.o.s."), QStringLiteral("PEK"),
                            QStringLiteral("pekařství a cukrářská výroba"), QStringLiteral("35308290"),
                            address(QStringLiteral("Žižkovo náměstí 8"), QStringLiteral("Tábor"), QStringLiteral("390 01")));
    c.reach.phone1 = QStringLiteral("+420 381 254 117");
    c.reach.email1 = QStringLiteral("objednavky@pekarna-stastny.cz");
    c.bankAccount = QStringLiteral("2100489317");
    c.bankCode = QStringLiteral("2010");
    c.reachNote = QStringLiteral("Objednávky do 10:00 na druhý den.");
    ContactData owner = person({}, QStringLiteral("Václav"), QStringLiteral("Šťastný"), QStringLiteral("majitel"),
                               QStringLiteral("+420 777 905 331"), QStringLiteral("vaclav@pekarna-stastny.cz"));
    owner.nameDay = QStringLiteral("28.9.");
    ContactData shop = person({}, QStringLiteral("Jiřina"), QStringLiteral("Kolářová"),
                              QStringLiteral("vedoucí prodejny"), QStringLiteral("+420 608 221 450"), {});
    shop.address.note = QStringLiteral("Dodávky chleba každé úterý a pátek.\nKlíče od skladu má jen ona.");
    c.contacts = {owner, shop};
    return c;
}

CompanyData electrician() {
    CompanyData c = company(QStringLiteral("Elektromontáže Kříž s.r.o."), QStringLiteral("ELKR"),
                            QStringLiteral("elektroinstalace, revize"), QStringLiteral("76240398"),
                            address(QStringLiteral("Koterovská 84"), QStringLiteral("Plzeň"), QStringLiteral("326 00")));
    c.reach.phone1 = QStringLiteral("+420 377 441 920");
    c.reach.mobile = QStringLiteral("+420 602 441 920");
    c.reach.email1 = QStringLiteral("kriz@elektro-kriz.cz");
    c.reach.email2 = QStringLiteral("revize@elektro-kriz.cz");
    c.reach.www = QStringLiteral("www.elektro-kriz.cz");
    c.bankAccount = QStringLiteral("107-4412870217");
    c.bankCode = QStringLiteral("0100");
    ContactData owner = person({}, QStringLiteral("Radek"), QStringLiteral("Kříž"), QStringLiteral("jednatel"),
                               QStringLiteral("+420 602 441 921"), QStringLiteral("radek.kriz@elektro-kriz.cz"));
    ContactData inspector = person(QStringLiteral("Ing."), QStringLiteral("Lubomír"), QStringLiteral("Čermák"),
                                   QStringLiteral("revizní technik"), QStringLiteral("+420 724 556 013"),
                                   QStringLiteral("revize@elektro-kriz.cz"));
    inspector.reminder = QStringLiteral("Revize hromosvodu 5/2025");
    ContactData office = person({}, QStringLiteral("Zdeňka"), QStringLiteral("Pospíšilová"),
                                QStringLiteral("asistentka"), {}, QStringLiteral("kancelar@elektro-kriz.cz"));
    office.reach.phone1 = QStringLiteral("+420 377 441 920");
    c.contacts = {owner, inspector, office};
    return c;
}

CompanyData accountingOffice() {
    CompanyData c = company(QStringLiteral("Účetní kancelář Růžičková"), QStringLiteral("UCTO"),
                            QStringLiteral("účetnictví, daňová evidence, mzdy"), QStringLiteral("18101119"),
                            address(QStringLiteral("Třída Svobody 27"), QStringLiteral("Olomouc"), QStringLiteral("779 00")));
    c.reach.phone1 = QStringLiteral("+420 585 224 601");
    c.reach.email1 = QStringLiteral("kancelar@ucto-ruzickova.cz");
    c.note = QStringLiteral("Vede nám účetnictví od roku 2009.\nPodklady odevzdat vždy do 10. dne v měsíci.\n"
                            "Přiznání k DPH podává elektronicky.");
    ContactData boss = person(QStringLiteral("Ing."), QStringLiteral("Božena"), QStringLiteral("Růžičková"),
                              QStringLiteral("daňová poradkyně"), QStringLiteral("+420 604 771 208"),
                              QStringLiteral("ruzickova@ucto-ruzickova.cz"));
    boss.nameDay = QStringLiteral("11.2.");
    ContactData payroll = person(QStringLiteral("Mgr."), QStringLiteral("Šárka"), QStringLiteral("Dvořáková"),
                                 QStringLiteral("mzdová účetní"), QStringLiteral("+420 731 602 884"),
                                 QStringLiteral("mzdy@ucto-ruzickova.cz"));
    c.contacts = {boss, payroll};
    return c;
}

CompanyData engineeringWorks() {
    CompanyData c = company(QStringLiteral("Strojírny Žďár a.s."), QStringLiteral("STROJ"),
                            QStringLiteral("obrábění, svařované konstrukce"), QStringLiteral("22152792"),
                            address(QStringLiteral("Jihlavská 1558/21"), QStringLiteral("Žďár nad Sázavou"),
                                    QStringLiteral("591 01")));
    c.description = QStringLiteral("Hlavní odběratel dílů, roční rámcová smlouva.");
    c.reach.phone1 = QStringLiteral("+420 566 641 111");
    c.reach.phone2 = QStringLiteral("+420 566 641 250");
    c.reach.fax = QStringLiteral("+420 566 641 199");
    c.reach.email1 = QStringLiteral("podatelna@strojirny-zdar.cz");
    c.reach.www = QStringLiteral("www.strojirny-zdar.cz");
    c.bankAccount = QStringLiteral("5012447711");
    c.bankCode = QStringLiteral("5500");
    c.invoicing = address(QStringLiteral("P. O. Box 12"), QStringLiteral("Žďár nad Sázavou"), QStringLiteral("591 02"),
                          QStringLiteral("Faktury jen v PDF na fakturace@strojirny-zdar.cz."));
    c.invoicing.name = QStringLiteral("Fakturační oddělení");
    c.delivery = address(QStringLiteral("Brána č. 3"), QStringLiteral("Žďár nad Sázavou"), QStringLiteral("591 01"));
    c.delivery.name = QStringLiteral("Sklad materiálu");
    c.delivery.street2 = QStringLiteral("Hala 7, rampa B");

    ContactData director = person(QStringLiteral("Ing."), QStringLiteral("Miroslav"), QStringLiteral("Němec"),
                                  QStringLiteral("generální ředitel"), QStringLiteral("+420 602 118 900"),
                                  QStringLiteral("nemec@strojirny-zdar.cz"));
    director.titleAfter = QStringLiteral("CSc.");
    director.birthday = QStringLiteral("2.11.1958");
    ContactData production = person(QStringLiteral("Ing."), QStringLiteral("Jiří"), QStringLiteral("Sedláček"),
                                    QStringLiteral("vedoucí výroby"), QStringLiteral("+420 725 310 447"),
                                    QStringLiteral("sedlacek@strojirny-zdar.cz"));
    ContactData assistant = person({}, QStringLiteral("Dagmar"), QStringLiteral("Pokorná"), QStringLiteral("asistentka ředitele"),
                                   {}, QStringLiteral("pokorna@strojirny-zdar.cz"));
    assistant.reach.phone1 = QStringLiteral("+420 566 641 101");
    ContactData buyer = person({}, QStringLiteral("Luděk"), QStringLiteral("Vávra"), QStringLiteral("nákupčí"),
                               QStringLiteral("+420 739 002 615"), QStringLiteral("vavra@strojirny-zdar.cz"));
    buyer.reachNote = QStringLiteral("Cenové nabídky chce vždy e-mailem,\ntelefonicky jen urgence.");
    c.contacts = {director, production, assistant, buyer};
    return c;
}

CompanyData joinery() {
    CompanyData c = company(QStringLiteral("Truhlářství Dvořák"), QStringLiteral("TRUHL"),
                            QStringLiteral("nábytek na míru, okna, dveře"), QStringLiteral("99906082"),
                            address(QStringLiteral("Brněnská 56"), QStringLiteral("Jihlava"), QStringLiteral("586 01")));
    c.reach.mobile = QStringLiteral("+420 605 338 112");
    c.reach.email1 = QStringLiteral("truhlarstvi.dvorak@seznam.cz");
    ContactData father = person({}, QStringLiteral("František"), QStringLiteral("Dvořák"), QStringLiteral("mistr truhlář"),
                                QStringLiteral("+420 605 338 112"), QStringLiteral("truhlarstvi.dvorak@seznam.cz"));
    father.nameDay = QStringLiteral("4.10.");
    ContactData son = person({}, QStringLiteral("Ondřej"), QStringLiteral("Dvořák"), QStringLiteral("truhlář"),
                             QStringLiteral("+420 777 640 285"), {});
    c.contacts = {father, son};
    return c;
}

CompanyData travelAgency() {
    CompanyData c = company(QStringLiteral("Cestovní kancelář Léto s.r.o."), QStringLiteral("CKLETO"),
                            QStringLiteral("zájezdy, firemní akce"), QStringLiteral("25792407"),
                            address(QStringLiteral("Vodičkova 699/30"), QStringLiteral("Praha 1"), QStringLiteral("110 00")));
    c.reach.phone1 = QStringLiteral("+420 224 946 300");
    c.reach.email1 = QStringLiteral("info@ck-leto.cz");
    c.reach.skype = QStringLiteral("ck.leto.praha");
    c.reach.www = QStringLiteral("www.ck-leto.cz");
    c.note = QStringLiteral("Firemní výjezd 2025: Šumava, 40 osob.\nZáloha 30 % zaplacena.");
    ContactData manager = person(QStringLiteral("Mgr."), QStringLiteral("Kateřina"), QStringLiteral("Holubová"),
                                 QStringLiteral("ředitelka"), QStringLiteral("+420 603 910 274"),
                                 QStringLiteral("holubova@ck-leto.cz"));
    ContactData agent = person({}, QStringLiteral("Markéta"), QStringLiteral("Šimková"), QStringLiteral("obchodní zástupkyně"),
                               QStringLiteral("+420 732 118 006"), QStringLiteral("simkova@ck-leto.cz"));
    agent.reach.email2 = QStringLiteral("marketa.simkova@email.cz");
    ContactData guide = person({}, QStringLiteral("Štěpán"), QStringLiteral("Beneš"), QStringLiteral("průvodce"),
                               QStringLiteral("+420 776 503 214"), {});
    guide.address = address(QStringLiteral("Korunní 88"), QStringLiteral("Praha 10"), QStringLiteral("101 00"));
    c.contacts = {manager, agent, guide};
    return c;
}

CompanyData garden() {
    CompanyData c = company(QStringLiteral("Zahradnictví U Lípy"), QStringLiteral("ZAHR"),
                            QStringLiteral("květiny, sazenice, údržba zeleně"), QStringLiteral("71352414"),
                            address(QStringLiteral("Budějovická 212"), QStringLiteral("Český Krumlov"),
                                    QStringLiteral("381 01")));
    c.reach.phone1 = QStringLiteral("+420 380 711 562");
    c.reach.email1 = QStringLiteral("zahradnictvi.ulipy@volny.cz");
    ContactData owner = person({}, QStringLiteral("Ludmila"), QStringLiteral("Veselá"), QStringLiteral("majitelka"),
                               QStringLiteral("+420 721 880 349"), QStringLiteral("zahradnictvi.ulipy@volny.cz"));
    ContactData gardener = person({}, QStringLiteral("Jindřich"), QStringLiteral("Veselý"), QStringLiteral("zahradník"),
                                  QStringLiteral("+420 721 880 350"), {});
    gardener.address.note = QStringLiteral("Sekání trávníku v areálu:\nduben až říjen, každý druhý čtvrtek.");
    c.contacts = {owner, gardener};
    return c;
}

CompanyData carService() {
    CompanyData c = company(QStringLiteral("Autoservis Čermák s.r.o."), QStringLiteral("AUTO"),
                            QStringLiteral("servis vozidel, pneuservis"), QStringLiteral("19730608"),
                            address(QStringLiteral("Pražská třída 1208"), QStringLiteral("Hradec Králové"),
                                    QStringLiteral("500 04")));
    c.reach.phone1 = QStringLiteral("+420 495 513 322");
    c.reach.email1 = QStringLiteral("servis@autoservis-cermak.cz");
    c.reach.www = QStringLiteral("www.autoservis-cermak.cz");
    c.bankAccount = QStringLiteral("270018844");
    c.bankCode = QStringLiteral("0300");
    ContactData owner = person({}, QStringLiteral("Petr"), QStringLiteral("Čermák"), QStringLiteral("vedoucí servisu"),
                               QStringLiteral("+420 602 776 145"), QStringLiteral("petr@autoservis-cermak.cz"));
    owner.reminder = QStringLiteral("Přezutí služebních vozů v listopadu");
    ContactData mechanic = person({}, QStringLiteral("Zbyněk"), QStringLiteral("Malý"), QStringLiteral("mechanik"),
                                  QStringLiteral("+420 736 224 981"), {});
    c.contacts = {owner, mechanic};
    return c;
}

CompanyData softwareStudio() {
    CompanyData c = company(QStringLiteral("Softwarové studio Bystřina s.r.o."), QStringLiteral("SW"),
                            QStringLiteral("vývoj software, správa sítí"), QStringLiteral("95133585"),
                            address(QStringLiteral("Moskevská 637/6"), QStringLiteral("Liberec"), QStringLiteral("460 01")));
    c.reach.phone1 = QStringLiteral("+420 485 100 712");
    c.reach.email1 = QStringLiteral("podpora@bystrina.cz");
    c.reach.other1 = QStringLiteral("Hotline 24/7: +420 485 100 799");
    c.reach.www = QStringLiteral("https://www.bystrina.cz");
    c.reachNote = QStringLiteral("Požadavky na podporu zadávat přes portál,\nv naléhavých případech hotline.");
    ContactData lead = person(QStringLiteral("Ing."), QStringLiteral("Ondřej"), QStringLiteral("Kopecký"),
                              QStringLiteral("vedoucí vývoje"), QStringLiteral("+420 608 404 117"),
                              QStringLiteral("kopecky@bystrina.cz"));
    lead.titleAfter = QStringLiteral("Ph.D.");
    lead.reach.skype = QStringLiteral("ondrej.kopecky");
    ContactData analyst = person(QStringLiteral("RNDr."), QStringLiteral("Eliška"), QStringLiteral("Navrátilová"),
                                 QStringLiteral("analytička"), QStringLiteral("+420 775 212 630"),
                                 QStringLiteral("navratilova@bystrina.cz"));
    ContactData admin = person(QStringLiteral("Bc."), QStringLiteral("Matěj"), QStringLiteral("Král"),
                               QStringLiteral("správce sítě"), QStringLiteral("+420 739 884 006"),
                               QStringLiteral("kral@bystrina.cz"));
    admin.reach.icq = QStringLiteral("218447310");
    c.contacts = {lead, analyst, admin};
    return c;
}

CompanyData pharmacy() {
    CompanyData c = company(QStringLiteral("Lékárna Na Náměstí s.r.o."), QStringLiteral("LEK"),
                            QStringLiteral("lékárna, zdravotnické potřeby"), QStringLiteral("46020373"),
                            address(QStringLiteral("Palackého náměstí 164"), QStringLiteral("Kutná Hora"),
                                    QStringLiteral("284 01")));
    c.reach.phone1 = QStringLiteral("+420 327 512 044");
    c.reach.email1 = QStringLiteral("lekarna@nanamesti-kh.cz");
    ContactData chief = person(QStringLiteral("PharmDr."), QStringLiteral("Alžběta"), QStringLiteral("Horáková"),
                               QStringLiteral("vedoucí lékárnice"), QStringLiteral("+420 603 552 901"),
                               QStringLiteral("horakova@nanamesti-kh.cz"));
    ContactData assistant = person({}, QStringLiteral("Hana"), QStringLiteral("Marešová"), QStringLiteral("farmaceutická asistentka"),
                                   {}, {});
    assistant.reach.phone1 = QStringLiteral("+420 327 512 045");
    c.contacts = {chief, assistant};
    return c;
}

// A company just entered in the company form: no contact persons yet.
CompanyData winery() {
    CompanyData c = company(QStringLiteral("Vinařství Pálava s.r.o."), QStringLiteral("VINO"),
                            QStringLiteral("výroba vína"), QStringLiteral("16290721"),
                            address(QStringLiteral("Náměstí 12"), QStringLiteral("Mikulov"), QStringLiteral("692 01")));
    c.reach.phone1 = QStringLiteral("+420 519 510 233");
    c.reach.www = QStringLiteral("www.vinarstvi-palava.cz");
    c.note = QStringLiteral("Dárkové balíčky k Vánocům – poptat v září.");
    return c;
}

} // namespace

QList<CompanyData> demoCompanies() {
    return {builder(),  bakery(),   electrician(),   accountingOffice(), engineeringWorks(), joinery(),
            travelAgency(), garden(), carService(), softwareStudio(), pharmacy(), winery()};
}

QList<CompanyData> sampleCompanies() {
    CompanyData sample = company(QStringLiteral("Vzorová firma s.r.o."), QStringLiteral("VZOR"),
                                 QStringLiteral("ukázková data"), QStringLiteral("24419559"),
                                 address(QStringLiteral("Dlouhá 1"), QStringLiteral("Praha 1"), QStringLiteral("110 00")));
    sample.reach.phone1 = QStringLiteral("+420 222 000 111");
    sample.note = QStringLiteral("Ukázková firma.\nMůžete ji smazat.");
    ContactData miloran = person({}, QStringLiteral("Miloran"), QStringLiteral("Drobeček"), QStringLiteral("ředitel"),
                                 QStringLiteral("+420 600 000 111"), QStringLiteral("drobecek@example.cz"));
    miloran.address.note = QStringLiteral("Ukázkový kontakt.");
    ContactData secretary = person({}, QStringLiteral("Jana"), QStringLiteral("Nováková"), QStringLiteral("sekretářka"),
                                   {}, QStringLiteral("novakova@example.cz"));
    sample.contacts = {miloran, secretary};

    CompanyData supplier = company(QStringLiteral("Dodavatel Novák s.r.o."), QStringLiteral("DOD"),
                                   QStringLiteral("kancelářské potřeby"), QStringLiteral("82753679"),
                                   address(QStringLiteral("Nádražní 15"), QStringLiteral("Kolín"), QStringLiteral("280 02")));
    supplier.contacts = {person({}, QStringLiteral("Josef"), QStringLiteral("Novák"), QStringLiteral("obchodník"),
                                QStringLiteral("+420 600 000 222"), QStringLiteral("novak@example.cz"))};

    CompanyData customer = company(QStringLiteral("Odběratel Černý a.s."), QStringLiteral("ODB"),
                                   QStringLiteral("velkoobchod"), QStringLiteral("80157645"),
                                   address(QStringLiteral("Průmyslová 7"), QStringLiteral("Pardubice"),
                                           QStringLiteral("530 02")));
    customer.contacts = {person(QStringLiteral("Ing."), QStringLiteral("Karel"), QStringLiteral("Černý"),
                                QStringLiteral("ředitel"), {}, QStringLiteral("cerny@example.cz")),
                         person({}, QStringLiteral("Věra"), QStringLiteral("Černá"), QStringLiteral("nákupčí"),
                                QStringLiteral("+420 600 000 333"), {})};
    return {sample, supplier, customer};
}

} // namespace initdb
