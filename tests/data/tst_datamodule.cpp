// The data module: opening in its fixed order, its messages, NextId, the
// board query, RefreshBoard and the version check with its upgrade.
#include "base/MessageService.h"
#include "data/VersionCheck.h"
#include "support/DataFixture.h"

#include <QFile>

class TestDataModule : public QObject {
    Q_OBJECT

    static QStringList boardRows(TDM &dm) {
        QStringList rows;
        auto &q = dm.qHlavniDeska;
        for (int i = 0; i < q.recordCount(); ++i) {
            q.moveTo(i);
            rows << QStringLiteral("%1|%2|%3")
                        .arg(q.fieldByName(QStringLiteral("FLAG"))->asString(),
                             q.fieldByName(QStringLiteral("NAZEV_FIRMA"))->asString(),
                             q.fieldByName(QStringLiteral("PRIJMENI"))->asString());
        }
        return rows;
    }

    static void setBoardPattern(TDM &dm, const QString &pattern) {
        dm.qHlavniDeska.close();
        for (const char *name : {"K1", "K2", "K3", "F1", "F2", "F3"})
            dm.qHlavniDeska.paramByName(QString::fromLatin1(name))->setAsString(pattern);
        dm.qHlavniDeska.open();
    }

    static void addBoardData(DataFixture &f) {
        f.exec(QStringLiteral(
            "INSERT INTO FIRMA (ID, NAZEV_FIRMA, TELEFON1) VALUES (1, 'Novák s.r.o.', '123')"));
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Alfa')"));
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (3, 'Prázdná')"));
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (4, 'Bez kontaktů')"));
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (5, '5012')"));
        const char *contacts[] = {
            "1, 1, 'Petr', 'Dvořák', ' '",  "2, 1, 'Jana', 'Malá', ' '",
            "3, 2, 'Eva', 'Nováková', ' '", "4, 2, 'Karel', 'Horák', ' '",
            "5, 3, NULL, NULL, '***'",      "6, 2, 'Skrytý', 'Nepotvrzený', NULL",
            "7, 5, 'Ota', 'Čermák', ' '"};
        for (const char *c : contacts)
            f.exec(QStringLiteral(
                       "INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES (%1)")
                       .arg(QString::fromUtf8(c)));
    }

  private slots:
    void openAllOpensEveryTableAndTheBoard() {
        DataFixture f;
        base::msg::Recorder recorder;
        f.openAll();
        QVERIFY(recorder.messages.empty());
        for (dataset::Dataset *d : {static_cast<dataset::Dataset *>(&f.dm->tFIRMA),
                                    static_cast<dataset::Dataset *>(&f.dm->tKONTAKT),
                                    static_cast<dataset::Dataset *>(&f.dm->tPOBOCKA),
                                    static_cast<dataset::Dataset *>(&f.dm->tSVATEK),
                                    static_cast<dataset::Dataset *>(&f.dm->tSVATEK_STATNI),
                                    static_cast<dataset::Dataset *>(&f.dm->tNastaveni),
                                    static_cast<dataset::Dataset *>(&f.dm->qHlavniDeska)})
            QVERIFY2(d->isActive(), qPrintable(d->name()));
        QVERIFY(!f.dm->qFirmaKontakty.isActive());
        QVERIFY(!f.dm->ztUpdateNastaveni.isActive());
    }

    void missingFileGivesBothMessagesInOrder() {
        DataFixture f;
        base::msg::Recorder recorder;
        f.dm->ConnectAndOpenAll(f.base() + QStringLiteral("/Tabulky/CHYBI.GDB"), QString(),
                                db::settings::kPassword, db::settings::kProtocol,
                                db::settings::kUser);
        QCOMPARE(recorder.messages.size(), size_t(3));
        QCOMPARE(recorder.messages[0].text,
                 QStringLiteral("Chyba nastala v tabulce: Nepovedlo se pripojit k DB"));
        QCOMPARE(
            recorder.messages[1].text,
            QStringLiteral("Soubor databáze „%1/Tabulky/CHYBI.GDB“ neexistuje.").arg(f.base()));
        QCOMPARE(recorder.messages[2].text, QStringLiteral("Chyba nastala v query: Hlavni deska"));
        QVERIFY(!f.dm->ZConKontakty.isConnected());
        QVERIFY(!f.dm->tFIRMA.isActive());
    }

