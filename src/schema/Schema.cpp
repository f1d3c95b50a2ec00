#include "Schema.h"

#include "ChangeLog.h"
#include "RowIds.h"

namespace schema {
namespace {

// One address family: eight columns that share a suffix.
QString addressColumns(const QString &suffix) {
    return QStringLiteral("NAZEV_ADRESA%1 VARCHAR(150), ADRESA%1 VARCHAR(150), ULICE%1 VARCHAR(150), "
                          "OBEC%1 VARCHAR(100), PSC%1 VARCHAR(20), STAT%1 VARCHAR(60), KRAJ%1 VARCHAR(60), "
                          "POZNAMKA%1 BLOB SUB_TYPE 1")
        .arg(suffix);
}

const QString kMeansOfContact = QStringLiteral(
    "TELEFON1 VARCHAR(50), TELEFON2 VARCHAR(50), MOBIL VARCHAR(50), FAX VARCHAR(50), "
    "EMAIL1 VARCHAR(150), EMAIL2 VARCHAR(150), ICQ VARCHAR(30), SKYPE VARCHAR(100), "
    "DALSI1 VARCHAR(150), DALSI2 VARCHAR(150), WWW VARCHAR(200)");

} // namespace

std::pair<int, int> layoutVersion(Layout layout) {
    switch (layout) {
    case Layout::V0_0: return {0, 0};
    case Layout::V1_0: return {1, 0};
    case Layout::Current: break;
    }
    return {1, 1};
}

QStringList schemaStatements(Layout layout) {
    QStringList s;
    s << QStringLiteral("CREATE TABLE FIRMA (ID INTEGER NOT NULL PRIMARY KEY, NAZEV_FIRMA VARCHAR(150), "
                        "KOD VARCHAR(50), POPIS VARCHAR(250), ZAMERENI VARCHAR(150), ICO VARCHAR(20), "
                        "DIC VARCHAR(20), BANK_UCET VARCHAR(50), BANK_KOD VARCHAR(20), %1, "
                        "POZNAMKA_FSP BLOB SUB_TYPE 1, POZNAMKA BLOB SUB_TYPE 1, %2, %3, %4)")
             .arg(kMeansOfContact, addressColumns(QStringLiteral("_FS")), addressColumns(QStringLiteral("_FF")),
                  addressColumns(QStringLiteral("_FD")));
    QString contact = QStringLiteral(
                          "CREATE TABLE KONTAKT (ID INTEGER NOT NULL PRIMARY KEY, ID_FIRMA INTEGER, "
                          "ID_POBOCKA INTEGER, TITUL_PRED VARCHAR(30), JMENO VARCHAR(100), "
                          "PRIJMENI VARCHAR(100), TITUL_ZA VARCHAR(30), NAROZENINY VARCHAR(30), "
                          "SVATEK VARCHAR(30), UPOMINKA VARCHAR(150), POZICE VARCHAR(150), POPIS VARCHAR(250), "
                          "%1, POZNAMKA_KSPOJ BLOB SUB_TYPE 1, %2")
                          .arg(kMeansOfContact, addressColumns(QString()));
    if (layout == Layout::Current)
        contact += QStringLiteral(", OBR BLOB SUB_TYPE 0 SEGMENT SIZE 20");
    s << contact + QLatin1Char(')');
    s << QStringLiteral("CREATE INDEX KONTAKT_ID_FIRMA ON KONTAKT (ID_FIRMA)");
    s << QStringLiteral("CREATE INDEX KONTAKT_PRIJMENI ON KONTAKT (PRIJMENI)");
    s << QStringLiteral("CREATE INDEX FIRMA_NAZEV ON FIRMA (NAZEV_FIRMA)");
    // A company stays while contacts refer to it; contacts made without a
    // company carry ID_FIRMA 0, which a foreign key would refuse, so the rule
    // is a trigger on the company side.
    s << QStringLiteral("CREATE EXCEPTION FIRMA_MA_KONTAKTY "
                        "'Firmu nelze smazat, dokud na ni odkazují kontakty.'");
    s << QStringLiteral("CREATE TRIGGER FIRMA_BD FOR FIRMA BEFORE DELETE AS BEGIN "
                        "IF (EXISTS (SELECT 1 FROM KONTAKT WHERE ID_FIRMA = OLD.ID)) THEN "
                        "EXCEPTION FIRMA_MA_KONTAKTY; END");
    s << QStringLiteral("CREATE TABLE POBOCKA (ID INTEGER NOT NULL PRIMARY KEY, ID_FIRMA INTEGER, "
                        "NAZEV VARCHAR(150))");
    s << QStringLiteral("CREATE TABLE SVATEK (DEN SMALLINT NOT NULL, MESIC SMALLINT NOT NULL, "
                        "JMENO VARCHAR(100), CONSTRAINT SVATEK_DEN_MESIC UNIQUE (DEN, MESIC))");
    s << QStringLiteral("CREATE TABLE SVATEK_STATNI (DEN SMALLINT NOT NULL, MESIC SMALLINT NOT NULL, "
                        "NAZEV VARCHAR(150))");
    s << QStringLiteral("CREATE TABLE NASTAVENI (VERZE_HLAVNI SMALLINT, VERZE_VEDLEJSI SMALLINT, "
                        "DATUM_UPRAVY_VERZE TIMESTAMP, DATUM_POUZITI TIMESTAMP, "
                        "JMENO_UZIVATELE VARCHAR(30), HESLO_UZIVATELE VARCHAR(30), KONTROLUJ_UPDATY SMALLINT)");
    // Older layouts stand for files made before the change log; the
    // program adds it to them at start.
    if (layout == Layout::Current)
        s << data::changelog::createStatements() << data::rowids::createStatements();
    return s;
}

} // namespace schema
