// kontakty-initdb as a user runs it: options, exit codes, messages, files.
#include "initdb/CommandLine.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(schema::Layout)

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runTool(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(INITDB_EXE), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

class TestTool : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

  private slots:
    void optionsAreRead_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<schema::Layout>("layout");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<int>("companies");
        QTest::addColumn<int>("contacts");
        using L = schema::Layout;
        QTest::newRow("path only") << QStringList{"a.gdb"} << L::Current << false << 0 << 0;
        QTest::newRow("layout 1.1")
            << QStringList{"--layout", "1.1", "a.gdb"} << L::Current << false << 0 << 0;
        QTest::newRow("layout 1.0")
            << QStringList{"--layout=1.0", "a.gdb"} << L::V1_0 << false << 0 << 0;
        QTest::newRow("layout 0.0 demo")
            << QStringList{"a.gdb", "--layout", "0.0", "--demo"} << L::V0_0 << true << 0 << 0;
        QTest::newRow("generated")
            << QStringList{"--companies", "10000", "--contacts", "50000", "a.gdb"} << L::Current
            << false << 10000 << 50000;
        QTest::newRow("companies alone")
            << QStringList{"--companies", "3", "a.gdb"} << L::Current << false << 3 << 0;
    }
    void optionsAreRead() {
        QFETCH(QStringList, arguments);
        QFETCH(schema::Layout, layout);
        QFETCH(bool, demo);
        QFETCH(int, companies);
        QFETCH(int, contacts);
        const initdb::CommandLine command =
            initdb::parseCommandLine(QStringList{"kontakty-initdb"} + arguments);
        QCOMPARE(command.action, initdb::CommandLine::Action::Build);
        QCOMPARE(command.path, QDir::current().absoluteFilePath(QStringLiteral("a.gdb")));
        QCOMPARE(command.options.layout, layout);
        QCOMPARE(command.options.demo, demo);
        QCOMPARE(command.options.companies, companies);
        QCOMPARE(command.options.contacts, contacts);
        QVERIFY(command.options.forcedWrites);
    }

    void wrongArgumentsAreAUsageError_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown layout") << QStringList{"--layout", "3.7"} << "unknown layout '3.7'";
        QTest::newRow("layout without dot") << QStringList{"--layout", "1"} << "unknown layout '1'";
        QTest::newRow("negative companies")
            << QStringList{"--companies", "-5"} << "--companies needs a whole number";
        QTest::newRow("negative contacts")
            << QStringList{"--companies", "5", "--contacts=-1"} << "--contacts needs";
        QTest::newRow("count not a number") << QStringList{"--companies", "ten"} << "not 'ten'";
        QTest::newRow("count too big")
            << QStringList{"--companies", "99999999999"} << "99999999999";
        QTest::newRow("contacts without companies")
            << QStringList{"--contacts", "5"} << "--contacts needs --companies";
        QTest::newRow("unknown option") << QStringList{"--colour"} << "colour";
    }
    void wrongArgumentsAreAUsageError() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("usage.gdb"));
        const Run run = runTool(arguments << path);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("kontakty-initdb: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(path));
    }

    void pathIsRequiredOnce_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList{"--demo"};
        QTest::newRow("two") << QStringList{"a.gdb", "b.gdb"};
    }
    void pathIsRequiredOnce() {
        QFETCH(QStringList, arguments);
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("exactly one PATH")), qPrintable(run.err));
    }

    void serverPasswordComesFromAFileRatherThanTheCommandLine() {
        const QString file = m_dir.filePath(QStringLiteral("heslo"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("tajné heslo\r\nignored\n");
        out.close();
        auto parse = [](const QStringList &login) {
            return initdb::parseCommandLine(QStringList{"kontakty-initdb", "--user", "SYSDBA"} +
                                            login + QStringList{"server:/data/k.fdb"});
        };
        const initdb::CommandLine fromFile = parse({"--password-file", file});
        QCOMPARE(fromFile.action, initdb::CommandLine::Action::Build);
        QCOMPARE(fromFile.login.password, u"tajné heslo"_qs);
        QVERIFY(fromFile.warnings.isEmpty());
        // Still taken, but every user of the machine can read it in the process list.
        const initdb::CommandLine visible = parse({"--password", "tajné"});
        QCOMPARE(visible.login.password, u"tajné"_qs);
        QCOMPARE(visible.warnings.size(), 1);
        QVERIFY2(visible.warnings.first().contains(u"--password-file"_qs),
                 qPrintable(visible.warnings.first()));
        const initdb::CommandLine missing = parse({"--password-file", file + u"-chybí"_qs});
        QCOMPARE(missing.action, initdb::CommandLine::Action::UsageError);
        QVERIFY2(missing.text.contains(file + u"-chybí"_qs), qPrintable(missing.text));
        QCOMPARE(parse({"--password-file", file, "--password", "x"}).action,
                 initdb::CommandLine::Action::UsageError);
    }

    void helpDescribesTheOptions() {
        const Run run = runTool({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        for (const char *option : {"--layout", "--demo", "--companies", "--contacts", "PATH"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
    }

    void createsTheRequestedDatabase_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<qint64>("version"); // major * 100 + minor
        QTest::addColumn<qint64>("companies");
        QTest::addColumn<bool>("photoColumn");
        QTest::newRow("empty current") << QStringList{} << qint64(101) << qint64(0) << true;
        QTest::newRow("1.0 with samples")
            << QStringList{"--layout", "1.0"} << qint64(100) << qint64(3) << false;
        QTest::newRow("demo") << QStringList{"--demo"} << qint64(101) << qint64(12) << true;
        QTest::newRow("generated") << QStringList{"--companies", "30", "--contacts", "90"}
                                   << qint64(101) << qint64(30) << true;
    }
    void createsTheRequestedDatabase() {
        QFETCH(QStringList, arguments);
        QFETCH(qint64, version);
        QFETCH(qint64, companies);
        QFETCH(bool, photoColumn);
        // The folder does not exist yet; the tool makes it.
        const QString path =
            m_dir.filePath(QStringLiteral("%1/Tabulky/KONTAKTY.GDB").arg(QTest::currentDataTag()));
        const Run run = runTool(arguments << path);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), QStringLiteral("Created ") + path);
        QVERIFY_DB(
            QCOMPARE(readNumbers(path, "SELECT VERZE_HLAVNI * 100 + VERZE_VEDLEJSI FROM NASTAVENI"),
                     QList<qint64>{version});
            QCOMPARE(readNumbers(path, "SELECT COUNT(*) FROM FIRMA"), QList<qint64>{companies});
            QCOMPARE(
                readNumbers(
                    path,
                    "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'KONTAKT' "
                    "AND RDB$FIELD_NAME = 'OBR'"),
                QList<qint64>{photoColumn ? 1 : 0}));
    }

    void existingFileIsLeftUntouched_data() {
        QTest::addColumn<bool>("database");
        QTest::newRow("any file") << false;
        QTest::newRow("a database") << true;
    }
    void existingFileIsLeftUntouched() {
        QFETCH(bool, database);
        std::optional<TestDatabase> db;
        QString path = m_dir.filePath(QStringLiteral("existing.txt"));
        if (database) {
            QVERIFY_DB(db.emplace(initdb::BuildOptions{.demo = true}); db->disconnect());
            path = db->path();
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Nejde o databázi.\n");
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        const Run run = runTool({path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path) && run.err.contains(QStringLiteral("už existuje")),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
    }

    void folderThatCannotBeMadeIsReported() {
        const QString blocker = m_dir.filePath(QStringLiteral("plain-file"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const Run run = runTool({blocker + QStringLiteral("/Tabulky/KONTAKTY.GDB")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("složku %1/Tabulky nelze vytvořit").arg(blocker)),
                 qPrintable(run.err));
    }

    void failureRemovesTheFoldersItMade_data() {
        QTest::addColumn<bool>("folderExisted");
        QTest::newRow("new folders") << false;
        QTest::newRow("existing folder") << true;
    }
    void failureRemovesTheFoldersItMade() {
        QFETCH(bool, folderExisted);
        const QDir top(m_dir.filePath(QTest::currentDataTag()));
        const QString keep = top.filePath(QStringLiteral("Tabulky/keep.txt"));
        if (folderExisted) {
            QVERIFY(top.mkpath(QStringLiteral("Tabulky")));
            QFile file(keep);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // The folders can be made, but the file name is longer than the
        // file system allows, so the engine cannot create the file.
        const QString tooLong = QString(300, QLatin1Char('k')) + QStringLiteral(".GDB");
        const Run run = runTool({top.filePath(QStringLiteral("Tabulky/")) + tooLong});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("kontakty-initdb: ")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(top.exists(), folderExisted);
        QCOMPARE(QFile::exists(keep), folderExisted);
        QVERIFY(QDir(m_dir.path()).exists());
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