    void failingTableNamesItsStep() {
        DataFixture f;
        f.exec(QStringLiteral("DROP TABLE POBOCKA"));
        base::msg::Recorder recorder;
        f.openAll();
        QCOMPARE(recorder.messages.size(), size_t(1));
        QCOMPARE(recorder.messages[0].text, QStringLiteral("Chyba nastala v tabulce: Pobocka"));
        QVERIFY(f.dm->tKONTAKT.isActive());
        QVERIFY(!f.dm->tSVATEK.isActive());
        QVERIFY(f.dm->qHlavniDeska.isActive());
    }

    void nextIdIsLargestPlusOne() {
        DataFixture f;
        f.openAll();
        QCOMPARE(f.dm->NextId(QStringLiteral("id"), QStringLiteral("firma")), 1);
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID) VALUES (3)"));
        f.exec(QStringLiteral("INSERT INTO FIRMA (ID) VALUES (41)"));
        QCOMPARE(f.dm->NextId(QStringLiteral("id"), QStringLiteral("firma")), 42);
        QCOMPARE(TDM::lastNextId, 42);
    }

    void boardListsCompaniesWithTheirContacts() {
        DataFixture f;
        addBoardData(f);
        f.openAll();
        const QStringList rows = boardRows(*f.dm);
        QStringList headers;
        QStringList contacts;
        QString group;
        for (const QString &row : rows) {
            const QStringList parts = row.split(QLatin1Char('|'));
            if (parts[0] == QLatin1String("1")) {
                headers << parts[1];
                group = parts[1];
            } else {
                QCOMPARE(parts[1], group); // a contact follows its own company's group line
                contacts << row;
            }
        }
        QCOMPARE(headers, (QStringList{QStringLiteral("5012"), QStringLiteral("Alfa"),
                                       QStringLiteral("Novák s.r.o."), QStringLiteral("Prázdná")}));
        contacts.sort();
        QCOMPARE(
            contacts,
            (QStringList{QStringLiteral("2|5012|Čermák"), QStringLiteral("2|Alfa|Horák"),
                         QStringLiteral("2|Alfa|Nováková"), QStringLiteral("2|Novák s.r.o.|Dvořák"),
                         QStringLiteral("2|Novák s.r.o.|Malá")}));
    }

    void boardFilterMatchesCzechLettersAndWildcards() {
        DataFixture f;
        addBoardData(f);
        f.openAll();
        setBoardPattern(*f.dm, QStringLiteral("%nov%"));
        QStringList rows = boardRows(*f.dm);
        QVERIFY(rows.contains(QStringLiteral("1|Novák s.r.o.|")));
        QVERIFY(rows.contains(QStringLiteral("2|Novák s.r.o.|Dvořák")));
        QVERIFY(rows.contains(QStringLiteral("2|Novák s.r.o.|Malá")));
        QVERIFY(rows.contains(QStringLiteral("2|Alfa|Nováková")));
        QVERIFY(!rows.contains(QStringLiteral("2|Alfa|Horák")));
        QVERIFY(!rows.contains(QStringLiteral("1|Prázdná|")));

        setBoardPattern(*f.dm, QStringLiteral("%čerm%"));
        QCOMPARE(boardRows(*f.dm),
                 (QStringList{QStringLiteral("1|5012|"), QStringLiteral("2|5012|Čermák")}));
        setBoardPattern(*f.dm, QStringLiteral("%50%%"));
        QVERIFY(boardRows(*f.dm).contains(QStringLiteral("1|5012|")));
        setBoardPattern(*f.dm, QStringLiteral("%prázd%"));
        QCOMPARE(boardRows(*f.dm), QStringList{QStringLiteral("1|Prázdná|")});
    }

    void refreshBoardKeepsTheSearch() {
        DataFixture f;
        addBoardData(f);
        f.openAll();
        setBoardPattern(*f.dm, QStringLiteral("%alfa%"));
        f.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                              "(8, 2, 'Nový', 'Zelený', ' ')"));
        QVERIFY_DB(f.dm->RefreshBoard());
        const QStringList rows = boardRows(*f.dm);
        QVERIFY(rows.contains(QStringLiteral("2|Alfa|Zelený")));
        QVERIFY(!rows.contains(QStringLiteral("1|Novák s.r.o.|")));
    }

    void upgradeFromOldLayouts_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("withLogo");
        QTest::newRow("0.0 with logo") << int(schema::Layout::V0_0) << true;
        QTest::newRow("0.0 without logo") << int(schema::Layout::V0_0) << false;
        QTest::newRow("1.0 with logo") << int(schema::Layout::V1_0) << true;
    }
    void upgradeFromOldLayouts() {
        QFETCH(int, layout);
        QFETCH(bool, withLogo);
        initdb::BuildOptions options;
        options.layout = schema::Layout(layout);
        DataFixture f(options);
        f.exec(QStringLiteral("DELETE FROM KONTAKT WHERE JMENO = 'Miloran'"));
        f.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) "
                              "VALUES (900, 1, 'MILORAN', 'drobeček', ' ')"));
        QByteArray logo;
        for (int i = 0; i < 5000; ++i)
            logo.append(char(i * 31));
        if (withLogo) {
            QFile file(f.base() + QStringLiteral("/logo.jpg"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(logo);
        }
        QVERIFY_DB(CheckDatabaseVersion(*f.dm, f.base()));
        QVERIFY(!f.dm->ZConKontakty.isConnected());
        QCOMPARE(
            f.scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI"))
                .toString(),
            QStringLiteral("1.1"));
        const QVariant photo = f.scalar(QStringLiteral("SELECT OBR FROM KONTAKT WHERE ID = 900"));
        // The tables of the sync with a server come with the upgrade, empty.
        QVERIFY_DB(QCOMPARE(f.count(QStringLiteral("KONTAKT_KARTA")) +
                                f.count(QStringLiteral("SYNCHRONIZACE")) +
                                f.count(QStringLiteral("FIRMA_KARTA")),
                            0));
        if (withLogo)
            QCOMPARE(photo.toByteArray(), logo);
        else
            QVERIFY(photo.isNull());
    }

    void versionsThatNeedNoUpgradeAreLeftAlone_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::newRow("1.5") << 1 << 5;
        QTest::newRow("2.0") << 2 << 0;
        QTest::newRow("0.3") << 0 << 3;
    }
    void versionsThatNeedNoUpgradeAreLeftAlone() {
        QFETCH(int, major);
        QFETCH(int, minor);
        DataFixture f;
        f.exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = ?, VERZE_VEDLEJSI = ?"),
               {major, minor});
        f.dm->ZConKontakty.setConnected(false);
        QVERIFY_DB(CheckDatabaseVersion(*f.dm, f.base()));
        QCOMPARE(f.scalar(QStringLiteral("SELECT VERZE_HLAVNI FROM NASTAVENI")).toInt(), major);
        QCOMPARE(f.scalar(QStringLiteral("SELECT VERZE_VEDLEJSI FROM NASTAVENI")).toInt(), minor);
    }

    void anUpgradeStoppedAfterThePhotoColumnCompletes() {
        DataFixture f; // has the photo column, as an upgrade stopped before the version leaves it
        f.exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = 1, VERZE_VEDLEJSI = 0"));
        f.dm->ZConKontakty.setConnected(false);
        QVERIFY_DB(CheckDatabaseVersion(*f.dm, f.base()));
        f.dm->ZConKontakty.setConnected(false);
        QCOMPARE(
            f.scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI"))
                .toString(),
            QStringLiteral("1.1"));
    }

    void upgradeCreatesMissingSettingsRow() {
        DataFixture f;
        f.exec(QStringLiteral("DELETE FROM NASTAVENI"));
        f.exec(QStringLiteral("ALTER TABLE KONTAKT DROP OBR"));
        f.dm->ZConKontakty.setConnected(false);
        QVERIFY_DB(CheckDatabaseVersion(*f.dm, f.base()));
        QCOMPARE(f.scalar(QStringLiteral("SELECT COUNT(*) FROM NASTAVENI")).toInt(), 1);
        QCOMPARE(
            f.scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI"))
                .toString(),
            QStringLiteral("1.1"));
    }

    void unreachableDatabaseIsLeftSilently() {
        TDM dm;
        base::msg::Recorder recorder;
        QVERIFY_DB(CheckDatabaseVersion(dm, QStringLiteral("/nonexistent/dir")));
        QVERIFY(recorder.messages.empty());
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "db/DatabaseTarget.h"
#include "tst_datamodule.moc"
