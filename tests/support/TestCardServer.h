#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

/// An address book server of the test's own: the installed Radicale run
/// with a private configuration, users file and storage folder on a free
/// loopback port, all in a temporary directory removed with the object.
/// The machine's own configuration and service stay untouched. The user
/// has one empty address book, addressBookUrl().
class TestCardServer {
  public:
    /// Tls: HTTPS with a server certificate of a private certificate
    /// authority made for the object, which the system does not trust.
    enum class Transport { Plain, Tls };
    explicit TestCardServer(Transport transport = Transport::Plain);
    /// Stops the server (SIGTERM, then SIGKILL when it does not end).
    ~TestCardServer();
    TestCardServer(const TestCardServer &) = delete;
    TestCardServer &operator=(const TestCardServer &) = delete;

    /// Why no server can be run here, or empty when one can.
    static QString missingReason();

    /// Starts the server and waits until it answers. A later start (after
    /// stop()) keeps the storage, the users and the port.
    bool start();
    void stop();
    /// Ends the server at once (SIGKILL), as a crash or a pulled cable would.
    void kill();
    bool isRunning() const { return m_server.state() != QProcess::NotRunning; }
    QString errorString() const { return m_error; }

    QString user() const { return QStringLiteral("anna"); }
    QString password() const { return m_password; }
    /// http://127.0.0.1:PORT/ (https with Tls)
    QUrl rootUrl() const;
    /// The user's address book: http://127.0.0.1:PORT/anna/kontakty/
    QUrl addressBookUrl() const;

  private:
    bool prepare();
    bool makeCertificate();

    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_password;
    QString m_error;
    int m_port = 0;
    Transport m_transport;
};

#define SKIP_WITHOUT_CARD_SERVER()                                                                 \
    do {                                                                                           \
        const QString reason_ = TestCardServer::missingReason();                                   \
        if (!reason_.isEmpty())                                                                    \
            QSKIP(qPrintable(reason_));                                                            \
    } while (false)
