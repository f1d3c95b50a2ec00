// The program installed into a prefix and started as a user would start it
// from the menu: its files, and its database in the user's data folder.
#include "RunProcess.h"

#include "app/U_deska.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "schema/DatabaseCreator.h"
#include "support/TemporarySettings.h"
#include "support/TestDatabase.h"

#include <QImage>
#include <QLabel>

#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString kAppId = QStringLiteral("cz.qorvel.Vizitar");

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A user with an empty home folder, starting the installed program.
class User {
  public:
    QString home() const { return m_home.path(); }
    QString dataFolder() const {
        return m_home.filePath(QStringLiteral(".local/share/Qorvel/Kontakty"));
    }
    QString database() const { return dataFolder() + QStringLiteral("/Tabulky/KONTAKTY.GDB"); }

    QProcessEnvironment environment(bool quitAfterShow = true) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home());
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"), log());
        if (quitAfterShow)
            env.insert(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        return env;
    }
    /// Starts `program` from the home folder until it quits after showing
    /// its window; returns the messages it showed.
    QStringList start(const QString &program, const QProcessEnvironment &env,
                      const QStringList &arguments = {}) {
        const ProcessRun run = runProcess(program, arguments, env, home());
        exitedByItself = run.finished && run.exitCode == 0;
        exitCode = run.finished ? run.exitCode : -1;
        const QStringList lines =
            QString::fromUtf8(contents(log())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QFile::remove(log());
        return lines;
    }
    QStringList start(const QString &program) { return start(program, environment()); }

    bool exitedByItself = false;
    int exitCode = -1; ///< -1 when it did not end by itself

  private:
    QString log() const { return m_home.filePath(QStringLiteral("messages.log")); }
    QTemporaryDir m_home;
};

/// The project installed with `cmake --install` into a temporary prefix.
class InstalledPrefix {
  public:
    /// Installs; check error() afterwards.
    InstalledPrefix() {
        const ProcessRun run = runProcess(QStringLiteral(CMAKE_COMMAND),
                                          {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                           QStringLiteral("--prefix"), m_dir.path()});
        if (!m_dir.isValid() || !run.finished || run.exitCode != 0)
            m_error = QStringLiteral("cmake --install failed: ") + run.out + run.err;
    }
    QString error() const { return m_error; }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }
    QString program() const { return filePath(QStringLiteral("bin/vizitar")); }

  private:
    QTemporaryDir m_dir;
    QString m_error;
};

} // namespace

class TestInstalled : public QObject {
    Q_OBJECT
    std::optional<InstalledPrefix> m_prefix;

  private slots:
    void initTestCase() {
        m_prefix.emplace();
        QVERIFY2(m_prefix->error().isEmpty(), qPrintable(m_prefix->error()));
    }

