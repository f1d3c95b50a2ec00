// Two people on one server database, each in a real program of their own:
// the test works both programs through their windows.
#include "DrivenProgram.h"
#include "base/Win1250.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QTemporaryDir>
#include <QTest>

class TestTwoPrograms : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QTemporaryDir homes;
    QString target;
    std::unique_ptr<db::DbConnection> own; ///< the test's own look at the database
    std::unique_ptr<DrivenProgram> jana, petr;

    void exec(const QByteArray &sql) { own->executeCommitted(sql, {}); }
    QString surname(int contactId) {
        const auto cursor =
            own->openCursor("SELECT PRIJMENI FROM KONTAKT WHERE ID = ?", {contactId});
        db::PackedRow row;
        return cursor->fetch(row) ? base::win1250::decode(row.cell(0).bytes) : QString();
    }
    int companyCount(int companyId) {
        const auto cursor = own->openCursor("SELECT COUNT(*) FROM FIRMA WHERE ID = ?", {companyId});
        db::PackedRow row;
        return cursor->fetch(row) ? int(row.cell(0).num) : -1;
    }
    std::unique_ptr<DrivenProgram> startProgram(const QString &name) {
        auto program = std::make_unique<DrivenProgram>(homes.filePath(name), target);
        program->setEnv(QStringLiteral("ISC_USER"), server->user());
        program->setEnv(QStringLiteral("ISC_PASSWORD"), server->password());
        return program->start() ? std::move(program) : nullptr;
    }

    /// Opens the board row containing `row` with the keyboard (Space, Enter).
    static void openFromBoard(DrivenProgram &program, const QString &row) {
        ACT(program, QStringLiteral("pick ") + row);
        ACT(program, "key Return");
    }
    /// Types `text` into `box` of the record form on top and confirms; the
    /// confirm is refused with the conflict message, and once that is
    /// answered the form is still editing with the typing kept.
    static void confirmIsRefused(DrivenProgram &program, const QString &box, const QString &text) {
        ACT(program, QStringLiteral("type %1 %2").arg(box, text));
        ACT(program, "key Return");
        EXPECT_WINDOW(program, "QMessageBox");
        const QString refusal = program.ask(QStringLiteral("message"));
        QVERIFY2(refusal.contains(db::texts::kConflict), qPrintable(refusal));
        ACT(program, "button OK");
        QCOMPARE(program.ask(QStringLiteral("enabled BB_Jo")), QStringLiteral("ok 1"));
        QCOMPARE(program.ask(QStringLiteral("text ") + box), QStringLiteral("ok ") + text);
    }
    /// Escape in edit mode with changes made: asked, and answered Yes.
    static void discardChanges(DrivenProgram &program) {
        ACT(program, "key Escape");
        EXPECT_WINDOW(program, "QMessageBox");
        QCOMPARE(program.ask(QStringLiteral("message")), QStringLiteral("ok Zahodit změny?"));
        ACT(program, "button Yes");
    }
    /// Closes the record form on top (Escape in browse mode) and waits for the board.
    static void closeForm(DrivenProgram &program) {
        ACT(program, "key Escape");
        EXPECT_WINDOW(program, "fm_Deska");
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        QVERIFY_DB(own = createServerDatabase(*server, QStringLiteral("kontakty.fdb")));
        target = own->database();
        QVERIFY_DB(
            exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')");
            exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Beta')");
            exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                 "VALUES (1, 1, 0, 'Jana', 'Mala', ' ')");
            exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (2, 2, 0, '***')");
            exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (3, 'Gama')");
            exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (3, 3, 0, '***')");
            exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (4, 'Delta')");
            exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (4, 4, 0, '***')");
            exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                 "VALUES (5, 1, 0, 'Emil', 'Novotny', ' ')"));
        jana = startProgram(QStringLiteral("jana"));
        petr = startProgram(QStringLiteral("petr"));
        QVERIFY(jana && petr);
        EXPECT_WINDOW(*jana, "fm_Deska");
        EXPECT_WINDOW(*petr, "fm_Deska");
    }
    void cleanupTestCase() {
        if (jana)
            QVERIFY(jana->end());
        if (petr)
            QVERIFY(petr->end());
        own.reset();
        server.reset();
    }

    void bothEditTheSameContactAndTheSecondConfirmIsRefused() {
        openFromBoard(*jana, QStringLiteral("Mala Jana"));
        EXPECT_WINDOW(*jana, "FM_Kontakt");
        QCOMPARE(jana->ask("text EditPrijmeni"), QStringLiteral("ok Mala"));
        openFromBoard(*petr, QStringLiteral("Mala Jana"));
        EXPECT_WINDOW(*petr, "FM_Kontakt");
        ACT(*jana, "key F2");
        ACT(*petr, "key F2");
        QCOMPARE(jana->ask("enabled BB_Jo"), QStringLiteral("ok 1"));
        ACT(*jana, "type EditPrijmeni Malá-Nová");
        ACT(*jana, "key Return");
        QCOMPARE(jana->ask("enabled BB_Jo"), QStringLiteral("ok 0"));
        QCOMPARE(surname(1), QStringLiteral("Malá-Nová"));

        confirmIsRefused(*petr, QStringLiteral("EditPrijmeni"), QStringLiteral("Malá-Stará"));
        QCOMPARE(petr->ask("window"), QStringLiteral("ok FM_Kontakt"));
        QCOMPARE(surname(1), QStringLiteral("Malá-Nová"));
        discardChanges(*petr);
        QCOMPARE(petr->ask("enabled BB_Jo"), QStringLiteral("ok 0"));
        QCOMPARE(petr->ask("text EditPrijmeni"), QStringLiteral("ok Malá-Nová"));
        closeForm(*jana);
        closeForm(*petr);
    }

    void aChangeConfirmedByOneShowsOnTheOthersBoardAtTheNextKeystroke() {
        ACT(*petr, "type Edit1 Nov");
        QVERIFY(petr->list("rows").contains(QStringLiteral("Malá-Nová Jana")));
        openFromBoard(*jana, QStringLiteral("Malá-Nová Jana"));
        EXPECT_WINDOW(*jana, "FM_Kontakt");
        // Her own confirmed change is still listed: the form opens on her contact.
        QCOMPARE(jana->ask("text EditID"), QStringLiteral("ok 1"));
        ACT(*jana, "key F2");
        ACT(*jana, "type EditPrijmeni Nováková");
        ACT(*jana, "key Return");
        QCOMPARE(surname(1), QStringLiteral("Nováková"));
        closeForm(*jana);
        ACT(*petr, "key Backspace");
        QCOMPARE(petr->ask("text Edit1"), QStringLiteral("ok No"));
        const QStringList rows = petr->list("rows");
        QVERIFY2(rows.contains(QStringLiteral("Nováková Jana")) &&
                     !rows.contains(QStringLiteral("Malá-Nová Jana")),
                 qPrintable(rows.join(QLatin1Char('|'))));
    }

    void aCompanyDeletedByOneWhileTheOtherShowsIt() {
        ACT(*petr, "type Edit1 Beta");
        openFromBoard(*petr, QStringLiteral("Beta"));
        EXPECT_WINDOW(*petr, "fm_Firma");
        QCOMPARE(petr->ask("text EditNAZEV_FIRMA"), QStringLiteral("ok Beta"));

        ACT(*jana, "type Edit1 Beta");
        openFromBoard(*jana, QStringLiteral("Beta"));
        EXPECT_WINDOW(*jana, "fm_Firma");
        QCOMPARE(jana->ask("text EditNAZEV_FIRMA"), QStringLiteral("ok Beta"));
        ACT(*jana, "click sbFirSmaz");
        EXPECT_WINDOW(*jana, "QMessageBox");
        ACT(*jana, "button Yes");
        EXPECT_WINDOW(*jana, "fm_Firma");
        closeForm(*jana);
        QCOMPARE(jana->list("rows"), QStringList());
        QCOMPARE(companyCount(2), 0);

        // The other still shows it: editing it is refused with a clear message.
        ACT(*petr, "key F2");
        confirmIsRefused(*petr, QStringLiteral("EditNAZEV_FIRMA"), QStringLiteral("Beta znovu"));
        QCOMPARE(petr->ask("window"), QStringLiteral("ok fm_Firma"));
        QCOMPARE(companyCount(2), 0); // not brought back
        discardChanges(*petr);
        QCOMPARE(petr->ask("enabled BB_Jo"), QStringLiteral("ok 0"));
        QVERIFY(petr->ask("text EditNAZEV_FIRMA") != QStringLiteral("ok Beta znovu"));
        closeForm(*petr);
        QCOMPARE(petr->list("rows"), QStringList()); // the board no longer lists it
        QCOMPARE(petr->ask("window"), QStringLiteral("ok fm_Deska"));
    }

    void actionsOnABoardRowAnotherProgramDeletedSaySoAndRefreshTheBoard_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("id"); ///< of the contact row (a company's own has the company's id)
        QTest::addColumn<bool>("company");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("open a company") << "Gama" << 3 << true << "key Return"
                                        << "Vybraná firma už v databázi není.";
        QTest::newRow("print a company")
            << "Delta" << 4 << true << "key Ctrl+P"
            << "Vybraná firma už v databázi není, sestavu nelze vytisknout.";
        QTest::newRow("open a contact") << "Novotny" << 5 << false << "key Return"
                                        << "Vybraný kontakt už v databázi není.";
    }
    void actionsOnABoardRowAnotherProgramDeletedSaySoAndRefreshTheBoard() {
        QFETCH(QString, row);
        QFETCH(int, id);
        QFETCH(bool, company);
        QFETCH(QString, action);
        QFETCH(QString, message);
        ACT(*petr, QStringLiteral("type Edit1 ") + row);
        ACT(*petr, QStringLiteral("pick ") + row);
        // Someone else (here the test's own connection) deletes what the board shows.
        QVERIFY_DB(own->executeCommitted("DELETE FROM KONTAKT WHERE ID = ?", {id});
                   if (company) own->executeCommitted("DELETE FROM FIRMA WHERE ID = ?", {id}));
        ACT(*petr, action);
        EXPECT_WINDOW(*petr, "QMessageBox");
        QCOMPARE(petr->ask("message"), QStringLiteral("ok ") + message);
        ACT(*petr, "button OK");
        EXPECT_WINDOW(*petr, "fm_Deska");
        QCOMPARE(petr->list("rows"), QStringList());
        QCOMPARE(petr->ask("enabled sbTisk"), QStringLiteral("ok 0"));
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "tst_twoprograms.moc"
