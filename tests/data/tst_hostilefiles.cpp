// Database files that are damaged, foreign or out of reach: the data module
// gives its own message and then the cause naming the file, never crashes
// and never changes the file.
#include "ChildProcess.h"
#include "DataFixture.h"
#include "MessageService.h"
#include "OpenError.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

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
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

/// A filesystem of `bytes` mounted at `path` for the life of the object.
class SmallDisk {
public:
    SmallDisk(const QString &path, int bytes) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
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
    msg::Recorder messages;
    QString bad;

    Files() : bad(QDir(sound.base()).filePath(QStringLiteral("Tabulky/POKUS.GDB"))) { sound.disconnect(); }
    QByteArray soundBytes() { return readAll(sound.path()); }

    /// Opens `bad` through the data module; returns the messages shown.
    QStringList open() {
        sound.dm->ConnectAndOpenAll(bad, QString(), dbsettings::kPassword, dbsettings::kProtocol,
                                    dbsettings::kUser);
        QStringList texts;
        for (const auto &m : messages.messages)
            texts << m.text;
        return texts;
    }
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
        QFile::setPermissions(f.sound.base(), QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadOwner
                                                  | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(QFileInfo(f.bad).absolutePath(), QFile::permissions(f.sound.base()));
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
                ::_exit(3);
            const QByteArray cause = data::describeOpenFailure(f.bad, data::DbError(QStringLiteral("SQL Error"))).toUtf8();
            [[maybe_unused]] const ssize_t n = ::write(fds[1], cause.constData(), size_t(cause.size()));
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
            QSKIP("cannot become another user here (not root): the file's mode is then checked by the engine");
        QCOMPARE(QString::fromUtf8(answer),
                 QStringLiteral("Soubor databáze „%1“ nelze číst: Permission denied. Zkontrolujte oprávnění k "
                                "souboru.").arg(f.bad));
    }

    void badFileIsReportedWithItsCauseAndLeftAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("empty file") << "empty" << "Soubor databáze „%1“ je prázdný.";
        QTest::newRow("random bytes") << "random"
                                      << "Soubor „%1“ není databáze (začátek souboru neodpovídá databázi): je "
                                         "poškozený nebo jde o jiný druh souboru.";
        QTest::newRow("a few bytes") << "short"
                                     << "Soubor „%1“ je příliš krátký na databázi (7 bajtů): je poškozený nebo "
                                        "neúplně zkopírovaný.";
        QTest::newRow("truncated copy") << "truncated"
                                        << "Soubor „%1“ je neúplný (300000 bajtů, zkrácená kopie?): databázi v něm "
                                           "nelze otevřít.";
        QTest::newRow("older structure") << "ods11"
                                         << "Soubor „%1“ má starší formát databáze (ODS 11, Firebird 2.x a starší); "
                                            "program pracuje s formátem 12. Převeďte databázi zálohou a obnovou "
                                            "(gbak).";
        QTest::newRow("damaged pages") << "damaged"
                                       << "Soubor databáze „%1“ je poškozený: databázi v něm nelze číst. Obnovte ji "
                                          "ze zálohy.";
        QTest::newRow("directory in its place") << "directory" << "Na místě souboru databáze „%1“ je složka.";
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
        }
        const QByteArray before = QFileInfo(f.bad).isDir() ? QByteArray() : fingerprint(f.bad);
        const QStringList shown = f.open();
        QCOMPARE(shown, (QStringList{QStringLiteral("Chyba nastala v tabulce: Nepovedlo se pripojit k DB"),
                                     cause.arg(QFileInfo(f.bad).absoluteFilePath()),
                                     QStringLiteral("Chyba nastala v query: Hlavni deska")}));
        QCOMPARE(f.messages.messages[1].kind, msg::Kind::Error);
        QVERIFY(!f.sound.dm->ZConKontakty.isConnected());
        if (!before.isEmpty())
            QVERIFY2(fingerprint(f.bad) == before, "the file must stay as it was");
    }

    void writeProtectedFileOpensForReading() {
        Files f;
        f.sound.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"));
        f.sound.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                                    "(1, 1, 'Jana', 'Malá', ' ')"));
        f.sound.disconnect();
        writeAll(f.bad, f.soundBytes());
        if (!setImmutable(f.bad, true))
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
        } catch (const data::DbError &e) {
            refusal = e.message();
        }
        const bool stillEditing = dm.tKONTAKT.isEditing();
        dm.ZConKontakty.setConnected(false);
        setImmutable(f.bad, false);
        const QString name = QFileInfo(f.bad).absoluteFilePath();
        QCOMPARE(shown, QStringList{QStringLiteral("Soubor databáze „%1“ je chráněn proti zápisu. Databáze je "
                                                   "otevřena jen pro čtení: lze ji prohlížet a tisknout, změny "
                                                   "nelze uložit.").arg(name)});
        QCOMPARE(boardRows, 2); // the company line and its contact
        QCOMPARE(refusal, QStringLiteral("Databáze „%1“ je otevřena jen pro čtení (soubor je chráněn proti zápisu): "
                                         "změny nelze uložit.").arg(name));
        QVERIFY(stillEditing); // the typing is kept until the user cancels
        QVERIFY2(fingerprint(f.bad) == before, "the file must stay as it was");
    }

    void diskFullWhileConfirmingIsReportedAndLosesNothing() {
        Files f;
        SmallDisk disk(QDir(f.sound.base()).filePath(QStringLiteral("maly-disk")), 4 * 1024 * 1024);
        if (!disk.mounted())
            QSKIP("cannot mount a size-limited filesystem here (needs root and the right to mount)");
        const QString path = QDir(disk.path()).filePath(QStringLiteral("KONTAKTY.GDB"));
        QVERIFY(QFile::copy(f.sound.path(), path));
        f.sound.dm->ConnectAndOpenAll(path, QString(), dbsettings::kPassword, dbsettings::kProtocol,
                                      dbsettings::kUser);
        QVERIFY(f.messages.messages.empty());
        data::TableDataset &contacts = f.sound.dm->tKONTAKT;
        int confirmed = 0;
        QString refusal;
        QByteArray photo(64 * 1024, 'x');
        for (int id = 1; id <= 200 && refusal.isEmpty(); ++id) {
            try {
                contacts.insert();
                contacts.fieldByName(QStringLiteral("ID"))->setAsInteger(id);
                contacts.fieldByName(QStringLiteral("PRIJMENI"))->setAsString(QStringLiteral("Plný %1").arg(id));
                photo[0] = char(id);
                contacts.fieldByName(QStringLiteral("OBR"))->setAsBytes(photo);
                contacts.post();
                ++confirmed;
            } catch (const data::DbError &e) {
                refusal = e.message();
            }
        }
        const bool stillInserting = contacts.state() == data::Dataset::State::Insert;
        contacts.cancel();
        f.sound.dm->ZConKontakty.setConnected(false);
        QVERIFY2(refusal.startsWith(QStringLiteral("Na disku se souborem „%1“ není volné místo").arg(path)),
                 qPrintable(refusal));
        QVERIFY(confirmed > 0);
        QVERIFY(stillInserting); // the row typed stays for another try
        QCOMPARE(validateDatabase(path), QString());
        f.sound.dm->ConnectAndOpenAll(path, QString(), dbsettings::kPassword, dbsettings::kProtocol,
                                      dbsettings::kUser);
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
#include "tst_hostilefiles.moc"
