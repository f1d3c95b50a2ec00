// kontakty-io as a user or a script runs it: commands, exit statuses,
// messages, files and standard streams, against real databases.
#include "iotool/CommandLine.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
    QString text() const { return QString::fromUtf8(out); }
};

Run runTool(const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(QStringLiteral(IO_EXE), arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.terminate(); // and SIGKILL when that is not enough
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
        return run;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestTool : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    /// A file of 200,000 cards in 100 companies: enough for the write to take seconds.
    QString manyCards() const {
        QFile file(path("many.vcf"));
        if (file.exists())
            return file.fileName();
        if (!file.open(QIODevice::WriteOnly))
            return {};
        for (int i = 0; i < 200000; ++i)
            file.write(
                QStringLiteral(
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Signál%1;Jan\r\nORG:Firma %2\r\nEND:VCARD\r\n")
                    .arg(i)
                    .arg(i % 100)
                    .toUtf8());
        return file.fileName();
    }
    /// What the tool wrote to standard error until it reported `phase`
    /// (or ended, or two minutes passed).
    static QString errorsUntil(ChildProcess &tool, const QRegularExpression &phase) {
        QString err;
        QElapsedTimer waited;
        waited.start();
        while (!err.contains(phase) && tool.process().state() == QProcess::Running &&
               waited.elapsed() < 120000) {
            tool.process().waitForReadyRead(100);
            err += QString::fromUtf8(tool.process().readAllStandardError());
        }
        return err;
    }

  private slots:
    void wrongArgumentsAreRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList{} << "give a command: export, import or sync";
        QTest::newRow("a conflict's choice without its contact")
            << QStringList{"sync", "--keep", "here", "a.gdb"}
            << "--keep goes with one --contact ID or --organisation ID";
        QTest::newRow("a company named where sync wants its ID")
            << QStringList{"sync", "--company", "Pekárna", "a.gdb"}
            << "sync's --company takes a company ID, not 'Pekárna'";
        QTest::newRow("unknown command")
            << QStringList{"copy", "a", "b"} << "unknown command 'copy'";
        QTest::newRow("no file") << QStringList{"export", "a.gdb"}
                                 << "export needs DATABASE and FILE";
        QTest::newRow("unknown format")
            << QStringList{"export", "--format", "xls", "a", "b"} << "unknown format 'xls'";
        QTest::newRow("format on import")
            << QStringList{"import", "--format", "csv", "a", "b"} << "belong to export";
        QTest::newRow("yes on export")
            << QStringList{"export", "--yes", "a", "b"} << "--yes belongs to import";
        QTest::newRow("unknown option")
            << QStringList{"export", "--fast", "a", "b"} << "Unknown option 'fast'";
    }
    void wrongArgumentsAreRefused() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains(u"(see --help)"_qs));
    }

    void databaseTargetsAreRead_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        QTest::newRow("file") << "/data/KONTAKTY.GDB"
                              << ""
                              << "/data/KONTAKTY.GDB";
        QTest::newRow("relative file") << "Tabulky/KONTAKTY.GDB"
                                       << ""
                                       << "Tabulky/KONTAKTY.GDB";
        QTest::newRow("server") << "server:/data/k.gdb"
                                << "server"
                                << "/data/k.gdb";
        QTest::newRow("server and port") << "db.example.cz/3051:/data/k.gdb"
                                         << "db.example.cz/3051"
                                         << "/data/k.gdb";
        QTest::newRow("server alias") << "localhost:kontakty"
                                      << "localhost"
                                      << "kontakty";
        QTest::newRow("drive letter") << "C:\\Data\\k.gdb"
                                      << ""
                                      << "C:\\Data\\k.gdb";
    }
    void databaseTargetsAreRead() {
        QFETCH(QString, target);
        QFETCH(QString, host);
        QFETCH(QString, database);
        const iotool::CommandLine command =
            iotool::parseCommandLine({"kontakty-io", "import", target, "x.vcf"});
        QCOMPARE(command.action, iotool::CommandLine::Action::Import);
        QCOMPARE(command.host, host);
        QCOMPARE(command.database, database);
    }

    void helpNamesBothCommands() {
        const Run run = runTool({"--help"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.text().contains(
            u"kontakty-io export [--format vcard4|vcard3|csv|csv-cz] [--company NAME] DATABASE FILE"_qs));
        QVERIFY(run.text().contains(u"kontakty-io import [--yes] DATABASE FILE"_qs));
    }

    void exportThenImportWritesOnlyWithYes() {
        TestDatabase source({.demo = true});
        source.disconnect();
        const QString file = path("all.vcf");
        Run run = runTool({"export", source.path(), file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.text().startsWith(u"Exported "_qs));
        QVERIFY(QFile(file).size() > 1000);

        TestDatabase target;
        target.disconnect();
        run = runTool({"import", target.path(), file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.text().contains(u"Nová firma: Strojírny Žďár a.s.\n"_qs));
        QVERIFY(run.text().contains(
            u"Nový kontakt: Ing. Miroslav Němec, CSc. → Strojírny Žďár a.s. (nová)\n"_qs));
        QVERIFY(run.text().endsWith(u"Nothing written; run with --yes to import.\n"_qs));
        QCOMPARE(target.count(QStringLiteral("KONTAKT")), 0);
        target.disconnect();

        run = runTool({"import", "--yes", target.path(), file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.text().endsWith(u"Written: 12 companies, 28 contacts.\n"_qs),
                 run.out.constData());
        QCOMPARE(target.count(QStringLiteral("FIRMA")), source.count(QStringLiteral("FIRMA")));
        target.disconnect();

        // Everyone is there now: a second run skips them all.
        run = runTool({"import", "--yes", target.path(), file});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.text().count(u"Přeskočeno, už existuje"_qs), 28);
        QVERIFY(run.text().endsWith(u"Written: 0 companies, 0 contacts.\n"_qs));
    }

    void standardStreamsAndTheCzechSpreadsheetForm() {
        TestDatabase db({.demo = true});
        db.disconnect();
        Run run = runTool({"export", "--format", "csv-cz", "--company", u"STROJÍRNY ŽĎÁR A.S."_qs,
                           db.path(), "-"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("Titul p\xF8"
                                   "ed;Jm\xE9no;P\xF8\xEDjmen\xED;"));
        QVERIFY(run.out.contains(";N\xECmec;"));
        QVERIFY(run.err.contains(u"Exported 4 records"_qs));

        TestDatabase target;
        target.disconnect();
        run = runTool({"import", "--yes", target.path(), "-"}, run.out);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(target.count(QStringLiteral("KONTAKT")), 4);
    }

    void failuresSayWhatAndWriteNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such company") << QStringList{"export", "--company", "Nikdo", "DB", "-"}
                                         << QByteArray() << "no company is named 'Nikdo'";
        QTest::newRow("no such database")
            << QStringList{"export", "/nonexistent/k.gdb", "-"} << QByteArray()
            << "the database /nonexistent/k.gdb does not exist";
        QTest::newRow("no such file") << QStringList{"import", "DB", "/nonexistent/x.vcf"}
                                      << QByteArray() << "cannot read /nonexistent/x.vcf";
        QTest::newRow("damaged vCard")
            << QStringList{"import", "--yes", "DB", "FILE"}
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:A;B\r\nPHOTO;ENCODING=b:***\r\n")
            << "is damaged, nothing was written:\n  řádek 1: vizitka nemá konec (END:VCARD)";
        QTest::newRow("a header alone")
            << QStringList{"import", "--yes", "DB", "FILE"} << QByteArray("Jméno,Příjmení\r\n")
            << "soubor neobsahuje žádný kontakt";
        QTest::newRow("every contact refused")
            << QStringList{"import", "--yes", "DB", "FILE"} << QByteArray("E-mail\r\n\r\n;\r\n")
            << "can be imported:\n  (bez jména) – záznam nemá jméno ani firmu";
        QTest::newRow("unwritable output") << QStringList{"export", "DB", "/nonexistent/out.vcf"}
                                           << QByteArray() << "cannot write /nonexistent/out.vcf";
    }
    void failuresSayWhatAndWriteNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, fileBytes);
        QFETCH(QString, message);
        TestDatabase db({.demo = true});
        const int contacts = db.count(QStringLiteral("KONTAKT"));
        db.disconnect();
        QFile file(path("input.vcf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileBytes);
        file.close();
        arguments.replaceInStrings(QStringLiteral("DB"), db.path());
        arguments.replaceInStrings(QStringLiteral("FILE"), file.fileName());
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(u"kontakty-io: "_qs) && run.err.contains(message),
                 qPrintable(run.err));
        QCOMPARE(db.count(QStringLiteral("KONTAKT")), contacts);
    }

    void hugeFileIsRefusedUnread() {
        TestDatabase db;
        db.disconnect();
        QFile file(path("huge.vcf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(1100) * 1024 * 1024)); // sparse: 1100 MB of nothing
        file.close();
        const Run run = runTool({"import", "--yes", db.path(), file.fileName()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"soubor má 1100 MB, víc než povolených 1024 MB"_qs),
                 qPrintable(run.err));
        QCOMPARE(db.count(QStringLiteral("KONTAKT")), 0);
    }

    // SIGTERM or SIGINT while the import reads and plans, or while it writes:
    // the tool stops at the next piece of the file or hundred rows, rolls its
    // one transaction back and says so; the database is as before and sound.
    void aSignalWhilePlanningOrWritingLeavesTheDatabaseAsItWas() {
        TestDatabase db({.demo = true});
        const int contacts = db.count(QStringLiteral("KONTAKT"));
        db.disconnect();
        QFile file(manyCards());
        const QRegularExpression planning(QStringLiteral("read [1-9]\\d* of [1-9]\\d* KB\n"));
        const QRegularExpression writing(QStringLiteral("written [1-9]\\d* of 200000"));
        for (const auto &[phase, signal] : {std::pair{&planning, SIGTERM},
                                            {&planning, SIGINT},
                                            {&writing, SIGTERM},
                                            {&writing, SIGINT}}) {
            ChildProcess tool(QStringLiteral(IO_EXE),
                              {"import", "--yes", db.path(), file.fileName()});
            QVERIFY(tool.start());
            QString err = errorsUntil(tool, *phase);
            QVERIFY2(err.contains(*phase), qPrintable(err)); // caught in the middle of it
            tool.signal(signal);
            // Undoing what was written takes a while on a slow (or sanitized) build.
            QVERIFY(tool.process().waitForFinished(60000));
            QCOMPARE(tool.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(tool.process().exitCode(), 1);
            err += QString::fromUtf8(tool.process().readAllStandardError());
            QVERIFY2(err.endsWith(u"kontakty-io: stopped by a signal; nothing was written\n"_qs),
                     qPrintable(err));
            QVERIFY(!tool.process().readAllStandardOutput().contains("Written:"));
            QCOMPARE(db.count(QStringLiteral("KONTAKT")), contacts);
            db.disconnect();
            QCOMPARE(validateDatabase(db.path()), QString());
        }
    }

    void anImportIntoAnEmptyRegisterEndedAnyWayLeavesItEmptyWithItsIndexes() {
        // Into an empty register the read indexes are built after the rows:
        // a signal still ends with them active, and after SIGKILL (which
        // leaves them inactive) the next open makes them active again.
        TestDatabase db;
        db.disconnect();
        const QRegularExpression writing(QStringLiteral("written [1-9]\\d* of 200000"));
        const QString inactive =
            QStringLiteral("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_INACTIVE = 1");
        for (int signal : {SIGTERM, SIGKILL}) {
            ChildProcess tool(QStringLiteral(IO_EXE), {"import", "--yes", db.path(), manyCards()});
            QVERIFY(tool.start());
            const QString err = errorsUntil(tool, writing);
            QVERIFY2(err.contains(writing), qPrintable(err)); // inside its transaction
            if (signal == SIGKILL) {
                tool.killHard();
                QVERIFY(db.scalar(inactive).toInt() > 0); // killed while they were off
                db.disconnect();
                const Run open = runTool({"export", db.path(), path("after-kill.csv")});
                QCOMPARE(open.exitCode, 0);
            } else {
                tool.signal(signal);
                QVERIFY(tool.process().waitForFinished(60000));
                QCOMPARE(tool.process().exitCode(), 1);
            }
            QCOMPARE(db.scalar(inactive).toInt(), 0);
            QCOMPARE(db.count(QStringLiteral("KONTAKT")) + db.count(QStringLiteral("FIRMA")), 0);
            db.disconnect();
            QCOMPARE(validateDatabase(db.path()), QString());
        }
        const Run run =
            runTool({"import", "--yes", db.path(), "-"},
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nová;Eva\r\nORG:Pila\r\nEND:VCARD\r\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(db.scalar(inactive).toInt(), 0);
        QCOMPARE(
            db.rows(QStringLiteral("SELECT k.PRIJMENI, f.NAZEV_FIRMA FROM KONTAKT k JOIN FIRMA f "
                                   "ON f.ID = k.ID_FIRMA WHERE k.PRIJMENI = ?"),
                    {u"Nová"_qs}),
            (QList<QVariantList>{{u"Nová"_qs, u"Pila"_qs}}));
    }

    void refusedContactsAreListedAndSignalled() {
        TestDatabase db;
        db.disconnect();
        const QByteArray csv =
            u"Jméno,Příjmení,Poznámka\r\n☺,☺,\r\nEva,Vážná,ahoj ☺\r\n"_qs.toUtf8();
        const Run run = runTool({"import", "--yes", db.path(), "-"}, csv);
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(
            run.text().contains(
                u"Odmítnuto: ☺ ☺ – Jméno: „☺“ vynecháno; Příjmení: „☺“ vynecháno; po převodu do "
                "kódování Windows-1250 by zůstal prázdný název\n"_qs),
            run.out.constData());
        QVERIFY(run.text().contains(u"  Upraveno: Poznámka: „☺“ vynecháno\n"_qs));
        QVERIFY(run.text().contains(u"Written: 1 companies, 1 contacts."_qs));
        QCOMPARE(db.rows(QStringLiteral("SELECT PRIJMENI, POZNAMKA FROM KONTAKT")),
                 (QList<QVariantList>{{u"Vážná"_qs, u"ahoj"_qs}}));
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
