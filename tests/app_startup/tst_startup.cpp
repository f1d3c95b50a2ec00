// Start-up of the built program against prepared directories: upgrade,
// version gate, a missing database and the base directory.
#include "DatabaseBuilder.h"
#include "DbConnection.h"
#include "DbError.h"
#include "Win1250.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef VIZITAR_EXECUTABLE
#error "VIZITAR_EXECUTABLE must name the built program"
#endif

namespace {

/// A copy of the program in a temporary directory with its database beside it.
class Installation {
public:
    Installation() {
        QDir(dir.path()).mkpath(QStringLiteral("Tabulky"));
        const QString target = program();
        QFile::copy(QStringLiteral(VIZITAR_EXECUTABLE), target);
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner);
    }
    QString program() const { return dir.filePath(QStringLiteral("vizitar")); }
    QString database() const { return dir.filePath(QStringLiteral("Tabulky/KONTAKTY.GDB")); }
    QString log() const { return dir.filePath(QStringLiteral("messages.log")); }

    void build(initdb::Layout layout = initdb::Layout::Current) {
        initdb::BuildOptions options;
        options.layout = layout;
        options.forcedWrites = false;
        initdb::buildDatabase(database(), options);
    }
    /// Runs statements on the database and disconnects again, so that the
    /// program can open the file.
    void exec(const QStringList &statements) {
        data::DbConnection db;
        db.setDatabase(database());
        db.setUser(QStringLiteral("sysdba"));
        db.setPassword(QStringLiteral("tallowfin"));
        for (const QString &s : statements) {
            QByteArray sql;
            data::win1250::encode(s, sql);
            db.executeCommitted(sql, {});
        }
    }
    QVariant scalar(const QString &sql) {
        data::DbConnection db;
        db.setDatabase(database());
        db.setUser(QStringLiteral("sysdba"));
        db.setPassword(QStringLiteral("tallowfin"));
        QByteArray bytes;
        data::win1250::encode(sql, bytes);
        auto cursor = db.openCursor(bytes, {});
        data::PackedRow row;
        if (!cursor->fetch(row))
            return QVariant();
        const data::Cell c = row.cell(0);
        if (c.tag == data::Cell::BlobId)
            return db.readBlob(c.num);
        if (c.tag == data::Cell::Int)
            return c.num;
        if (c.tag == data::Cell::Text)
            return data::win1250::decode(c.bytes);
        return QVariant();
    }
    QString version() {
        return scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI")).toString();
    }
    bool hasPhotoColumn() {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'KONTAKT' "
                                     "AND RDB$FIELD_NAME = 'OBR'")).toInt() == 1;
    }

    /// Runs the program until it ends (quitting right after the first
    /// showing unless `quitAfterShow` is false) and returns the messages shown.
    QStringList run(bool quitAfterShow = true, const QString &workingDirectory = QString()) {
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

    QTemporaryDir dir;
    bool exitedByItself = false;
};

const QString kWrongVersion =
    QStringLiteral("Information|Aplikace není určena pro práci s touto verzi DB!\\nAplikace bude ukončena.");

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
        Installation app;
        app.build(initdb::Layout::V0_0);
        app.exec({QStringLiteral("DELETE FROM KONTAKT WHERE JMENO = 'Miloran'"),
                  QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES (990, 1, 'Miloran', '%1', ' ')")
                      .arg(storedName)});
        QByteArray logo;
        for (int i = 0; i < 3000; ++i)
            logo.append(char(i % 251));
        if (withLogo) {
            QFile file(app.dir.filePath(QStringLiteral("logo.jpg")));
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

    void failingUpgradeIsReportedAndKeepsTheVersion() {
        Installation app;
        app.build();  // already has OBR
        app.exec({QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = 1, VERZE_VEDLEJSI = 0")});
        const QStringList messages = app.run();
        QVERIFY(!messages.isEmpty());
        QVERIFY2(messages.first().startsWith(QStringLiteral("Kontakty|SQL Error: ")), qPrintable(messages.join('\n')));
        QCOMPARE(app.version(), QStringLiteral("1.0"));
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
        app.build();
        app.exec({QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = %1, VERZE_VEDLEJSI = %2").arg(major).arg(minor)});
        // A refused database ends the program by itself; one that passes
        // keeps it running until it is told to quit.
        const QStringList messages = app.run(!refused);
        QVERIFY(app.exitedByItself);
        QCOMPARE(messages, refused ? QStringList{kWrongVersion} : QStringList{});
        QCOMPARE(app.version(), QStringLiteral("%1.%2").arg(major).arg(minor));
    }

    void missingDatabaseIsReportedAndTheWindowStillOpens() {
        Installation app;
        const QStringList messages = app.run();
        QVERIFY(app.exitedByItself);
        QVERIFY(messages.size() >= 3);
        QCOMPARE(messages[0], QStringLiteral("Kontakty|Chyba nastala v tabulce: Nepovedlo se pripojit k DB"));
        QCOMPARE(messages[1], QStringLiteral("Kontakty|Chyba nastala v query: Hlavni deska"));
        QVERIFY(messages.contains(QStringLiteral("Kontakty|tNastaveni: Field 'VERZE_HLAVNI' not found.")));
        QVERIFY(!QFile::exists(app.database()));
    }

    void databaseBesideTheProgramIsUsedFromAnyWorkingDirectory() {
        Installation app;
        app.build(initdb::Layout::V1_0);
        QTemporaryDir elsewhere;
        QDir(elsewhere.path()).mkpath(QStringLiteral("Tabulky"));
        initdb::BuildOptions old;
        old.layout = initdb::Layout::V1_0;
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
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(cwdLink).symLinkTarget(), QFileInfo(app.dir.path()).canonicalFilePath(),
                                  20000);
        // Let the start-up finish before looking at the database.
        QTest::qWait(1500);
        p.kill();
        p.waitForFinished();
        QCOMPARE(app.version(), QStringLiteral("1.1"));
        QFile f(decoy);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll() == decoyBytes, "the database in the working directory must stay untouched");
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
