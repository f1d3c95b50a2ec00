// The structure that kontakty-initdb creates, checked in the system tables
// and by the behaviour the program relies on.
#include "schema/Columns.h"
#include "support/TestDatabase.h"

#include <QTest>

#include <optional>

namespace {

enum class Kind { Integer, SmallInt, Text, Memo, Bytes, Timestamp };

// RDB$FIELD_TYPE codes and the id of the WIN1250 character set.
constexpr int kSmallInt = 7, kInteger = 8, kChar = 14, kTimestamp = 35, kVarchar = 37, kBlob = 261;
constexpr int kWin1250 = 51;

const QStringList kReach = {"TELEFON1", "TELEFON2", "MOBIL",  "FAX",    "EMAIL1", "EMAIL2",
                            "ICQ",      "SKYPE",    "DALSI1", "DALSI2", "WWW"};

void addressRows(const char *table, const QString &suffix) {
    for (const char *stem : {"NAZEV_ADRESA", "ADRESA", "ULICE", "OBEC", "PSC", "STAT", "KRAJ"})
        QTest::addRow("%s.%s%s", table, stem, qPrintable(suffix))
            << table << stem + suffix << Kind::Text << 0;
    QTest::addRow("%s.POZNAMKA%s", table, qPrintable(suffix))
        << table << "POZNAMKA" + suffix << Kind::Memo << 0;
}

void textRows(const char *table, const QStringList &columns) {
    for (const QString &column : columns)
        QTest::addRow("%s.%s", table, qPrintable(column)) << table << column << Kind::Text << 0;
}

QStringList columnsOf(TestDatabase &db, const QString &table) {
    QStringList names;
    for (const QVariantList &row :
         db.rows(QStringLiteral("SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS "
                                "WHERE RDB$RELATION_NAME = ? ORDER BY RDB$FIELD_POSITION"),
                 {table}))
        names << row.value(0).toString().trimmed();
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(schema::Layout)

class TestSchema : public QObject {
    Q_OBJECT
    std::optional<TestDatabase> m_db;

  private slots:
    void initTestCase() { QVERIFY_DB(m_db.emplace()); }
    void init() { QVERIFY_DB(m_db->exec("DELETE FROM KONTAKT"); m_db->exec("DELETE FROM FIRMA")); }

    void columnHasTheTypeTheProgramUses_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("length"); // characters; 0: any

        QTest::newRow("FIRMA.ID") << "FIRMA"
                                  << "ID" << Kind::Integer << 0;
        textRows("FIRMA", QStringList{"NAZEV_FIRMA", "KOD", "POPIS", "ZAMERENI", "ICO", "DIC",
                                      "BANK_UCET", "BANK_KOD"} +
                              kReach);
        QTest::newRow("FIRMA.POZNAMKA_FSP") << "FIRMA"
                                            << "POZNAMKA_FSP" << Kind::Memo << 0;
        QTest::newRow("FIRMA.POZNAMKA") << "FIRMA"
                                        << "POZNAMKA" << Kind::Memo << 0;
        for (const char *suffix : {"_FS", "_FF", "_FD"})
            addressRows("FIRMA", suffix);

        QTest::newRow("KONTAKT.ID") << "KONTAKT"
                                    << "ID" << Kind::Integer << 0;
        QTest::newRow("KONTAKT.ID_FIRMA") << "KONTAKT"
                                          << "ID_FIRMA" << Kind::Integer << 0;
        QTest::newRow("KONTAKT.ID_POBOCKA") << "KONTAKT"
                                            << "ID_POBOCKA" << Kind::Integer << 0;
        textRows("KONTAKT", QStringList{"TITUL_PRED", "JMENO", "PRIJMENI", "TITUL_ZA", "NAROZENINY",
                                        "SVATEK", "UPOMINKA", "POZICE", "POPIS"} +
                                kReach);
        QTest::newRow("KONTAKT.POZNAMKA_KSPOJ") << "KONTAKT"
                                                << "POZNAMKA_KSPOJ" << Kind::Memo << 0;
        addressRows("KONTAKT", QString());
        QTest::newRow("KONTAKT.OBR") << "KONTAKT"
                                     << "OBR" << Kind::Bytes << 0;

        QTest::newRow("POBOCKA.ID_FIRMA") << "POBOCKA"
                                          << "ID_FIRMA" << Kind::Integer << 0;
        textRows("POBOCKA", {"NAZEV"});
        QTest::newRow("SVATEK.DEN") << "SVATEK"
                                    << "DEN" << Kind::SmallInt << 0;
        QTest::newRow("SVATEK.MESIC") << "SVATEK"
                                      << "MESIC" << Kind::SmallInt << 0;
        textRows("SVATEK", {"JMENO"});

        QTest::newRow("NASTAVENI.VERZE_HLAVNI") << "NASTAVENI"
                                                << "VERZE_HLAVNI" << Kind::SmallInt << 0;
        QTest::newRow("NASTAVENI.VERZE_VEDLEJSI") << "NASTAVENI"
                                                  << "VERZE_VEDLEJSI" << Kind::SmallInt << 0;
        QTest::newRow("NASTAVENI.DATUM_UPRAVY_VERZE")
            << "NASTAVENI"
            << "DATUM_UPRAVY_VERZE" << Kind::Timestamp << 0;
        QTest::newRow("NASTAVENI.DATUM_POUZITI") << "NASTAVENI"
                                                 << "DATUM_POUZITI" << Kind::Timestamp << 0;
        QTest::newRow("NASTAVENI.JMENO_UZIVATELE") << "NASTAVENI"
                                                   << "JMENO_UZIVATELE" << Kind::Text << 30;
        QTest::newRow("NASTAVENI.HESLO_UZIVATELE") << "NASTAVENI"
                                                   << "HESLO_UZIVATELE" << Kind::Text << 30;
        QTest::newRow("NASTAVENI.KONTROLUJ_UPDATY") << "NASTAVENI"
                                                    << "KONTROLUJ_UPDATY" << Kind::SmallInt << 0;
    }
    void columnHasTheTypeTheProgramUses() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(Kind, kind);
        QFETCH(int, length);
        QList<QVariantList> found;
        QVERIFY_DB(found = m_db->rows("SELECT F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
                                      "F.RDB$CHARACTER_LENGTH, F.RDB$CHARACTER_SET_ID "
                                      "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON "
                                      "F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                                      "WHERE RF.RDB$RELATION_NAME = ? AND RF.RDB$FIELD_NAME = ?",
                                      {table, column}));
        QVERIFY2(found.size() == 1, "column missing");
        const int type = found[0][0].toInt(), subType = found[0][1].toInt(),
                  charset = found[0][3].toInt();
        switch (kind) {
        case Kind::Integer:
            QCOMPARE(type, kInteger);
            break;
        case Kind::SmallInt:
            QCOMPARE(type, kSmallInt);
            break;
        case Kind::Timestamp:
            QCOMPARE(type, kTimestamp);
            break;
        case Kind::Text:
            QVERIFY2(type == kVarchar || type == kChar, qPrintable(QString::number(type)));
            QCOMPARE(charset, kWin1250);
            break;
        case Kind::Memo:
            QCOMPARE(type, kBlob);
            QCOMPARE(subType, 1);
            QCOMPARE(charset, kWin1250);
            break;
        case Kind::Bytes:
            QCOMPARE(type, kBlob);
            QCOMPARE(subType, 0);
            break;
        }
        if (length)
            QCOMPARE(found[0][2].toInt(), length);
    }

