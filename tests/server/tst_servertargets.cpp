// Choosing the database: file paths and connection strings, the tool that
// makes a server's database, and the program started on one.
#include "db/DatabaseTarget.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runProcess(const QString &program, const QStringList &arguments,
               const QProcessEnvironment &env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QProcessEnvironment withoutLogin() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));
    return env;
}

} // namespace

class TestServerTargets : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QTemporaryDir home; ///< the program's settings and data folders
    int made = 0;

    /// A connection string of a database not made yet.
    QString freshTarget() { return server->target(QStringLiteral("k%1.fdb").arg(++made)); }

    QVariant scalar(const QString &target, const QByteArray &sql) {
        db::DbConnection db;
        db.setDatabase(target);
        db.setUser(server->user());
        db.setPassword(server->password());
        const auto cursor = db.openCursor(sql, {});
        db::PackedRow row;
        if (!cursor->fetch(row))
            return {};
        return row.tag(0) == db::Cell::Int
                   ? QVariant(row.cell(0).num)
                   : QVariant(QString::fromLatin1(row.cell(0).bytes).trimmed());
    }

    Run initdb(const QStringList &arguments, const QProcessEnvironment &env = withoutLogin()) {
        return runProcess(QStringLiteral(INITDB_EXE), arguments, env);
    }
    /// The login as the README gives it: the password in a file of its own.
    QStringList loginArguments() {
        const QString file = home.filePath(QStringLiteral("password"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(server->password().toUtf8() + '\n');
        return {QStringLiteral("--user"), server->user(), QStringLiteral("--password-file"), file};
    }

    /// The program's environment: offscreen, quitting after the first
    /// showing, messages into a log, settings and data in `home`.
    QProcessEnvironment programEnvironment(bool withLogin) {
        QProcessEnvironment env = withoutLogin();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"),
                   home.filePath(QStringLiteral("messages.log")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        if (withLogin) {
            env.insert(QStringLiteral("ISC_USER"), server->user());
            env.insert(QStringLiteral("ISC_PASSWORD"), server->password());
        }
        return env;
    }
    /// Runs the program and returns the messages it showed.
    QStringList runProgram(const QStringList &arguments, bool withLogin = true) {
        QFile::remove(home.filePath(QStringLiteral("messages.log")));
        const Run run = runProcess(QStringLiteral(VIZITAR_EXECUTABLE), arguments,
                                   programEnvironment(withLogin));
        if (run.exitCode != 0)
            return {QStringLiteral("exit code %1: %2").arg(run.exitCode).arg(run.err)};
        QFile log(home.filePath(QStringLiteral("messages.log")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void setDatabaseSetting(const QString &value) {
        QSettings settings(home.filePath(QStringLiteral("config/Qorvel/Kontakty.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Database"), value);
    }
    /// An older layout that the program brings to the current one: proof
    /// that it opened this very database.
    QString makeOldDatabase() {
        const QString target = freshTarget();
        const Run run =
            initdb(QStringList{target, QStringLiteral("--layout"), QStringLiteral("1.0")} +
                   loginArguments());
        return run.exitCode == 0 ? target : QString();
    }
    QString versionOf(const QString &target) {
        return scalar(target, "SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI")
            .toString();
    }

  private slots:
    void targetsAreToldApart_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("parts"); // server|database, for a server
        QTest::newRow("absolute file") << "/data/KONTAKTY.GDB" << false << "";
        QTest::newRow("relative file") << "Tabulky/KONTAKTY.GDB" << false << "";
        QTest::newRow("file with a colon") << "/data/a:b.fdb" << false << "";
        QTest::newRow("relative file with a colon") << "./a:b.fdb" << false << "";
        QTest::newRow("host and path") << "server:/var/lib/firebird/3.0/data/k.fdb" << true
                                       << "server|/var/lib/firebird/3.0/data/k.fdb";
        QTest::newRow("host, port and alias")
            << "127.0.0.1/3051:kontakty" << true << "127.0.0.1/3051|kontakty";
        QTest::newRow("IPv6 host") << "[::1]/3050:kontakty" << true << "[::1]/3050|kontakty";
        QTest::newRow("inet URL") << "inet://server/kontakty" << true << "server|kontakty";
        QTest::newRow("inet4 URL") << "INET4://server:3051/k" << true << "server:3051|k";
        QTest::newRow("inet URL, absolute path")
            << "inet://server//srv/k.fdb" << true << "server|/srv/k.fdb";
    }
    void targetsAreToldApart() {
        QFETCH(QString, target);
        QFETCH(bool, server);
        QFETCH(QString, parts);
        QCOMPARE(db::target::isServer(target), server);
        if (server) {
            const db::target::ServerParts split = db::target::split(target);
            QCOMPARE(split.server + QLatin1Char('|') + split.database, parts);
        }
        // A connection string passes unchanged; a file path becomes absolute.
        const QString normalized = db::target::normalized(target);
        QCOMPARE(normalized == target, server || target.startsWith(QLatin1Char('/')));
        QVERIFY(server || QDir::isAbsolutePath(normalized));
    }

    void initTestCase() {
        QVERIFY(home.isValid());
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
    }
    void cleanupTestCase() { server.reset(); }

    void theToolMakesADatabaseOnTheServer() {
        const QString target = freshTarget();
        const Run run = initdb(QStringList{target, QStringLiteral("--demo")} + loginArguments());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(target));
        QCOMPARE(versionOf(target), QStringLiteral("1.1"));
        QVERIFY(scalar(target, "SELECT COUNT(*) FROM FIRMA").toInt() > 5);
        // The same target again is refused: it exists.
        QCOMPARE(initdb(QStringList{target} + loginArguments()).exitCode, 1);
    }

    void theToolReadsThePasswordFromStandardInput() {
        QProcess tool;
        tool.setProcessEnvironment(withoutLogin());
        const QString target = freshTarget();
        tool.start(QStringLiteral(INITDB_EXE),
                   {target, QStringLiteral("--user"), server->user(),
                    QStringLiteral("--password-file"), QStringLiteral("-")});
        QVERIFY(tool.waitForStarted());
        tool.write(server->password().toUtf8() + '\n');
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        QVERIFY(tool.readAllStandardError().isEmpty()); // no warning
        QCOMPARE(versionOf(target), QStringLiteral("1.1"));
    }

    void theToolTakesTheLoginFromTheEnvironment() {
        QProcessEnvironment env = withoutLogin();
        env.insert(QStringLiteral("ISC_USER"), server->user());
        env.insert(QStringLiteral("ISC_PASSWORD"), server->password());
        const QString target = freshTarget();
        const Run run = initdb({target}, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(versionOf(target), QStringLiteral("1.1"));
    }

    void theToolRefusesAServerTargetWithoutAGoodLogin() {
        const Run none = initdb({freshTarget()});
        QCOMPARE(none.exitCode, 2);
        QVERIFY2(none.err.contains(QStringLiteral("--user")), qPrintable(none.err));
        const QString target = freshTarget();
        const Run wrong = initdb({target, QStringLiteral("--user"), server->user(),
                                  QStringLiteral("--password"), QStringLiteral("nic")});
        QCOMPARE(wrong.exitCode, 1);
        QVERIFY2(wrong.err.startsWith(
                     QStringLiteral("kontakty-initdb: warning: --password shows the password")),
                 qPrintable(wrong.err));
        QVERIFY(!QFile::exists(QDir(server->dataDir()).filePath(QFileInfo(target).fileName())));
        // A login on a file makes no sense and is refused rather than ignored.
        QCOMPARE(
            initdb(QStringList{home.filePath(QStringLiteral("k.fdb"))} + loginArguments()).exitCode,
            2);
    }

    void theProgramOpensTheDatabaseGivenOnTheCommandLine() {
        const QString target = makeOldDatabase();
        QVERIFY(!target.isEmpty());
        QCOMPARE(runProgram({QStringLiteral("--database"), target}), QStringList{});
        QCOMPARE(versionOf(target), QStringLiteral("1.1"));
    }

    void theSettingChoosesTheDatabaseAndTheCommandLineWins() {
        const QString target = makeOldDatabase();
        QVERIFY(!target.isEmpty());
        setDatabaseSetting(target);
        QCOMPARE(runProgram({}), QStringList{});
        QCOMPARE(versionOf(target), QStringLiteral("1.1"));

        const QString second = makeOldDatabase();
        QCOMPARE(runProgram({QStringLiteral("--database"), second}), QStringList{});
        QCOMPARE(versionOf(second), QStringLiteral("1.1"));
        setDatabaseSetting(QString());
    }

    void aServerRefusingTheLoginIsReportedLikeAnUnreachableDatabase() {
        const QString target = makeOldDatabase();
        QVERIFY(!target.isEmpty());
        const QStringList messages = runProgram({QStringLiteral("--database"), target}, false);
        QVERIFY2(messages.contains(
                     QStringLiteral("Error|Nastal problém s připojením databáze.\\nKontaktujte "
                                    "autora. (podpora@qorvel.cz)")),
                 qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(versionOf(target), QStringLiteral("1.0"));
    }

    /// What a server that cannot give the database says is what the user
    /// reads: the database named on its server, not a local file.
    void aDatabaseTheServerCannotGiveIsNamed_data() {
        QTest::addColumn<bool>("serverRunning");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << true << QStringLiteral("neexistuje");
        QTest::newRow("server down") << false << QStringLiteral("neodpovídá");
    }
    void aDatabaseTheServerCannotGiveIsNamed() {
        QFETCH(bool, serverRunning);
        QFETCH(QString, expected);
        const QString target = freshTarget();
        if (!serverRunning)
            server->stop();
        const QStringList messages = runProgram({QStringLiteral("--database"), target});
        if (!serverRunning)
            QVERIFY2(server->start(), qPrintable(server->errorString()));
        const QString all = messages.join(QLatin1Char('\n'));
        const QString path = target.mid(target.indexOf(QLatin1Char(':')) + 1);
        QVERIFY2(all.contains(path) && all.contains(expected), qPrintable(all));
        QVERIFY2(!all.contains(QStringLiteral("Složka")) &&
                     !all.contains(QStringLiteral("přerušilo")),
                 qPrintable(all));
        QVERIFY(!QFile::exists(path)); // nothing was made in its place
    }
};

QTEST_GUILESS_MAIN(TestServerTargets)
#include "tst_servertargets.moc"
