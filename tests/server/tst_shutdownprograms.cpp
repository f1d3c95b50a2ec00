// A session that ends (logout, shutdown: SIGTERM) while a record form of
// the real program is editing or inserting: the program ends cleanly and
// nothing of the unconfirmed typing is written.
#include "DrivenProgram.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QTemporaryDir>
#include <QTest>

class TestShutdownPrograms : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QTemporaryDir homes;
    QString target;
    int started = 0;
    std::unique_ptr<db::DbConnection> own; ///< the test's own look at the database

    /// Every stored company and contact, one line each.
    QStringList stored() {
        QStringList rows;
        db::PackedRow row;
        for (const QByteArray &sql :
             {QByteArray("SELECT 'F', ID, NAZEV_FIRMA, RDB$RECORD_VERSION FROM FIRMA ORDER BY ID"),
              QByteArray(
                  "SELECT 'K', ID, PRIJMENI, RDB$RECORD_VERSION FROM KONTAKT ORDER BY ID")}) {
            const auto cursor = own->openCursor(sql, {});
            while (cursor->fetch(row)) {
                QStringList cells;
                for (int c = 0; c < row.columnCount(); ++c)
                    cells << (row.tag(c) == db::Cell::Int ? QString::number(row.cell(c).num)
                                                          : QString::fromLatin1(row.cell(c).bytes));
                rows << cells.join(QLatin1Char('|'));
            }
        }
        return rows;
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        QVERIFY_DB(own = createServerDatabase(*server, QStringLiteral("kontakty.fdb")));
        target = own->database();
        QVERIFY_DB(
            own->executeCommitted("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')", {});
            own->executeCommitted(
                "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                "VALUES (1, 1, 0, 'Jana', 'Mala', ' ')",
                {}));
    }
    void cleanupTestCase() {
        own.reset();
        server.reset();
    }

    void aSignalWritesNothingOfAFormBeingEdited_data() {
        QTest::addColumn<QString>("command"); // the toolbar's key for the form
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("key"); // edit or new
        QTest::addColumn<QString>("box");
        QTest::newRow("contact edited") << "Ctrl+2"
                                        << "FM_Kontakt"
                                        << "F2"
                                        << "EditPrijmeni";
        QTest::newRow("new contact") << "Ctrl+2"
                                     << "FM_Kontakt"
                                     << "F3"
                                     << "EditPrijmeni";
        QTest::newRow("company edited") << "Ctrl+1"
                                        << "fm_Firma"
                                        << "F2"
                                        << "EditNAZEV_FIRMA";
        QTest::newRow("new company") << "Ctrl+1"
                                     << "fm_Firma"
                                     << "F3"
                                     << "EditNAZEV_FIRMA";
    }
    void aSignalWritesNothingOfAFormBeingEdited() {
        QFETCH(QString, command);
        QFETCH(QString, form);
        QFETCH(QString, key);
        QFETCH(QString, box);
        const QStringList before = stored();
        DrivenProgram program(homes.filePath(QString::number(++started)), target);
        program.setEnv(QStringLiteral("ISC_USER"), server->user());
        program.setEnv(QStringLiteral("ISC_PASSWORD"), server->password());
        QVERIFY(program.start());
        EXPECT_WINDOW(program, "fm_Deska");
        ACT(program, QStringLiteral("key ") + command);
        QCOMPARE(program.await(QStringLiteral("window"), QStringLiteral("ok ") + form),
                 QStringLiteral("ok ") + form);
        ACT(program, QStringLiteral("key ") + key);
        QCOMPARE(program.ask(QStringLiteral("enabled BB_Jo")), QStringLiteral("ok 1"));
        ACT(program, QStringLiteral("type %1 Nepotvrzeno").arg(box));
        QVERIFY(program.end()); // SIGTERM ended it, not SIGKILL
        QCOMPARE(stored(), before);
    }
};

QTEST_GUILESS_MAIN(TestShutdownPrograms)
#include "tst_shutdownprograms.moc"
