#include "support/TestServer.h"

#include "support/ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

/// The first of `candidates` that exists, or empty.
QString firstExisting(const QStringList &candidates) {
    for (const QString &path : candidates)
        if (QFileInfo::exists(path))
            return path;
    return {};
}

QString serverProgram() {
    return firstExisting({QStringLiteral("/usr/sbin/firebird"),
                          QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/bin/firebird"),
                          QStringLiteral("/opt/firebird/bin/firebird")});
}

QString isqlProgram() {
    return firstExisting(
        {QStringLiteral("/usr/bin/isql-fb"), QStringLiteral("/opt/firebird/bin/isql")});
}

QString installRoot() {
    return firebirdInstallRoot();
}

QString quoted(QString text) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

constexpr int kStartSeconds = 20;
constexpr int kStopMilliseconds = 5000;

} // namespace

QString firebirdInstallRoot() {
    return QFileInfo(
               firstExisting({QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/firebird.msg"),
                              QStringLiteral("/opt/firebird/firebird.msg")}))
        .absolutePath();
}

TestServer::TestServer() {
    m_password =
        QStringLiteral("t%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

TestServer::~TestServer() {
    stop();
}

QString TestServer::missingReason() {
    if (serverProgram().isEmpty())
        return QStringLiteral("No Firebird server program (/usr/sbin/firebird): install the "
                              "package firebird3.0-server (scripts/setup.sh does)");
    if (isqlProgram().isEmpty())
        return QStringLiteral("No isql-fb to make the test server's security database: install "
                              "the package firebird3.0-utils (scripts/setup.sh does)");
    return {};
}

QString TestServer::dataDir() const {
    return m_dir.filePath(QStringLiteral("data"));
}

QString TestServer::target(const QString &fileName) const {
    return QStringLiteral("127.0.0.1/%1:%2").arg(m_port).arg(QDir(dataDir()).filePath(fileName));
}

QProcessEnvironment TestServer::serverEnvironment() const {
    // FIREBIRD names the folder of firebird.conf; the lock and temporary
    // folders are private too, so the server shares nothing with another.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), m_dir.path());
    env.insert(QStringLiteral("FIREBIRD_LOCK"), m_dir.filePath(QStringLiteral("lock")));
    env.insert(QStringLiteral("FIREBIRD_TMP"), m_dir.filePath(QStringLiteral("tmp")));
    const QString root = installRoot();
    if (!root.isEmpty())
        env.insert(QStringLiteral("FIREBIRD_MSG"), root);
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));
    return env;
}

bool TestServer::runIsql(const QStringList &arguments, const QByteArray &input) {
    QProcess isql;
    isql.setProcessEnvironment(serverEnvironment());
    isql.start(isqlProgram(), QStringList{QStringLiteral("-q")} + arguments);
    if (!isql.waitForStarted()) {
        m_error = QStringLiteral("isql-fb did not start: ") + isql.errorString();
        return false;
    }
    isql.write(input);
    isql.closeWriteChannel();
    if (!isql.waitForFinished(30000)) {
        isql.kill();
        isql.waitForFinished();
        m_error = QStringLiteral("isql-fb did not finish");
        return false;
    }
    const QByteArray errors = isql.readAllStandardError();
    if (isql.exitCode() != 0 || !errors.isEmpty()) {
        m_error = QStringLiteral("isql-fb failed: ") + QString::fromLocal8Bit(errors);
        return false;
    }
    return true;
}

bool TestServer::prepare() {
    if (!serverprocess::folderAndPort(m_dir, m_port, m_error))
        return false;
    const QDir dir(m_dir.path());
    for (const char *folder : {"lock", "tmp", "data"})
        dir.mkpath(QString::fromLatin1(folder));
    // The engine looks for its character sets under the configuration's
    // folder, and takes the module only as a file of its own (not a link).
    dir.mkpath(QStringLiteral("intl"));
    const QString charsets = QStringLiteral("intl/libfbintl.so");
    if (!QFile::copy(QDir(installRoot()).filePath(charsets), dir.filePath(charsets))) {
        m_error = QStringLiteral("Cannot copy the character sets module %1").arg(charsets);
        return false;
    }
    const QString security = dir.filePath(QStringLiteral("security3.fdb"));
    QFile conf(dir.filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("Cannot write firebird.conf: ") + conf.errorString();
        return false;
    }
    conf.write(QStringLiteral("RemoteServicePort = %1\n"
                              "RemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\n"
                              "ServerMode = Super\n")
                   .arg(m_port)
                   .arg(security)
                   .toUtf8());
    conf.close();
    // The embedded engine under the private configuration makes the
    // security database; the first user added makes its user table.
    if (!runIsql({}, QStringLiteral("CREATE DATABASE %1;\n").arg(quoted(security)).toUtf8()))
        return false;
    if (!runIsql({QStringLiteral("-user"), user(), security},
                 QStringLiteral("CREATE USER %1 PASSWORD %2;\n")
                     .arg(user(), quoted(m_password))
                     .toUtf8()))
        return false;
    m_prepared = true;
    return true;
}

bool TestServer::start() {
    m_error.clear();
    if (isRunning())
        return true;
    if (!m_prepared && !prepare())
        return false;
    m_server.setProcessEnvironment(serverEnvironment());
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(serverProgram(), {});
    if (!m_server.waitForStarted()) {
        m_error = QStringLiteral("The server did not start: ") + m_server.errorString();
        return false;
    }
    if (!waitForPort()) {
        m_error = QStringLiteral("The server took no connections on port %1: %2")
                      .arg(m_port)
                      .arg(QString::fromLocal8Bit(m_server.readAll()));
        stop();
        return false;
    }
    return true;
}

bool TestServer::waitForPort() {
    return serverprocess::waitUntilListening(m_server, m_port, kStartSeconds);
}

void TestServer::stop() {
    serverprocess::stop(m_server, kStopMilliseconds);
}
