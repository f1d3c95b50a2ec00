// An import beside colleagues on one server database: the plan is made,
// then a colleague commits (an edit, a delete, a second import) before it
// is written.
#include "base/Win1250.h"
#include "db/FbStatement.h"
#include "io/ContactFiles.h"
#include "io/ContactStore.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kNewcomer = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xBD;Jan\r\nORG:Alfa\r\n"
                             "EMAIL:jan@alfa.cz\r\nEND:VCARD\r\n";

/// `people` cards, each with its own company and e-mail.
QByteArray cards(int people) {
    QByteArray bytes;
    for (int i = 0; i < people; ++i)
        bytes += QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Člověk%1;Petr\r\nORG:Firma %2\r\n"
                                "EMAIL:petr%1@example.cz\r\nEND:VCARD\r\n")
                     .arg(i)
                     .arg(i % 7)
                     .toUtf8();
    return bytes;
}

} // namespace

class TestImportRace : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QTemporaryDir files;
    QString target;
    int made = 0;
    std::unique_ptr<db::DbConnection> importer, colleague;

    std::unique_ptr<db::DbConnection> connection() {
        auto db = std::make_unique<db::DbConnection>();
        db->setDatabase(target);
        db->setUser(server->user());
        db->setPassword(server->password());
        return db;
    }
    QList<QStringList> rows(const QByteArray &sql) {
        const auto cursor = colleague->openCursor(sql, {});
        QList<QStringList> result;
        db::PackedRow row;
        while (cursor->fetch(row)) {
            QStringList cells;
            for (int i = 0; i < row.columnCount(); ++i)
                cells << (row.tag(i) == db::Cell::Int ? QString::number(row.cell(i).num)
                                                      : base::win1250::decode(row.cell(i).bytes));
            result << cells;
        }
        return result;
    }
    int count(const QByteArray &sql) { return rows(sql).value(0).value(0).toInt(); }
    io::ImportPlan plan(const QByteArray &bytes) {
        const io::DecodedFile file = io::decodeFile(bytes);
        return io::planImport(file.entries, io::readExisting(*importer));
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
    }
    void init() {
        target = server->target(QStringLiteral("i%1.fdb").arg(++made));
        initdb::BuildOptions options;
        options.forcedWrites = false;
        QVERIFY_DB(initdb::buildDatabase(target, options, {server->user(), server->password()}));
        importer = connection();
        colleague = connection();
        QVERIFY_DB(colleague->executeCommitted(
            {{"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')", {}},
             {"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) "
              "VALUES (1, 1, 0, '***')",
              {}}}));
    }
    void cleanup() {
        importer.reset();
        colleague.reset();
    }
    void cleanupTestCase() { server.reset(); }

    void aColleaguesContactInThePlaceholderIsKept() {
        io::ImportPlan planned;
        QVERIFY_DB(planned = plan(kNewcomer));
        QCOMPARE(planned.companies.value(0).placeholderId,
                 1); // the plan would take the placeholder over
        QVERIFY_DB(colleague->executeCommitted("UPDATE KONTAKT SET KRAJ = ' ', JMENO = 'Eva', "
                                               "PRIJMENI = ?, MOBIL = '603 111 222' WHERE ID = 1",
                                               {u"Malá"_qs}));
        io::ImportResult result;
        QVERIFY_DB(result = io::writeImport(*importer, planned));
        QCOMPARE(result.contacts, 1);
        QCOMPARE(result.companies, 0);
        QCOMPARE(rows("SELECT ID, ID_FIRMA, PRIJMENI, MOBIL, KRAJ FROM KONTAKT ORDER BY ID"),
                 (QList<QStringList>{{"1", "1", u"Malá"_qs, "603 111 222", " "},
                                     {"2", "1", u"Nový"_qs, "", " "}}));
    }

    void aCompanyDeletedMeanwhileRefusesTheImportAndWritesNothing() {
        io::ImportPlan planned;
        QVERIFY_DB(planned = plan(kNewcomer + cards(3)));
        QVERIFY_DB(colleague->executeCommitted({{"DELETE FROM KONTAKT WHERE ID_FIRMA = 1", {}},
                                                {"DELETE FROM FIRMA WHERE ID = 1", {}}}));
        try {
            io::writeImport(*importer, planned);
            QFAIL("the import was written into a deleted company");
        } catch (const db::DbError &e) {
            QCOMPARE(e.kind(), db::DbError::Kind::Conflict);
            QVERIFY2(
                e.message().startsWith(u"Firmu „Alfa“ mezitím někdo smazal. Nic nebylo zapsáno"_qs),
                qPrintable(e.message()));
        }
        QCOMPARE(count("SELECT COUNT(*) FROM KONTAKT"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM FIRMA"), 0);
    }

    void aContactAddedMeanwhileIsNotAddedAgain() {
        io::ImportPlan planned;
        QVERIFY_DB(planned = plan(kNewcomer + cards(2)));
        QVERIFY_DB(colleague->executeCommitted(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI, "
            "EMAIL1) VALUES (5, 1, 0, ' ', 'Jan', ?, 'jan@alfa.cz')",
            {u"Nový"_qs}));
        io::ImportResult result;
        QVERIFY_DB(result = io::writeImport(*importer, planned));
        QCOMPARE(result.contacts, 2);
        QCOMPARE(
            result.notes,
            QStringList{
                u"Přeskočeno, mezitím přidal někdo jiný (stejné jméno a e-mail): Jan Nový"_qs});
        QCOMPARE(count("SELECT COUNT(*) FROM KONTAKT WHERE EMAIL1 = 'jan@alfa.cz'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM KONTAKT WHERE KRAJ = ' '"), 3);
    }

    // Two real kontakty-io programs import the same file at once: both have
    // made their plan (the test holds the import lock until both wait for
    // it), and yet every company and contact is there once.
    void twoImportsAtOnceNeverDuplicate() {
        const QString file = files.filePath(QStringLiteral("race%1.vcf").arg(made));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(cards(40)) > 0);
        out.close();

        db::WriteTransaction lock(*colleague);
        {
            db::FbStatement hold(*colleague, lock.handle());
            QVERIFY_DB(hold.prepare("UPDATE NASTAVENI SET KONTROLUJ_UPDATY = KONTROLUJ_UPDATY");
                       hold.bind({}); hold.execute());
        }
        std::vector<std::unique_ptr<ChildProcess>> tools;
        for (int i = 0; i < 2; ++i) {
            tools.push_back(std::make_unique<ChildProcess>(
                QStringLiteral(IO_EXE), QStringList{"import", "--yes", target, file}));
            tools.back()->setEnv(QStringLiteral("ISC_USER"), server->user());
            tools.back()->setEnv(QStringLiteral("ISC_PASSWORD"), server->password());
            QVERIFY(tools.back()->start());
        }
        // Both wait for the lock once each has planned: seen in the server's own monitoring tables.
        auto observer = connection();
        QElapsedTimer waited;
        waited.start();
        int waiting = 0;
        while (waiting < 2 && waited.elapsed() < 60000) {
            QTest::qWait(50);
            observer->setConnected(false); // each look is a fresh snapshot of the monitoring tables
            const auto cursor =
                observer->openCursor("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 AND "
                                     "MON$SQL_TEXT STARTING WITH 'UPDATE NASTAVENI'",
                                     {});
            db::PackedRow row;
            waiting = cursor->fetch(row) ? int(row.cell(0).num) : 0;
        }
        QCOMPARE(waiting, 2);
        QVERIFY_DB(lock.commit());

        QStringList reports;
        for (auto &tool : tools) {
            QVERIFY(tool->process().waitForFinished(120000));
            QCOMPARE(tool->process().exitCode(), 0);
            reports << QString::fromUtf8(tool->process().readAllStandardOutput())
                           .section(u'\n', -2, -2);
        }
        reports.sort();
        QCOMPARE(reports, (QStringList{u"Written: 0 companies, 0 contacts."_qs,
                                       u"Written: 7 companies, 40 contacts."_qs}));
        QCOMPARE(count("SELECT COUNT(*) FROM FIRMA"), 8);
        QCOMPARE(count("SELECT COUNT(*) FROM KONTAKT WHERE KRAJ = ' '"), 40);
        QCOMPARE(count("SELECT COUNT(DISTINCT EMAIL1) FROM KONTAKT"), 40);
    }
};

QTEST_GUILESS_MAIN(TestImportRace)
#include "tst_importrace.moc"