    void theCatalogueDescribesTheDatabase() {
        // Every table, column by column in stored order: name, type, length.
        QStringList tables;
        for (const schema::Column &c : schema::columns())
            if (!tables.contains(c.table))
                tables << c.table;
        QCOMPARE(tables.size(), 6);
        for (const QString &table : std::as_const(tables)) {
            QList<QVariantList> found;
            QVERIFY_DB(found = m_db->rows(
                           "SELECT RF.RDB$FIELD_NAME, F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
                           "F.RDB$CHARACTER_LENGTH, COALESCE(RF.RDB$NULL_FLAG, 0) "
                           "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON "
                           "F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                           "WHERE RF.RDB$RELATION_NAME = ? ORDER BY RF.RDB$FIELD_POSITION",
                           {table}));
            const std::vector<schema::Column> catalogued = schema::columnsOf(table);
            QCOMPARE(found.size(), qsizetype(catalogued.size()));
            for (qsizetype i = 0; i < found.size(); ++i) {
                const schema::Column &c = catalogued[size_t(i)];
                const QString where = table + QLatin1Char('.') + c.name;
                QCOMPARE(found[i][0].toString().trimmed(), c.name);
                const int type = found[i][1].toInt(), subType = found[i][2].toInt();
                switch (c.type) {
                case schema::ColumnType::Integer:
                    QVERIFY2(type == kInteger, qPrintable(where));
                    break;
                case schema::ColumnType::SmallInt:
                    QVERIFY2(type == kSmallInt, qPrintable(where));
                    break;
                case schema::ColumnType::Timestamp:
                    QVERIFY2(type == kTimestamp, qPrintable(where));
                    break;
                case schema::ColumnType::Text:
                    QVERIFY2(type == kVarchar && found[i][3].toInt() == c.length,
                             qPrintable(where));
                    break;
                case schema::ColumnType::Note:
                    QVERIFY2(type == kBlob && subType == 1, qPrintable(where));
                    break;
                case schema::ColumnType::Bytes:
                    QVERIFY2(type == kBlob && subType == 0, qPrintable(where));
                    break;
                }
                QVERIFY2((found[i][4].toInt() != 0) == c.notNull, qPrintable(where));
            }
        }
    }

