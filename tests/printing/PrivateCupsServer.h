#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/// A print server of the test's own: cupsd started with a private
/// configuration in a temporary directory, listening only on a socket
/// there, with one queue "vizitar" (the Generic PDF Printer driver of
/// cups-filters) whose device is a file in the same directory. The
/// machine's print service and its configuration are not touched.
///
/// Programs reach it through CUPS_SERVER (serverAddress()). The server is
/// ended with SIGTERM, and with SIGKILL when that does not end it.
class PrivateCupsServer {
  public:
    PrivateCupsServer();
    ~PrivateCupsServer();
    PrivateCupsServer(const PrivateCupsServer &) = delete;
    PrivateCupsServer &operator=(const PrivateCupsServer &) = delete;

    /// Starts the server and sets up the queue as its default. On failure
    /// returns false and why() says what went wrong.
    bool start();
    void stop();
    QString why() const { return m_why; }

    static QString queueName() { return QStringLiteral("vizitar"); }
    QString serverAddress() const { return m_dir.filePath(QStringLiteral("cups.sock")); }
    /// Where the queue writes what it prints.
    QString outputFile() const { return m_dir.filePath(QStringLiteral("out/vizitar.pdf")); }
    /// True when the queue holds no job that is still to be printed.
    bool isIdle();

  private:
    bool writeConfiguration();
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);
    QString errorLogTail() const;

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_why;
};
