// Database files that are damaged, foreign or out of reach: the data module
// gives its own message and then the cause naming the file, never crashes
// and never changes the file.
#include "base/MessageService.h"
#include "db/OpenError.h"
#include "support/ChildProcess.h"
#include "support/DataFixture.h"
#include "support/TestServer.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fingerprint(const QString &path) {
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
}

/// Sets or clears the immutable attribute: even root may then not write.
bool setImmutable(const QString &path, bool on) {
    return QProcess::execute(QStringLiteral("chattr"),
                             {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

/// A filesystem of `bytes` mounted at `path` for the life of the object.
class SmallDisk {
  public:
    SmallDisk(const QString &path, int bytes) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                       QStringLiteral("-o"), QStringLiteral("size=%1").arg(bytes),
                                       QStringLiteral("tmpfs"), path}) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_path});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; }

  private:
    QString m_path;
    bool m_mounted = false;
};

/// A sound database and a second, damaged or foreign, file beside it.
struct Files {
    DataFixture sound;
    base::msg::Recorder messages;
    QString bad;

    Files() : bad(QDir(sound.base()).filePath(QStringLiteral("Tabulky/POKUS.GDB"))) {
        sound.disconnect();
    }
    QByteArray soundBytes() { return readAll(sound.path()); }

    /// Opens `bad` through the data module; returns the messages shown.
    QStringList open() {
        sound.dm->ConnectAndOpenAll(bad, QString(), db::settings::kPassword,
                                    db::settings::kProtocol, db::settings::kUser);
        QStringList texts;
        for (const auto &m : messages.messages)
            texts << m.text;
        return texts;
    }
};

// Page types of the engine's own bookkeeping.
constexpr char kHeaderPage = 1;
constexpr char kTransactionPage = 3;

/// Noise over the pages [first, last) of `bytes`, with each page's flags
/// byte cleared so that the engine reads the pages as damaged, not as
/// encrypted.
void noiseOverPages(QByteArray &bytes, int first, int last) {
    QRandomGenerator rng(18);
    for (qsizetype at = qsizetype(first) * 8192; at < qsizetype(last) * 8192 && at < bytes.size();
         ++at)
        bytes[at] = at % 8192 == 1 ? char(0) : char(rng.bounded(256));
}

/// Where the client turns when the embedded engine cannot open a file: a
/// server on this machine. A private client configuration (FIREBIRD) names
/// a loopback port this object listens on and counts every connection made
/// to it; each is closed at once.
class FallbackTrap {
  public:
    FallbackTrap() {
        m_v4.listen(QHostAddress::LocalHost, 0);
        m_v6.listen(QHostAddress::LocalHostIPv6, m_v4.serverPort()); // where the machine has IPv6
        for (QTcpServer *server : {&m_v4, &m_v6})
            QObject::connect(server, &QTcpServer::newConnection, server, [this, server] {
                while (QTcpSocket *socket = server->nextPendingConnection()) {
                    ++m_connections;
                    socket->abort();
                    socket->deleteLater();
                }
            });
        const QDir dir(m_dir.path());
        dir.mkpath(QStringLiteral("intl"));
        dir.mkpath(QStringLiteral("lock"));
        QFile::copy(QDir(firebirdInstallRoot()).filePath(QStringLiteral("intl/libfbintl.so")),
                    dir.filePath(QStringLiteral("intl/libfbintl.so")));
        QFile conf(dir.filePath(QStringLiteral("firebird.conf")));
        if (conf.open(QIODevice::WriteOnly))
            conf.write(QByteArray("RemoteServicePort = ") + QByteArray::number(m_v4.serverPort()) +
                       '\n');
    }
    bool isListening() const { return m_v4.isListening(); }
    int connections() const { return m_connections; }
    /// Makes the client of `process` use the private configuration.
    void applyTo(ChildProcess &process) const {
        process.setEnv(QStringLiteral("FIREBIRD"), m_dir.path());
        process.setEnv(QStringLiteral("FIREBIRD_LOCK"),
                       QDir(m_dir.path()).filePath(QStringLiteral("lock")));
        process.setEnv(QStringLiteral("FIREBIRD_MSG"), firebirdInstallRoot());
    }

  private:
    QTemporaryDir m_dir;
    QTcpServer m_v4, m_v6;
    int m_connections = 0;
};