    void idIsThePrimaryKey_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("FIRMA") << "FIRMA";
        QTest::newRow("KONTAKT") << "KONTAKT";
    }
    void idIsThePrimaryKey() {
        QFETCH(QString, table);
        QList<QVariantList> key;
        QVERIFY_DB(key = m_db->rows(
                       "SELECT S.RDB$FIELD_NAME FROM RDB$RELATION_CONSTRAINTS C "
                       "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                       "WHERE C.RDB$RELATION_NAME = ? AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'",
                       {table}));
        QCOMPARE(key.size(), 1);
        QCOMPARE(key[0][0].toString().trimmed(), QStringLiteral("ID"));
    }

    void settingsHaveOneRowWithTheCurrentVersion() {
        QList<QVariantList> settings;
        QVERIFY_DB(settings = m_db->rows("SELECT VERZE_HLAVNI, VERZE_VEDLEJSI FROM NASTAVENI"));
        QCOMPARE(settings.size(), 1);
        QCOMPARE(settings[0][0].toInt(), 1);
        QCOMPARE(settings[0][1].toInt(), 1);
    }

    void companyStaysWhileContactsReferToIt() {
        QVERIFY_DB(m_db->exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'S kontaktem')");
                   m_db->exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Bez kontaktů')");
                   m_db->exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, PRIJMENI, KRAJ) "
                              "VALUES (1, 1, 0, 'Novák', ' ')"));
        QString refusal;
        try {
            m_db->exec(QStringLiteral("DELETE FROM FIRMA WHERE ID = 1"));
        } catch (const db::DbError &e) {
            refusal = e.message();
        }
        QVERIFY2(!refusal.isEmpty(), "the company was deleted under its contact");
        QVERIFY2(refusal.contains(QStringLiteral("Firmu nelze smazat")), qPrintable(refusal));
        QCOMPARE(m_db->count("FIRMA", "ID = 1"), 1);

        // A company nobody refers to goes; so does the first once its contact is gone.
        QVERIFY_DB(m_db->exec("DELETE FROM FIRMA WHERE ID = 2"));
        QVERIFY_DB(m_db->exec("DELETE FROM KONTAKT WHERE ID = 1");
                   m_db->exec("DELETE FROM FIRMA WHERE ID = 1"));
        QCOMPARE(m_db->count("FIRMA"), 0);
    }

    void contactWithoutCompanyIsAccepted() {
        QVERIFY_DB(m_db->exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, KRAJ) VALUES "
                              "(7, 0, 0, 'Bez firmy', ' ')"));
        QCOMPARE(m_db->count("KONTAKT", "ID_FIRMA = 0"), 1);
    }

    void upperFoldsCzechLetters() {
        QVariant upper;
        QVERIFY_DB(upper = m_db->scalar(
                       "SELECT UPPER('žluťoučký kůň úpěl ďábelské ódy') FROM RDB$DATABASE"));
        QCOMPARE(upper.toString(), QStringLiteral("ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"));
    }

    void searchFindsNamesWhateverTheirCase_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nov") << "%nov%" << QStringList{"NOVÁK", "Nováková", "Novotný"};
        QTest::newRow("nová") << "%nová%" << QStringList{"NOVÁK", "Nováková"};
        QTest::newRow("ŠŤ") << "%ŠŤ%" << QStringList{"Šťastná"};
        QTest::newRow("řez") << "řez%" << QStringList{"Řezníček"};
        QTest::newRow("ák at the end") << "%ák" << QStringList{"Dvořák", "NOVÁK"};
        QTest::newRow("nothing") << "%xyz%" << QStringList{};
    }
    void searchFindsNamesWhateverTheirCase() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        int id = 0;
        for (const char *name : {"NOVÁK", "Nováková", "Novotný", "Šťastná", "Řezníček", "Dvořák"})
            QVERIFY_DB(m_db->exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, PRIJMENI, KRAJ) "
                                  "VALUES (?, 0, 0, ?, ' ')",
                                  {++id, QString::fromUtf8(name)}));
        QList<QVariantList> found;
        QVERIFY_DB(
            found = m_db->rows("SELECT PRIJMENI FROM KONTAKT WHERE UPPER(PRIJMENI) LIKE UPPER(?)",
                               {pattern}));
        QStringList names;
        for (const QVariantList &row : found)
            names << row[0].toString();
        names.sort();
        expected.sort();
        QCOMPARE(names, expected);
    }

    void notesKeepLineBreaksAndLongTexts_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QString longText;
        while (longText.size() < 20000)
            longText += QStringLiteral("Řádek poznámky s diakritikou: příliš žluťoučký kůň.\r\n");
        longText.truncate(20000);
        const QString lines = QStringLiteral("první řádek\ndruhý řádek\r\n\r\npátý – po prázdném");
        for (const char *column :
             {"POZNAMKA", "POZNAMKA_FSP", "POZNAMKA_FS", "POZNAMKA_FF", "POZNAMKA_FD"}) {
            QTest::addRow("FIRMA.%s lines", column) << "FIRMA" << column << lines;
            QTest::addRow("FIRMA.%s long", column) << "FIRMA" << column << longText;
        }
        for (const char *column : {"POZNAMKA", "POZNAMKA_KSPOJ"}) {
            QTest::addRow("KONTAKT.%s lines", column) << "KONTAKT" << column << lines;
            QTest::addRow("KONTAKT.%s long", column) << "KONTAKT" << column << longText;
        }
    }
    void notesKeepLineBreaksAndLongTexts() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, text);
        QVariant stored;
        QVERIFY_DB(m_db->exec(
            QStringLiteral("INSERT INTO %1 (ID, %2) VALUES (1, ?)").arg(table, column), {text});
                   stored = m_db->scalar(
                       QStringLiteral("SELECT %2 FROM %1 WHERE ID = 1").arg(table, column)));
        QCOMPARE(stored.toString().size(), text.size());
        QCOMPARE(stored.toString(), text);
    }

    // Older files differ from the current one by the photo column alone.
    void olderLayoutLacksOnlyThePhoto_data() {
        QTest::addColumn<schema::Layout>("layout");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::newRow("0.0") << schema::Layout::V0_0 << 0 << 0;
        QTest::newRow("1.0") << schema::Layout::V1_0 << 1 << 0;
    }
    void olderLayoutLacksOnlyThePhoto() {
        QFETCH(schema::Layout, layout);
        QFETCH(int, major);
        QFETCH(int, minor);
        std::optional<TestDatabase> old;
        QVERIFY_DB(old.emplace(initdb::BuildOptions{.layout = layout}));
        QList<QVariantList> version;
        QVERIFY_DB(version = old->rows("SELECT VERZE_HLAVNI, VERZE_VEDLEJSI FROM NASTAVENI"));
        QCOMPARE(version, (QList<QVariantList>{{qint64(major), qint64(minor)}}));
        for (const QString table :
             {"FIRMA", "KONTAKT", "POBOCKA", "SVATEK", "SVATEK_STATNI", "NASTAVENI"}) {
            QStringList current, older;
            QVERIFY_DB(current = columnsOf(*m_db, table); older = columnsOf(*old, table));
            if (table == QLatin1String("KONTAKT"))
                QVERIFY(current.removeOne(QStringLiteral("OBR")));
            QCOMPARE(older, current);
        }
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
