// Start-up of the built program against prepared directories: upgrade,
// version gate, a missing database and the base directory.
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#ifndef VIZITAR_EXECUTABLE
#error "VIZITAR_EXECUTABLE must name the built program"
#endif

namespace {

/// A copy of the program in a temporary directory with its database beside it.
class Installation : public TestDatabase {
  public:
    explicit Installation(schema::Layout layout = schema::Layout::Current)
        : TestDatabase(options(layout)) {
        const QString target = program();
        QFile::copy(QStringLiteral(VIZITAR_EXECUTABLE), target);
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner);
    }
    static initdb::BuildOptions options(schema::Layout layout) {
        initdb::BuildOptions o;
        o.layout = layout;
        return o;
    }
    QString dirPath() const { return baseDir(); }
    QString filePath(const QString &name) const { return QDir(baseDir()).filePath(name); }
    QString program() const { return filePath(QStringLiteral("vizitar")); }
    QString log() const { return filePath(QStringLiteral("messages.log")); }

    QString version() {
        return scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI"))
            .toString();
    }
    bool hasPhotoColumn() {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                     "RDB$RELATION_NAME = 'KONTAKT' "
                                     "AND RDB$FIELD_NAME = 'OBR'"))
                   .toInt() == 1;
    }

    /// Runs the program until it ends (quitting right after the first
    /// showing unless `quitAfterShow` is false) and returns the messages shown.
    QStringList run(bool quitAfterShow = true, const QString &workingDirectory = QString()) {
        disconnect(); // the program opens the file itself
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"), log());
        if (quitAfterShow)
            env.insert(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workingDirectory.isEmpty() ? QDir::tempPath() : workingDirectory);
        p.start(program(), {});
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            exitedByItself = false;
        } else {
            exitedByItself = true;
        }
        QFile file(log());
        QStringList lines;
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        file.remove();
        return lines;
    }

    bool exitedByItself = false;
};

