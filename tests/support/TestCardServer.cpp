#include "support/TestCardServer.h"

#include "support/ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <csignal>
#include <sys/prctl.h>

namespace {

// The system's interpreter: the package's module is installed for it, not
// for another python3 that may come first on PATH.
const QString kPython = QStringLiteral("/usr/bin/python3");
constexpr int kStartSeconds = 20;
constexpr int kStopMilliseconds = 5000;

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TestCardServer::TestCardServer(Transport transport) : m_transport(transport) {
    m_password =
        QStringLiteral("h%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

TestCardServer::~TestCardServer() {
    stop();
}

QString TestCardServer::missingReason() {
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/python3/dist-packages/radicale")))
        return QStringLiteral("No Radicale: install the package radicale (scripts/setup.sh does)");
    return {};
}

QUrl TestCardServer::rootUrl() const {
    const char *scheme = m_transport == Transport::Tls ? "https" : "http";
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(QLatin1String(scheme)).arg(m_port));
}

QUrl TestCardServer::addressBookUrl() const {
    return rootUrl().resolved(QUrl(user() + QStringLiteral("/kontakty/")));
}

bool TestCardServer::prepare() {
    if (!serverprocess::folderAndPort(m_dir, m_port, m_error))
        return false;
    const QDir dir(m_dir.path());
    if (m_transport == Transport::Tls && !makeCertificate())
        return false;
    const QString tls = m_transport == Transport::Plain
                            ? QString()
                            : QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n")
                                  .arg(dir.filePath(QStringLiteral("server.pem")),
                                       dir.filePath(QStringLiteral("server.key")));
    // The address book is made as the server keeps one: a folder with its
    // properties, so that the test starts from an empty book.
    const QString book = QStringLiteral("storage/collection-root/%1/kontakty").arg(user());
    dir.mkpath(book);
    const bool written =
        writeFile(dir.filePath(book + QStringLiteral("/.Radicale.props")),
                  R"({"tag": "VADDRESSBOOK", "D:displayname": "Kontakty"})") &&
        writeFile(dir.filePath(QStringLiteral("users")),
                  (user() + QLatin1Char(':') + m_password + QLatin1Char('\n')).toUtf8()) &&
        writeFile(dir.filePath(QStringLiteral("config")),
                  QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n%4"
                                 "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                                 "htpasswd_encryption = plain\ndelay = 0\n"
                                 "[storage]\nfilesystem_folder = %3\n"
                                 "[rights]\ntype = owner_only\n"
                                 "[web]\ntype = none\n"
                                 "[logging]\nlevel = warning\n")
                      .arg(m_port)
                      .arg(dir.filePath(QStringLiteral("users")),
                           dir.filePath(QStringLiteral("storage")), tls)
                      .toUtf8());
    if (!written) {
        m_error = QStringLiteral("Cannot write the server's files in ") + m_dir.path();
        return false;
    }
    return true;
}

bool TestCardServer::makeCertificate() {
    const QDir dir(m_dir.path());
    auto openssl = [&](const QStringList &arguments) {
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.start(QStringLiteral("openssl"), arguments);
        if (tool.waitForFinished(30000) && tool.exitCode() == 0)
            return true;
        m_error = QStringLiteral("openssl failed: ") +
                  QString::fromLocal8Bit(tool.readAllStandardError());
        return false;
    };
    const QStringList key{QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                          QStringLiteral("-nodes")};
    if (!openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + key +
                 QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                             "/CN=Testovaci autorita"}) ||
        !openssl(
            QStringList{QStringLiteral("req")} + key +
            QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"}) ||
        !writeFile(dir.filePath(QStringLiteral("san.cnf")), "subjectAltName=IP:127.0.0.1\n") ||
        !openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                  "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "san.cnf"}))
        return false;
    return true;
}

bool TestCardServer::start() {
    m_error.clear();
    if (isRunning())
        return true;
    if (m_port == 0 && !prepare())
        return false;
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    // A test that is itself killed takes its server along.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_server.start(kPython, {QStringLiteral("-m"), QStringLiteral("radicale"),
                             QStringLiteral("--config"), QDir(m_dir.path()).filePath("config")});
    if (!m_server.waitForStarted()) {
        m_error = QStringLiteral("Radicale did not start: ") + m_server.errorString();
        return false;
    }
    if (!serverprocess::waitUntilListening(m_server, m_port, kStartSeconds)) {
        m_error = QStringLiteral("Radicale took no connections on port %1: %2")
                      .arg(m_port)
                      .arg(QString::fromLocal8Bit(m_server.readAll()));
        stop();
        return false;
    }
    return true;
}

void TestCardServer::stop() {
    serverprocess::stop(m_server, kStopMilliseconds);
}

void TestCardServer::kill() {
    if (!isRunning())
        return;
    m_server.kill();
    m_server.waitForFinished();
}