    void installsTheProgramsWithTheirMenuEntryIconsAndManPages() {
        QStringList missing;
        QStringList expected{QStringLiteral("bin/vizitar"),
                             QStringLiteral("bin/kontakty-initdb"),
                             QStringLiteral("share/applications/%1.desktop").arg(kAppId),
                             QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId),
                             QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId),
                             QStringLiteral("share/man/man1/vizitar.1.gz"),
                             QStringLiteral("share/man/man1/kontakty-initdb.1.gz")};
        for (const QString &file : expected)
            if (!QFileInfo(m_prefix->filePath(file)).isFile())
                missing << file;
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage icon(m_prefix->filePath(
                QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId)));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.pixelColor(size / 2, size / 2).alpha() > 0);
        }
        QVERIFY(QFileInfo(m_prefix->program()).isExecutable());
    }

    void theQuickStartBuildsOnlyTheProgramsItStarts() {
        // `./build.sh run` builds what it starts, not the test suite.
        const ProcessRun run =
            runProcess(QStringLiteral("bash"), {QStringLiteral(SOURCE_DIR "/build.sh"),
                                                QStringLiteral("targets"), QStringLiteral("run")});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.err));
        const QStringList targets = run.out.simplified().split(QLatin1Char(' '));
        QCOMPARE(targets,
                 QStringList({QStringLiteral("vizitar"), QStringLiteral("kontakty-initdb")}));
        for (const QString &program : targets)
            QVERIFY2(QFileInfo(m_prefix->filePath(QStringLiteral("bin/") + program)).isExecutable(),
                     qPrintable(program));
    }

    void desktopEntryAndMetainfoAreValid() {
        const QString desktop =
            m_prefix->filePath(QStringLiteral("share/applications/%1.desktop").arg(kAppId));
        ProcessRun run = runProcess(QStringLiteral("desktop-file-validate"), {desktop});
        QVERIFY2(run.finished && run.exitCode == 0 && run.out.isEmpty(),
                 qPrintable(run.out + run.err));
        run = runProcess(
            QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"),
             m_prefix->filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId))});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.out + run.err));

        // The entry starts the installed program with the installed icon.
        const QStringList entry = QString::fromUtf8(contents(desktop)).split(QLatin1Char('\n'));
        for (const QString &line :
             {QStringLiteral("Exec=vizitar"), QStringLiteral("Icon=") + kAppId,
              QStringLiteral("Categories=Office;ContactManagement;")})
            QVERIFY2(entry.contains(line), qPrintable(line));
    }

    void versionAnswersWithoutADisplay() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        const ProcessRun run = runProcess(m_prefix->program(), {QStringLiteral("--version")}, env);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("vizitar 080204.1\ndatabase structure 1.1\n"));
    }

    void firstStartCreatesAnEmptyDatabaseInTheDataFolder() {
        User user;
        QCOMPARE(user.start(m_prefix->program()), QStringList());
        QVERIFY(user.exitedByItself);
        QVERIFY(QFileInfo(user.database()).isFile());
        QVERIFY_DB(
            QCOMPARE(readNumbers(user.database(),
                                 "SELECT VERZE_HLAVNI * 100 + VERZE_VEDLEJSI FROM NASTAVENI"),
                     QList<qint64>{101});
            QCOMPARE(readNumbers(user.database(), "SELECT COUNT(*) FROM SVATEK"),
                     QList<qint64>{366});
            QCOMPARE(readNumbers(user.database(), "SELECT COUNT(*) FROM FIRMA"), QList<qint64>{0});
            QCOMPARE(readNumbers(user.database(), "SELECT COUNT(*) FROM KONTAKT"),
                     QList<qint64>{0}));
        // Nothing was written beside the installed program.
        QCOMPARE(QDir(m_prefix->filePath(QStringLiteral("bin")))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 (QStringList{QStringLiteral("kontakty-initdb"), QStringLiteral("vizitar")}));

        // The main window on that database: an empty board and the name days.
        TemporarySettings settings;
        base::msg::Recorder messages;
        const QString workingDirectory = QDir::currentPath();
        Tfm_Deska::clock() = [] { return QDate(2026, 12, 9); };
        {
            TDM dm;
            Tfm_Deska window(dm, user.dataFolder());
            QCOMPARE(window.baseDirectory(), QFileInfo(user.dataFolder()).canonicalFilePath());
            QCOMPARE(dm.qHlavniDeska.recordCount(), 0);
            QVERIFY2(window.ui().stbP1->text().contains(QStringLiteral("Vratislav")) &&
                         window.ui().stbP1->text().contains(QStringLiteral("Julie")),
                     qPrintable(window.ui().stbP1->text()));
        }
        Tfm_Deska::clock() = [] { return QDate::currentDate(); };
        QDir::setCurrent(workingDirectory);
        QCOMPARE(messages.messages.size(), size_t(0));
    }

    void secondStartOpensTheSameFile() {
        User user;
        QCOMPARE(user.start(m_prefix->program()), QStringList());
        const QString companyInserted =
            QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Pila Kovar')");
        db::DbConnection db;
        configureConnection(db, user.database());
        QVERIFY_DB(db.executeCommitted(companyInserted.toLatin1(), {}); db.setConnected(false));

        // While it runs, the program holds the file open and works in its folder.
        QProcess process;
        process.setProcessEnvironment(user.environment(false));
        process.setWorkingDirectory(QDir::tempPath());
        process.start(m_prefix->program(), {});
        QVERIFY(process.waitForStarted());
        const QString proc = QStringLiteral("/proc/%1/").arg(process.processId());
        const QString database = QFileInfo(user.database()).canonicalFilePath();
        auto holdsTheDatabase = [&] {
            const QDir fds(proc + QStringLiteral("fd"));
            for (const QFileInfo &fd :
                 fds.entryInfoList(QDir::NoDotAndDotDot | QDir::System | QDir::AllEntries))
                if (fd.symLinkTarget() == database)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(holdsTheDatabase(), 30000);
        QCOMPARE(QFileInfo(proc + QStringLiteral("cwd")).symLinkTarget(),
                 QFileInfo(user.dataFolder()).canonicalFilePath());
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished();
        }
        QVERIFY_DB(
            QCOMPARE(readNumbers(user.database(), "SELECT COUNT(*) FROM FIRMA"), QList<qint64>{1}));
    }

    void readOnlyTabulkyBesideTheProgramIsNeverWritten() {
        // A folder Tabulky that the package or an administrator left read-only,
        // holding a database: the program keeps its own in the data folder.
        const QString beside = m_prefix->filePath(QStringLiteral("bin/Tabulky"));
        const QString foreign = beside + QStringLiteral("/KONTAKTY.GDB");
        QVERIFY_DB(schema::createDatabase(foreign, {schema::Layout::V1_0, false}));
        const QByteArray before = contents(foreign);
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(
            QFile::setPermissions(foreign, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(beside, readOnly));

        User user;
        const QStringList messages = user.start(m_prefix->program());
        const QStringList besideAfter =
            QDir(beside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        const QByteArray after = contents(foreign);
        QFile::setPermissions(beside, readOnly | QFile::WriteOwner);
        QDir(beside).removeRecursively();

        QCOMPARE(messages, QStringList());
        QVERIFY(user.exitedByItself);
        QVERIFY(QFileInfo(user.database()).isFile());
        QCOMPARE(besideAfter, QStringList{QStringLiteral("KONTAKTY.GDB")});
        QVERIFY2(after == before, "the database beside the program must stay untouched");
    }

    void dataFolderThatCannotBeMadeIsReportedAndNoOtherDatabaseOpened() {
        User user;
        // The data folder would lie under a plain file.
        const QString blocker = user.home() + QStringLiteral("/blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // A database in the folder the program is started from must not be taken instead.
        const QString decoy = user.home() + QStringLiteral("/Tabulky/KONTAKTY.GDB");
        QVERIFY_DB(schema::createDatabase(decoy, {schema::Layout::Current, false}));
        const QByteArray before = contents(decoy);

        QProcessEnvironment env = user.environment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), blocker);
        const QStringList messages = user.start(m_prefix->program(), env);
        QVERIFY(user.exitedByItself);
        QVERIFY(!messages.isEmpty());
        QVERIFY2(messages.first().startsWith(
                     QStringLiteral("Kontakty|Databázi %1/Qorvel/Kontakty/Tabulky/KONTAKTY.GDB "
                                    "se nepodařilo vytvořit: složku ")
                         .arg(blocker)),
                 qPrintable(messages.join(QLatin1Char('\n'))));
        QVERIFY2(messages.contains(QStringLiteral(
                     "Error|Nastal problém s připojením databáze.\\nKontaktujte autora. "
                     "(podpora@qorvel.cz)")),
                 qPrintable(messages.join(QLatin1Char('\n'))));
        QVERIFY(contents(decoy) == before);
        QVERIFY(QFileInfo(blocker).isFile());
    }

    void aLockFolderThatCannotBeMadeIsNamedOnce() {
        User user;
        QFile blocker(user.home() + QStringLiteral("/.cache"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the cache folder belongs
        blocker.close();
        QProcessEnvironment env = user.environment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        const QStringList messages = user.start(m_prefix->program(), env);
        QCOMPARE(user.exitCode, 1); // nothing could be opened: it ends after saying so once
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(user.home() +
                                           QStringLiteral("/.cache/Qorvel/Kontakty/firebird")),
                 qPrintable(messages.first()));
        QVERIFY(!QFileInfo::exists(user.database()));
    }

    void anotherUserStartsItAfterRootUsedTheEngine_data() {
        QTest::addColumn<bool>("runtimeFolder");
        QTest::newRow("in a desktop session") << true;
        QTest::newRow("without a runtime folder (su, ssh, cron)") << false;
    }
    void anotherUserStartsItAfterRootUsedTheEngine() {
        QFETCH(bool, runtimeFolder);
        if (::geteuid() != 0)
            QSKIP("Starting the program as another user needs root; run as a normal user, the "
                  "other tests are this case already.");
        const passwd *nobody = ::getpwnam("nobody");
        QVERIFY(nobody);
        // Root uses the embedded engine first, so its lock folder in /tmp
        // belongs to root.
        QTemporaryDir rootsOwn;
        QVERIFY_DB(schema::createDatabase(rootsOwn.filePath(QStringLiteral("root.gdb")),
                                          {schema::Layout::Current, false}));

        User user;
        const QString runtime = user.home() + QStringLiteral("/runtime");
        QVERIFY(QDir().mkpath(runtime));
        for (const QString &path : {user.home(), runtime})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid),
                     0);
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString prefix = m_prefix->filePath(QString());
        const auto permissions = QFile::permissions(prefix);
        QVERIFY(QFile::setPermissions(prefix, permissions | QFile::ReadOther | QFile::ExeOther));

        QProcessEnvironment env = user.environment();
        if (runtimeFolder)
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        else
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        const QStringList asNobody{QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                   QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                                   QStringLiteral("--clear-groups"), m_prefix->program()};
        const QStringList messages = user.start(QStringLiteral("setpriv"), env, asNobody);
        QCOMPARE(messages, QStringList());
        QVERIFY(user.exitedByItself);
        QCOMPARE(QFileInfo(user.database()).ownerId(), nobody->pw_uid);
        // The locks in a folder of the user's own, open to nobody else.
        const QString locks =
            runtimeFolder ? runtime + QStringLiteral("/firebird")
                          : user.home() + QStringLiteral("/.cache/Qorvel/Kontakty/firebird");
        QVERIFY2(QFileInfo(locks).isDir(), qPrintable(locks));
        QCOMPARE(QFileInfo(locks).ownerId(), nobody->pw_uid);
        QCOMPARE(QFile::permissions(locks) &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());

        // The tool, too, as the user would fill the database with the demo.
        const QString demo = user.home() + QStringLiteral("/demo/KONTAKTY.GDB");
        const ProcessRun tool = runProcess(
            QStringLiteral("setpriv"),
            asNobody.mid(0, 3) << m_prefix->filePath(QStringLiteral("bin/kontakty-initdb"))
                               << QStringLiteral("--demo") << demo,
            env);
        QVERIFY2(tool.finished && tool.exitCode == 0, qPrintable(tool.err));
        QCOMPARE(QFileInfo(demo).ownerId(), nobody->pw_uid);
        QFile::setPermissions(prefix, permissions);
    }
};

QTEST_MAIN(TestInstalled)
#include "tst_installed.moc"
