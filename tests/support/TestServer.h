#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/// A Firebird server of the test's own: the installed server program run
/// with a private configuration, security database, lock folder and
/// loopback port, all in a temporary directory removed with the object.
/// The machine's own configuration and service stay untouched.
///
///     TestServer server;
///     SKIP_WITHOUT_SERVER();
///     QVERIFY2(server.start(), qPrintable(server.errorString()));
///     db.setDatabase(server.target(QStringLiteral("x.fdb")));
class TestServer {
  public:
    TestServer();
    /// Stops the server (SIGTERM, then SIGKILL when it does not end).
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    /// Why no server can be run here (the program or the tools are missing),
    /// or empty when one can.
    static QString missingReason();

    /// Starts the server and waits until it takes connections. The first
    /// start makes the configuration and the security database with the
    /// administrator's password; a later start (after stop()) reuses them
    /// and the port. Returns false with errorString() on failure.
    bool start();
    /// Stops the server: SIGTERM, then SIGKILL after a few seconds.
    void stop();
    bool isRunning() const { return m_server.state() != QProcess::NotRunning; }
    QString errorString() const { return m_error; }

    int port() const { return m_port; }
    QString user() const { return QStringLiteral("SYSDBA"); }
    QString password() const { return m_password; }
    /// The folder for the test's databases (inside the temporary directory).
    QString dataDir() const;
    /// The connection string of the database `fileName` in dataDir():
    /// "127.0.0.1/PORT:/tmp/.../fileName".
    QString target(const QString &fileName) const;

  private:
    bool prepare();
    bool runIsql(const QStringList &arguments, const QByteArray &input);
    bool waitForPort();
    QProcessEnvironment serverEnvironment() const;

    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_password;
    QString m_error;
    int m_port = 0;
    bool m_prepared = false;
};

/// The engine's own folder (message texts, character sets); empty when none
/// is found.
QString firebirdInstallRoot();

/// Skips the test, naming what is missing, when no Firebird server program
/// is installed.
#define SKIP_WITHOUT_SERVER()                                                                      \
    do {                                                                                           \
        const QString reason_ = TestServer::missingReason();                                       \
        if (!reason_.isEmpty())                                                                    \
            QSKIP(qPrintable(reason_));                                                            \
    } while (false)
