// Logging in to a server database in the running program: the login dialog
// answered through the program's windows, and a password remembered in a
// real secret service (a keyring daemon on a private session bus).
#include "DrivenProgram.h"
#include "forms/MessageTexts.h"
#include "login/LoginFlow.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"
#include "ui/MessageBoxService.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

/// A session bus and an unlocked keyring of the test's own, in `home`; the
/// desktop's session is never touched. Both end with the object.
class PrivateKeyring {
  public:
    static QString missingReason() {
        for (const char *program : {"dbus-daemon", "dbus-send", "gnome-keyring-daemon"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
                return QStringLiteral(
                           "%1 is not installed (scripts/setup.sh installs dbus and gnome-keyring)")
                    .arg(QString::fromLatin1(program));
        return {};
    }

    explicit PrivateKeyring(const QString &home)
        : m_address(QStringLiteral("unix:path=%1/run/bus").arg(home)),
          m_bus(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1"), QStringLiteral("--address=") + m_address}),
          m_keyring(QStringLiteral("gnome-keyring-daemon"),
                    {QStringLiteral("--unlock"), QStringLiteral("--components=secrets"),
                     QStringLiteral("--foreground")}) {
        for (ChildProcess *process : {&m_bus, &m_keyring}) {
            process->setEnv(QStringLiteral("HOME"), home);
            process->setEnv(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
            process->setEnv(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
            process->setEnv(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
            process->setEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        }
    }
    QString address() const { return m_address; }

    /// Starts the bus, then the keyring with a new unlocked login collection;
    /// true once the keyring serves secrets on the bus.
    bool start() {
        if (!m_bus.start() || !m_bus.process().waitForReadyRead(30000))
            return false;
        if (!m_keyring.start())
            return false;
        // The password of the new login collection, read from stdin.
        m_keyring.process().write("kontakty-test");
        m_keyring.process().waitForBytesWritten(10000);
        m_keyring.process().closeWriteChannel();
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (servesSecrets())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

  private:
    bool servesSecrets() {
        QProcess ask;
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--bus=") + m_address, QStringLiteral("--print-reply"),
                   QStringLiteral("--dest=org.freedesktop.DBus"),
                   QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                   QStringLiteral("string:org.freedesktop.secrets")});
        return ask.waitForFinished(10000) && ask.readAllStandardOutput().contains("boolean true");
    }

    QString m_address;
    ChildProcess m_bus; ///< declared first: ends last
    ChildProcess m_keyring;
};

} // namespace

class TestLoginPrograms : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QTemporaryDir homes;
    QString target;
    int started = 0;

    /// A program with a home of its own (or `home` again), with no login in its environment.
    std::unique_ptr<DrivenProgram> program(const QString &home = {}) {
        return std::make_unique<DrivenProgram>(
            home.isEmpty() ? homes.filePath(QStringLiteral("p%1").arg(++started)) : home, target);
    }
    static QString settingsText(const DrivenProgram &program) {
        QFile file(program.settingsFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    /// Answers the login dialog on top with `user` and `password`.
    void answerLogin(DrivenProgram &p, const QString &user, const QString &password,
                     bool remember) {
        EXPECT_WINDOW(p, "LoginDialog");
        ACT(p, QStringLiteral("type eUzivatel ") + user);
        ACT(p, QStringLiteral("type eHeslo ") + password);
        ACT(p, QStringLiteral("check cbZapamatovat ") +
                   (remember ? QStringLiteral("on") : QStringLiteral("off")));
        ACT(p, "button Přihlásit");
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        std::unique_ptr<db::DbConnection> own;
        QVERIFY_DB(own = createServerDatabase(*server, QStringLiteral("kontakty.fdb")));
        target = own->database();
        QVERIFY_DB(
            own->executeCommitted("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')", {});
            own->executeCommitted(
                "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (1, 1, 0, '***')",
                {}));
    }
    void cleanupTestCase() { server.reset(); }

    void aWrongPasswordIsSaidAndAskedAgainThenTheBoardOpens() {
        auto p = program();
        p->setEnv(QStringLiteral("ISC_USER"), server->user());
        p->setEnv(QStringLiteral("ISC_PASSWORD"), QStringLiteral("wrong"));
        QVERIFY(p->start());
        // The server refused the environment's login: the dialog says so.
        EXPECT_WINDOW(*p, "LoginDialog");
        QCOMPARE(p->ask("text lChyba"), QStringLiteral("ok ") + login::kLoginRefused);
        QCOMPARE(p->ask("text eUzivatel"), QStringLiteral("ok ") + server->user());
        answerLogin(*p, server->user(), QStringLiteral("still wrong"), false);
        EXPECT_WINDOW(*p, "LoginDialog");
        QCOMPARE(p->list("shown"),
                 QStringList({QStringLiteral("LoginDialog"), QStringLiteral("LoginDialog")}));
        QCOMPARE(p->ask("text lChyba"), QStringLiteral("ok ") + login::kLoginRefused);

        // Without a secret service the password cannot be kept: the user is
        // told, and the program goes on.
        answerLogin(*p, server->user(), server->password(), true);
        EXPECT_WINDOW(*p, "QMessageBox");
        QVERIFY2(p->ask("message").startsWith(QStringLiteral("ok Heslo se nepodařilo zapamatovat")),
                 qPrintable(p->ask("message")));
        ACT(*p, "button OK");
        EXPECT_WINDOW(*p, "fm_Deska");
        QCOMPARE(p->list("rows"), QStringList{QStringLiteral("Alfa (tel: , mob: , fax: )")});
        QCOMPARE(p->list("messages").size(), 1);
        QVERIFY(p->end());
        const QString settings = settingsText(*p);
        QVERIFY2(settings.contains(server->user()) && !settings.contains(server->password()),
                 qPrintable(settings));
    }

    void aSignalEndsTheLoginDialogAskedAgain() {
        auto p = program();
        p->setEnv(QStringLiteral("ISC_USER"), server->user());
        p->setEnv(QStringLiteral("ISC_PASSWORD"), QStringLiteral("wrong"));
        QVERIFY(p->start());
        answerLogin(*p, server->user(), QStringLiteral("still wrong"), false);
        EXPECT_WINDOW(*p, "LoginDialog"); // asked again, after the client library took the signals
        QVERIFY(p->end());                // SIGTERM ended it, not SIGKILL
    }

    void cancellingTheLoginGoesOnAsAnUnreachableDatabase() {
        auto p = program();
        QVERIFY(p->start());
        EXPECT_WINDOW(*p, "LoginDialog");
        QCOMPARE(p->ask("text lChyba"), QStringLiteral("ok "));
        ACT(*p, "button Zrušit");
        // As with a database it cannot reach: the user is told, the messages
        // are answered, and the program stays with an empty board.
        EXPECT_WINDOW(*p, "QMessageBox");
        const QString first = p->ask("message");
        QVERIFY2(first.contains(QStringLiteral("Nepovedlo se pripojit k DB")), qPrintable(first));
        int answered = 0;
        while (p->ask("window") == QStringLiteral("ok QMessageBox") && answered++ < 6)
            ACT(*p, "button OK");
        EXPECT_WINDOW(*p, "fm_Deska");
        QVERIFY2(
            p->list("messages")
                .contains(ui::MessageBoxService::screenText(forms::texts::msgDatabaseProblem())),
            qPrintable(p->list("messages").join(QLatin1Char('|'))));
        QCOMPARE(p->list("rows"), QStringList());
        QVERIFY(p->end());
    }

    void aRememberedPasswordLogsInWithoutTheDialog() {
        const QString reason = PrivateKeyring::missingReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        const QString home = homes.filePath(QStringLiteral("keyring"));
        auto first = program(home); // makes the home's folders
        PrivateKeyring keyring(home);
        QVERIFY2(keyring.start(), "the private session bus and keyring did not start");
        first->setEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), keyring.address());
        QVERIFY(first->start());
        answerLogin(*first, server->user(), server->password(), true);
        EXPECT_WINDOW(*first, "fm_Deska");
        QCOMPARE(first->list("messages"), QStringList()); // kept without a word
        QVERIFY(first->end());
        const QString settings = settingsText(*first);
        QVERIFY2(settings.contains(server->user()) && !settings.contains(server->password()),
                 qPrintable(settings));
        QVERIFY(QFile::exists(home + QStringLiteral("/data/keyrings/login.keyring")));

        // The next start finds it there: no dialog, no login in its environment.
        auto second = program(home);
        second->setEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), keyring.address());
        QVERIFY(second->start());
        EXPECT_WINDOW(*second, "fm_Deska");
        QCOMPARE(second->list("shown"), QStringList{QStringLiteral("fm_Deska")});
        QCOMPARE(second->list("rows"), QStringList{QStringLiteral("Alfa (tel: , mob: , fax: )")});
        QVERIFY(second->end());
    }
};

QTEST_GUILESS_MAIN(TestLoginPrograms)
#include "tst_loginprograms.moc"
