// One program per embedded database file: a second start brings the first
// forward, another program holding the file is named where the engine will
// not share it, and under SuperClassic programs share it.
#include "app/SingleInstance.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

namespace {

/// Ends `process`: SIGTERM, then SIGKILL when it does not end.
void end(QProcess &process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

/// The environment of a machine whose Firebird configuration in `folder`
/// sets `ServerMode = SuperClassic`, with its own lock folder.
QProcessEnvironment superClassicMachine(const QString &folder) {
    const QDir dir(folder);
    dir.mkpath(QStringLiteral("lock"));
    dir.mkpath(QStringLiteral("intl"));
    const QString root = firebirdInstallRoot();
    for (const char *file : {"intl/libfbintl.so", "intl/fbintl.conf"})
        QFile::copy(QDir(root).filePath(QString::fromLatin1(file)),
                    dir.filePath(QString::fromLatin1(file)));
    QFile conf(dir.filePath(QStringLiteral("firebird.conf")));
    if (conf.open(QIODevice::WriteOnly))
        conf.write("ServerMode = SuperClassic\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), folder);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), dir.filePath(QStringLiteral("lock")));
    env.insert(QStringLiteral("FIREBIRD_MSG"), root);
    return env;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    QString log() const { return home.filePath(QStringLiteral("messages.log")); }
    void startProgram(QProcess &process, const QString &database, bool quitAfterShow,
                      QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"), log());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        if (quitAfterShow)
            env.insert(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VIZITAR_EXECUTABLE), {QStringLiteral("--database"), database});
    }
    /// Runs the program to its end; its exit code, or -1 when it did not end.
    int runProgram(const QString &database,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        startProgram(process, database, true, env);
        if (!process.waitForFinished(30000)) {
            end(process);
            return -1;
        }
        return process.exitCode();
    }
    QString messages() {
        QFile file(log());
        const QString text =
            file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        file.close();
        file.remove();
        return text;
    }
    static bool socketAnswers(const QString &database) {
        QLocalSocket socket;
        socket.connectToServer(app::SingleInstance::socketName(database));
        return socket.waitForConnected(200);
    }

  private slots:
    void theSocketNameFollowsTheFileNotThePath() {
        TestDatabase db;
        const QString link = home.filePath(QStringLiteral("odkaz.gdb"));
        QVERIFY(QFile::link(db.path(), link));
        QCOMPARE(app::SingleInstance::socketName(link), app::SingleInstance::socketName(db.path()));
        QVERIFY(app::SingleInstance::socketName(db.path()) !=
                app::SingleInstance::socketName(home.filePath(QStringLiteral("jiny.gdb"))));
        QFile::remove(link);
    }

    void aSecondStartOnTheSameFileBringsTheFirstForward() {
        TestDatabase db;
        db.disconnect();
        QProcess first;
        startProgram(first, db.path(), false);
        QTRY_VERIFY_WITH_TIMEOUT(socketAnswers(db.path()), 20000);
        // The same file under another name is the same database.
        const QString link = home.filePath(QStringLiteral("odkaz.gdb"));
        QVERIFY(QFile::link(db.path(), link));
        QElapsedTimer took;
        took.start();
        QCOMPARE(runProgram(link), 0);
        QVERIFY(took.elapsed() < 10000);
        QCOMPARE(messages(), QString());
        QCOMPARE(first.state(), QProcess::Running);
        QFile::remove(link);

        // Killed, the first leaves its socket behind; the next start clears it.
        first.kill();
        first.waitForFinished();
        QCOMPARE(runProgram(db.path()), 0);
        QCOMPARE(messages(), QString());
    }

    void anotherProgramHoldingTheFileIsNamed() {
        TestDatabase db;
        db.disconnect();
        QProcess isql;
        isql.start(QStringLiteral("isql-fb"),
                   {QStringLiteral("-user"), QStringLiteral("sysdba"), db.path()});
        QVERIFY2(isql.waitForStarted(),
                 "isql-fb (firebird3.0-utils, scripts/setup.sh) did not start");
        isql.write("SELECT 1 FROM RDB$DATABASE;\n");
        QVERIFY(isql.waitForReadyRead(20000));
        QCOMPARE(runProgram(db.path()), 1);
        const QString text = messages();
        QVERIFY2(
            text.startsWith(
                QStringLiteral("Error|Databázi %1 právě používá jiný program: isql-fb (PID %2)")
                    .arg(db.path())
                    .arg(isql.processId())),
            qPrintable(text));
        // Taken after the program looked (here: this process opening it
        // now), the engine's refusal names the holder too.
        db::DbConnection late;
        late.setDatabase(db.path());
        late.setUser(QStringLiteral("SYSDBA"));
        try {
            late.setConnected(true);
            QFAIL("the held file opened");
        } catch (const db::DbError &e) {
            QVERIFY2(
                e.message().contains(QStringLiteral("isql-fb (PID %1)").arg(isql.processId())) &&
                    e.message().contains(db.path()),
                qPrintable(e.message()));
        }
        isql.closeWriteChannel();
        if (!isql.waitForFinished(5000))
            end(isql);
        // Once it is gone, the program opens the file.
        QCOMPARE(runProgram(db.path()), 0);
        QCOMPARE(messages(), QString());
    }

    // Where the machine's engine shares files (SuperClassic), another program
    // holding the file is no reason to refuse: the program opens it, as two
    // programs share a database on a server. A second start of the program
    // itself still brings the first forward.
    void underSuperClassicProgramsShareTheFile() {
        TestDatabase db;
        db.disconnect();
        const QProcessEnvironment machine =
            superClassicMachine(home.filePath(QStringLiteral("fb")));
        QProcess isql;
        isql.setProcessEnvironment(machine);
        isql.start(QStringLiteral("isql-fb"),
                   {QStringLiteral("-user"), QStringLiteral("sysdba"), db.path()});
        QVERIFY(isql.waitForStarted());
        isql.write("SELECT 1 FROM RDB$DATABASE;\n");
        QVERIFY(isql.waitForReadyRead(20000));
        QCOMPARE(runProgram(db.path(), machine), 0);
        QCOMPARE(messages(), QString());

        QProcess first;
        startProgram(first, db.path(), false, machine);
        QTRY_VERIFY_WITH_TIMEOUT(socketAnswers(db.path()), 20000);
        QCOMPARE(runProgram(db.path(), machine), 0);
        QCOMPARE(messages(), QString());
        QCOMPARE(first.state(), QProcess::Running);
        end(first);
        isql.closeWriteChannel();
        if (!isql.waitForFinished(5000))
            end(isql);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