/// The real program on `database`, with settings, data and its message log
/// in a temporary home; its messages are answered without a window.
class Program {
  public:
    explicit Program(const QString &database)
        : m_process(QStringLiteral(VIZITAR_EXECUTABLE), {QStringLiteral("--database"), database}) {
        m_process.setEnv(QStringLiteral("VIZITAR_MESSAGE_LOG"), logPath());
        m_process.setEnv(QStringLiteral("XDG_CONFIG_HOME"),
                         m_home.filePath(QStringLiteral("config")));
        m_process.setEnv(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        m_process.setEnv(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    }
    ChildProcess &process() { return m_process; }
    QString log() const { return QString::fromUtf8(readAll(logPath())); }
    bool finished() { return m_process.process().state() == QProcess::NotRunning; }

  private:
    QString logPath() const { return m_home.filePath(QStringLiteral("messages.log")); }
    QTemporaryDir m_home;
    ChildProcess m_process;
};

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
  private slots:
    // First, while this process has no threads yet: the check forks.
    void unreadableFileNamesThePermission() {
        Files f;
        writeAll(f.bad, f.soundBytes());
        QFile::setPermissions(f.bad, QFileDevice::WriteOwner);
        // Root may read any file whatever its mode: the check runs in a
        // child process that has become an ordinary user.
        QFile::setPermissions(f.sound.base(), QFileDevice::ReadOther | QFileDevice::ExeOther |
                                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        QFile::setPermissions(QFileInfo(f.bad).absolutePath(), QFile::permissions(f.sound.base()));
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
                ::_exit(3);
            const QByteArray cause =
                db::describeOpenFailure(f.bad, db::DbError(QStringLiteral("SQL Error"))).toUtf8();
            [[maybe_unused]] const ssize_t n =
                ::write(fds[1], cause.constData(), size_t(cause.size()));
            ::_exit(0);
        }
        ::close(fds[1]);
        QByteArray answer;
        char buffer[1024];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            answer.append(buffer, n);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
            QSKIP("cannot become another user here (not root): the file's mode is then checked by "
                  "the engine");
        QCOMPARE(QString::fromUtf8(answer),
                 QStringLiteral(
                     "Soubor databáze „%1“ nelze číst: Permission denied. Zkontrolujte oprávnění k "
                     "souboru.")
                     .arg(f.bad));
    }

    void badFileIsReportedWithItsCauseAndLeftAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("empty file") << "empty"
                                    << "Soubor databáze „%1“ je prázdný.";
        QTest::newRow("random bytes")
            << "random"
            << "Soubor „%1“ není databáze (začátek souboru neodpovídá databázi): je "
               "poškozený nebo jde o jiný druh souboru.";
        QTest::newRow("a few bytes")
            << "short"
            << "Soubor „%1“ je příliš krátký na databázi (7 bajtů): je poškozený nebo "
               "neúplně zkopírovaný.";
        QTest::newRow("truncated copy")
            << "truncated"
            << "Soubor „%1“ je neúplný (300000 bajtů, zkrácená kopie?): databázi v něm "
               "nelze otevřít.";
        QTest::newRow("older structure")
            << "ods11"
            << "Soubor „%1“ má starší formát databáze (ODS 11, Firebird 2.x a starší); "
               "program pracuje s formátem 12. Převeďte databázi zálohou a obnovou "
               "(gbak).";
        QTest::newRow("damaged pages")
            << "damaged"
            << "Soubor databáze „%1“ je poškozený: databázi v něm nelze číst. Obnovte ji "
               "ze zálohy.";
        QTest::newRow("directory in its place") << "directory"
                                                << "Na místě souboru databáze „%1“ je složka.";
        QTest::newRow("cut at a page boundary")
            << "page boundary"
            << "Soubor „%1“ je neúplný (819200 bajtů, zkrácená kopie?): chybí v něm konec "
               "databáze. Obnovte ji ze zálohy.";
        QTest::newRow("newer minor structure")
            << "ods12.9"
            << "Soubor „%1“ má novější formát databáze (ODS 12.9), než jaký zná databázový stroj "
               "programu. Otevřete ho programem s novějším Firebirdem, nebo ho převeďte zálohou a "
               "obnovou (gbak).";
        QTest::newRow("newer structure")
            << "ods13"
            << "Soubor „%1“ má novější formát databáze (ODS 13), než jaký program zná "
               "(12).";
        // Refused before the database client sees the path: such a path
        // crashed the client (a loop) or blocked the start for good (a pipe).
        QTest::newRow("symlink loop")
            << "loop"
            << "Cesta k databázi „%1“ vede do smyčky symbolických odkazů (odkaz ukazuje "
               "zpět na sebe): soubor databáze v ní nelze najít.";
        QTest::newRow("link to nothing")
            << "dangling"
            << "Soubor databáze „%1“ je odkaz na „/nikde-neni/KONTAKTY.GDB“, který neexistuje.";
        const char *notAFile =
            "Na místě souboru databáze „%1“ je %2, ne soubor. Program otevírá jen obyčejný soubor "
            "databáze; zkontrolujte cestu k databázi.";
        QTest::newRow("pipe") << "fifo"
                              << QString::fromUtf8(notAFile).replace(
                                     u"%2"_qs, u"pojmenovaná roura (FIFO)"_qs);
        QTest::newRow("device") << "device"
                                << QString::fromUtf8(notAFile).replace(u"%2"_qs, u"zařízení"_qs);
        QTest::newRow("socket") << "socket"
                                << QString::fromUtf8(notAFile).replace(u"%2"_qs, u"soket"_qs);
    }
    void badFileIsReportedWithItsCauseAndLeftAsItWas() {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        Files f;
        const QByteArray sound = f.soundBytes();
        if (kind == QLatin1String("empty")) {
            writeAll(f.bad, QByteArray());
        } else if (kind == QLatin1String("random")) {
            QByteArray noise(sound.size(), Qt::Uninitialized);
            QRandomGenerator rng(18);
            for (char &c : noise)
                c = char(rng.bounded(256));
            noise[0] = 7; // not the header page's type
            writeAll(f.bad, noise);
        } else if (kind == QLatin1String("short")) {
            writeAll(f.bad, sound.left(7));
        } else if (kind == QLatin1String("truncated")) {
            writeAll(f.bad, sound.left(300000));
        } else if (kind == QLatin1String("ods11")) {
            QByteArray old = sound;
            old[18] = 11; // the structure of the 2.x engines, flag byte kept
            writeAll(f.bad, old);
        } else if (kind == QLatin1String("damaged")) {
            QByteArray damaged = sound; // a sound header, noise over pages 20 to 59
            QRandomGenerator rng(18);
            for (int at = 20 * 8192; at < 60 * 8192; ++at)
                damaged[at] = char(rng.bounded(256));
            writeAll(f.bad, damaged);
        } else if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkpath(f.bad));
        } else if (kind == QLatin1String("page boundary")) {
            writeAll(f.bad, sound.left(100 * 8192)); // of about 230 pages
        } else if (kind == QLatin1String("ods12.9")) {
            QByteArray newer = sound;
            newer[64] = 9; // the minor version: the header check passes it, the engine does not
            writeAll(f.bad, newer);
        } else if (kind == QLatin1String("ods13")) {
            QByteArray newer = sound;
            newer[18] = 13;
            writeAll(f.bad, newer);
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(QFile::link(f.bad, f.bad));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(QStringLiteral("/nikde-neni/KONTAKTY.GDB"), f.bad));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(f.bad).constData(), 0600), 0);
        } else if (kind == QLatin1String("device")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), f.bad));
        }
        QLocalServer socket;
        if (kind == QLatin1String("socket"))
            QVERIFY(socket.listen(f.bad));
        const QByteArray before = QFileInfo(f.bad).isFile() ? fingerprint(f.bad) : QByteArray();
        const QStringList shown = f.open();
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("Chyba nastala v tabulce: Nepovedlo se pripojit k DB"),
                              cause.arg(QFileInfo(f.bad).absoluteFilePath()),
                              QStringLiteral("Chyba nastala v query: Hlavni deska")}));
        QCOMPARE(f.messages.messages[1].kind, base::msg::Kind::Error);
        QVERIFY(!f.sound.dm->ZConKontakty.isConnected());
        if (!before.isEmpty())
            QVERIFY2(fingerprint(f.bad) == before, "the file must stay as it was");
    }

    void damagedDataPagesAreNamedWhenTheBoardIsRead() {
        Files f;
        // Enough rows that the last pages hold nothing but theirs.
        f.sound.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"));
        QList<QVariantList> rows;
        for (int id = 1; id <= 3000; ++id)
            rows << QVariantList{id,
                                 QStringLiteral("Kontaktní osoba číslo %1 z firmy Alfa").arg(id)};
        f.sound.connection().executeBatch(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (?, 1, ?, ' ')", rows);
        f.sound.disconnect();
        QByteArray damaged = f.soundBytes();
        const int pages = int(damaged.size() / 8192);
        noiseOverPages(damaged, pages - 40, pages - 5);
        writeAll(f.bad, damaged);
        QCOMPARE(f.open(),
                 (QStringList{
                     QStringLiteral("Chyba nastala v query: Hlavni deska"),
                     QStringLiteral("Soubor databáze „%1“ je poškozený: databázi v něm nelze číst. "
                                    "Obnovte ji ze zálohy.")
                         .arg(f.bad)}));
        f.sound.dm->ZConKontakty.setConnected(false);
        // The file opened, so the engine counted its reading transaction in
        // the header and the transaction inventory; no other page changed.
        const QByteArray after = readAll(f.bad);
        QCOMPARE(after.size(), damaged.size());
        for (qsizetype at = 0; at < after.size(); at += 8192) {
            const bool same = after.mid(at, 8192) == damaged.mid(at, 8192);
            QVERIFY2(same || after[at] == kHeaderPage || after[at] == kTransactionPage,
                     qPrintable(QStringLiteral("page %1 changed").arg(at / 8192)));
        }
    }

    void writeProtectedFileOpensForReading_data() {
        QTest::addColumn<bool>("immutable");
        QTest::newRow("immutable") << true;
        // Root may write it all the same; it must not, as no one else may.
        QTest::newRow("no write permission") << false;
    }
    void writeProtectedFileOpensForReading() {
        QFETCH(bool, immutable);
        Files f;
        f.sound.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"));
        f.sound.exec(
            QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                           "(1, 1, 'Jana', 'Malá', ' ')"));
        f.sound.disconnect();
        writeAll(f.bad, f.soundBytes());
        if (!immutable)
            QVERIFY(QFile::setPermissions(f.bad, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        else if (!setImmutable(f.bad, true))
            QSKIP("chattr +i is not available on this filesystem; root ignores permission bits");
        const QByteArray before = fingerprint(f.bad);
        const QStringList shown = f.open();
        TDM &dm = *f.sound.dm;
        const int boardRows = dm.qHlavniDeska.isActive() ? dm.qHlavniDeska.recordCount() : -1;
        QString refusal;
        try {
            dm.tKONTAKT.edit();
            dm.tKONTAKT.fieldByName(QStringLiteral("JMENO"))->setAsString(QStringLiteral("Johana"));
            dm.tKONTAKT.post();
        } catch (const db::DbError &e) {
            refusal = e.message();
        }
        const bool stillEditing = dm.tKONTAKT.isEditing();
        dm.ZConKontakty.setConnected(false);
        setImmutable(f.bad, false);
        const QString name = QFileInfo(f.bad).absoluteFilePath();
        QCOMPARE(
            shown,
            QStringList{QStringLiteral("Soubor databáze „%1“ je chráněn proti zápisu. Databáze je "
                                       "otevřena jen pro čtení: lze ji prohlížet a tisknout, změny "
                                       "nelze uložit.")
                            .arg(name)});
        QCOMPARE(boardRows, 2); // the company line and its contact
        QCOMPARE(refusal,
                 QStringLiteral(
                     "Databáze „%1“ je otevřena jen pro čtení (soubor je chráněn proti zápisu): "
                     "změny nelze uložit.")
                     .arg(name));
        QVERIFY(stillEditing); // the typing is kept until the user cancels
        QVERIFY2(fingerprint(f.bad) == before, "the file must stay as it was");
    }

    void hostilePathNeitherCrashesNorBlocksAndASignalEndsTheProgram_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("symlink loop") << "loop"; // crashed the database client
        QTest::newRow("pipe") << "fifo";         // blocked the start for good
    }
    void hostilePathNeitherCrashesNorBlocksAndASignalEndsTheProgram() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("KONTAKTY.GDB"));
        if (kind == QLatin1String("loop"))
            QVERIFY(QFile::link(path, path));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        Program program(path);
        QVERIFY(program.process().start());
        // The program names the path and stays open with an empty board.
        QTRY_VERIFY2_WITH_TIMEOUT(program.log().contains(path) || program.finished(),
                                  "no message in 30 s", 30000);
        QVERIFY2(!program.finished(), qPrintable(program.log()));
        QVERIFY2(program.log().contains(
                     u"Error|"_qs +
                     (kind == QLatin1String("loop")
                          ? u"Cesta k databázi „%1“ vede do smyčky"_qs.arg(path)
                          : u"Na místě souboru databáze „%1“ je pojmenovaná roura"_qs.arg(path))),
                 qPrintable(program.log()));
        program.process().signal(SIGTERM);
        QVERIFY(program.process().process().waitForFinished(10000));
        QCOMPARE(program.process().process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().process().exitCode(), 0);
    }

    void aFileIsOpenedByTheEmbeddedEngineAloneNeverOverTheNetwork() {
        FallbackTrap trap;
        QVERIFY(trap.isListening());
        Files f;
        // A sound header over a file cut at a page boundary: the engine
        // itself fails on it, and the client would try a server next.
        writeAll(f.bad, f.soundBytes().left(100 * 8192));
        Program program(f.bad);
        trap.applyTo(program.process());
        program.process().setEnv(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        QVERIFY(program.process().start());
        QTRY_VERIFY_WITH_TIMEOUT(program.finished(), 30000);
        QCOMPARE(trap.connections(), 0);
        QVERIFY2(program.log().contains(QStringLiteral("Error|Soubor „%1“ je neúplný").arg(f.bad)),
                 qPrintable(program.log()));
        // So does the tool that makes a database, on a name too long for the file system.
        ChildProcess tool(QStringLiteral(INITDB_EXE),
                          {QDir(f.sound.base()).filePath(QString(300, u'k'))});
        trap.applyTo(tool);
        QVERIFY(tool.start());
        QTRY_VERIFY_WITH_TIMEOUT(tool.process().state() == QProcess::NotRunning, 30000);
        QCOMPARE(tool.process().exitCode(), 1);
        QCOMPARE(trap.connections(), 0);
    }

    void diskFullWhileConfirmingIsReportedAndLosesNothing() {
        Files f;
        SmallDisk disk(QDir(f.sound.base()).filePath(QStringLiteral("maly-disk")), 4 * 1024 * 1024);
        if (!disk.mounted())
            QSKIP(
                "cannot mount a size-limited filesystem here (needs root and the right to mount)");
        const QString path = QDir(disk.path()).filePath(QStringLiteral("KONTAKTY.GDB"));
        QVERIFY(QFile::copy(f.sound.path(), path));
        f.sound.dm->ConnectAndOpenAll(path, QString(), db::settings::kPassword,
                                      db::settings::kProtocol, db::settings::kUser);
        QVERIFY(f.messages.messages.empty());
        dataset::TableDataset &contacts = f.sound.dm->tKONTAKT;
        int confirmed = 0;
        QString refusal;
        QByteArray photo(64 * 1024, 'x');
        for (int id = 1; id <= 200 && refusal.isEmpty(); ++id) {
            try {
                contacts.insert();
                contacts.fieldByName(QStringLiteral("ID"))->setAsInteger(id);
                contacts.fieldByName(QStringLiteral("PRIJMENI"))
                    ->setAsString(QStringLiteral("Plný %1").arg(id));
                photo[0] = char(id);
                contacts.fieldByName(QStringLiteral("OBR"))->setAsBytes(photo);
                contacts.post();
                ++confirmed;
            } catch (const db::DbError &e) {
                refusal = e.message();
            }
        }
        const bool stillInserting = contacts.state() == dataset::Dataset::State::Insert;
        contacts.cancel();
        f.sound.dm->ZConKontakty.setConnected(false);
        QVERIFY2(refusal.startsWith(
                     QStringLiteral("Na disku se souborem „%1“ není volné místo").arg(path)),
                 qPrintable(refusal));
        QVERIFY(confirmed > 0);
        QVERIFY(stillInserting); // the row typed stays for another try
        QCOMPARE(validateDatabase(path), QString());
        f.sound.dm->ConnectAndOpenAll(path, QString(), db::settings::kPassword,
                                      db::settings::kProtocol, db::settings::kUser);
        QCOMPARE(contacts.recordCount(), confirmed); // every confirm that returned, nothing more
        f.sound.dm->ZConKontakty.setConnected(false);
    }

    void readOnlyFolderStillOpens() {
        // The engine writes only into the file itself.
        Files f;
        const QString folder = QFileInfo(f.sound.path()).absolutePath();
        if (!setImmutable(folder, true))
            QSKIP("chattr +i is not available on this filesystem; root ignores permission bits");
        f.sound.openAll();
        const bool boardOpen = f.sound.dm->qHlavniDeska.isActive();
        f.sound.dm->ZConKontakty.setConnected(false);
        setImmutable(folder, false);
        QVERIFY(boardOpen);
        QCOMPARE(f.messages.messages.size(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "db/DatabaseTarget.h"
#include "tst_hostilefiles.moc"