const QString kWrongVersion = QStringLiteral(
    "Information|Aplikace není určena pro práci s touto verzi DB!\\nAplikace bude ukončena.");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
  private slots:
    void upgradeStoresTheSamplePhoto_data() {
        QTest::addColumn<bool>("withLogo");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("logo beside the program") << true << QStringLiteral("Drobeček");
        QTest::newRow("no logo") << false << QStringLiteral("Drobeček");
        QTest::newRow("other letter case") << true << QStringLiteral("DROBEČEK");
    }
    void upgradeStoresTheSamplePhoto() {
        QFETCH(bool, withLogo);
        QFETCH(QString, storedName);
        Installation app(schema::Layout::V0_0);
        app.exec(QStringLiteral("DELETE FROM KONTAKT WHERE JMENO = 'Miloran'"));
        app.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                                "(990, 1, 'Miloran', '%1', ' ')")
                     .arg(storedName));
        QByteArray logo;
        for (int i = 0; i < 3000; ++i)
            logo.append(char(i % 251));
        if (withLogo) {
            QFile file(app.filePath(QStringLiteral("logo.jpg")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(logo);
        }
        const QStringList messages = app.run();
        QVERIFY(app.exitedByItself);
        QCOMPARE(messages, QStringList());
        QVERIFY(app.hasPhotoColumn());
        QCOMPARE(app.version(), QStringLiteral("1.1"));
        const QVariant photo = app.scalar(QStringLiteral("SELECT OBR FROM KONTAKT WHERE ID = 990"));
        QCOMPARE(photo.toByteArray(), withLogo ? logo : QByteArray());
    }

    void interruptedUpgradeCompletesAndKeepsAPhoto() {
        // A 1.0 file that already has the photo column, as an upgrade leaves
        // it when it stops before the version is written.
        Installation app;
        app.exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = 1, VERZE_VEDLEJSI = 0"));
        const QByteArray ownPhoto("\xff\xd8 the user's own photo", 24);
        app.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ, OBR) "
                                "VALUES (990, 1, 'Miloran', 'Drobeček', ' ', ?)"),
                 {ownPhoto});
        QFile logo(app.filePath(QStringLiteral("logo.jpg")));
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write("another picture");
        logo.close();
        for (int start = 0; start < 2; ++start) {
            QCOMPARE(app.run(), QStringList());
            QVERIFY(app.exitedByItself);
            QCOMPARE(app.version(), QStringLiteral("1.1"));
            QCOMPARE(
                app.scalar(QStringLiteral("SELECT OBR FROM KONTAKT WHERE ID = 990")).toByteArray(),
                ownPhoto);
        }
    }

    void versionGate_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("refused");
        QTest::newRow("1.5 runs") << 1 << 5 << false;
        QTest::newRow("2.0 refused") << 2 << 0 << true;
        QTest::newRow("0.3 refused") << 0 << 3 << true;
    }
    void versionGate() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, refused);
        Installation app;
        app.exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = %1, VERZE_VEDLEJSI = %2")
                     .arg(major)
                     .arg(minor));
        // A refused database ends the program by itself; one that passes
        // keeps it running until it is told to quit.
        const QStringList messages = app.run(!refused);
        QVERIFY(app.exitedByItself);
        QCOMPARE(messages, refused ? QStringList{kWrongVersion} : QStringList{});
        QCOMPARE(app.version(), QStringLiteral("%1.%2").arg(major).arg(minor));
    }

    void missingDatabaseIsReportedAndTheWindowStillOpens() {
        Installation app;
        app.disconnect();
        QVERIFY(QFile::remove(app.path()));
        const QStringList messages = app.run();
        QVERIFY(app.exitedByItself);
        QCOMPARE(
            messages,
            (QStringList{
                QStringLiteral("Kontakty|Chyba nastala v tabulce: Nepovedlo se pripojit k DB"),
                QStringLiteral("Error|Soubor databáze „%1“ neexistuje.").arg(app.path()),
                QStringLiteral("Kontakty|Chyba nastala v query: Hlavni deska"),
                QStringLiteral("Error|Nastal problém s připojením databáze.\\nKontaktujte autora. "
                               "(podpora@qorvel.cz)"),
                // the About window's version line, then the version gate
                QStringLiteral("Kontakty|tNastaveni: Field 'VERZE_HLAVNI' not found."),
                QStringLiteral("Kontakty|tNastaveni: Field 'VERZE_HLAVNI' not found."),
            }));
        QVERIFY(!QFile::exists(app.path()));
    }

    void writeProtectedDatabaseStartsForReading() {
        Installation app;
        app.disconnect();
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), app.path()}) != 0)
            QSKIP("chattr +i is not available on this filesystem; root ignores permission bits");
        QFile file(app.path());
        const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        const QStringList messages = app.run();
        const bool unchanged = file.open(QIODevice::ReadOnly) && file.readAll() == before;
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), app.path()});
        QVERIFY(app.exitedByItself);
        QCOMPARE(
            messages,
            QStringList{QStringLiteral("Information|Soubor databáze „%1“ je chráněn proti zápisu. "
                                       "Databáze je otevřena jen pro čtení: lze ji prohlížet a "
                                       "tisknout, změny nelze uložit.")
                            .arg(app.path())});
        QVERIFY2(unchanged, "the file must stay as it was");
    }

    void shutdownSignalEndsTheProgramCleanly_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void shutdownSignalEndsTheProgramCleanly() {
        QFETCH(int, signalNumber);
        Installation app;
        app.disconnect();
        ChildProcess program(app.program());
        program.setEnv(QStringLiteral("VIZITAR_MESSAGE_LOG"), app.log());
        QVERIFY(program.start());
        // Running once the database is open and the window is up: the
        // engine has loaded and put its handlers in place by then.
        QTRY_VERIFY_WITH_TIMEOUT(program.holdsOpen(app.path()), 30000);
        QTest::qWait(1500);
        QElapsedTimer elapsed;
        elapsed.start();
        program.signal(signalNumber);
        const bool ended = program.process().waitForFinished(10000);
        qInfo("ended %lld ms after the signal", elapsed.elapsed());
        QVERIFY2(ended, "the program must end by itself on the signal");
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
        QVERIFY(!QFile::exists(app.log())); // nothing was shown
        QCOMPARE(validateDatabase(app.path()), QString());
        QCOMPARE(app.version(), QStringLiteral("1.1"));
    }

    void shutdownSignalDuringStartUpEndsTheProgramPromptly() {
        Installation app;
        // Enough contacts that the rest of the register is still being read
        // when the window has shown its first companies.
        QList<QVariantList> firms, people;
        for (int id = 1; id <= 1000; ++id)
            firms << QVariantList{id, QStringLiteral("Firma %1").arg(id)};
        app.connection().executeBatch("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (?, ?)", firms);
        for (int id = 1; id <= 300000; ++id)
            people << QVariantList{id, 1 + id % 1000, QStringLiteral("Zástupce %1").arg(id)};
        app.connection().executeBatch(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI) VALUES (?, ?, ?)", people);
        people.clear();
        app.disconnect();
        // While the window opens the database, and while the rest is read.
        for (const int wait : {0, 400}) {
            ChildProcess program(app.program());
            program.setEnv(QStringLiteral("VIZITAR_MESSAGE_LOG"), app.log());
            QVERIFY(program.start());
            QTRY_VERIFY_WITH_TIMEOUT(program.holdsOpen(app.path()), 30000);
            QTest::qWait(wait);
            QElapsedTimer elapsed;
            elapsed.start();
            program.signal(SIGTERM);
            const bool ended = program.process().waitForFinished(10000);
            qInfo("ended %lld ms after the signal", elapsed.elapsed());
            QVERIFY2(ended, "the program must end by itself on the signal");
            QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.process().exitCode(), 0);
            QFile shown(app.log()); // nothing, not even a read that failed
            QCOMPARE(shown.open(QIODevice::ReadOnly) ? QString::fromUtf8(shown.readAll())
                                                     : QString(),
                     QString());
        }
        QCOMPARE(validateDatabase(app.path()), QString());
        QCOMPARE(app.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), 300000);
    }

    void databaseBesideTheProgramIsUsedFromAnyWorkingDirectory() {
        Installation app(schema::Layout::V1_0);
        app.disconnect();
        QTemporaryDir elsewhere;
        QDir(elsewhere.path()).mkpath(QStringLiteral("Tabulky"));
        initdb::BuildOptions old;
        old.layout = schema::Layout::V1_0;
        old.forcedWrites = false;
        const QString decoy = elsewhere.filePath(QStringLiteral("Tabulky/KONTAKTY.GDB"));
        initdb::buildDatabase(decoy, old);
        const QByteArray decoyBytes = [&] {
            QFile f(decoy);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"), app.log());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(elsewhere.path());
        p.start(app.program(), {});
        QVERIFY(p.waitForStarted());
        const QString cwdLink = QStringLiteral("/proc/%1/cwd").arg(p.processId());
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(cwdLink).symLinkTarget(),
                                  QFileInfo(app.dirPath()).canonicalFilePath(), 20000);
        // Let the start-up finish before looking at the database.
        QTest::qWait(1500);
        p.kill();
        p.waitForFinished();
        QCOMPARE(app.version(), QStringLiteral("1.1"));
        QFile f(decoy);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll() == decoyBytes,
                 "the database in the working directory must stay untouched");
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
