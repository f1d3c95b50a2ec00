#include "PrivateCupsServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

const char *const kDriver = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

bool writeFile(const QString &path, const QString &text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Text) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

PrivateCupsServer::PrivateCupsServer() = default;

PrivateCupsServer::~PrivateCupsServer() {
    stop();
}

bool PrivateCupsServer::writeConfiguration() {
    const QString root = m_dir.path();
    // The filters run as the server's unprivileged user: it must reach the
    // spool below the directory and write the printed file.
    QFile::setPermissions(root, QFile::permissions(root) | QFileDevice::ExeGroup |
                                    QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    for (const char *sub : {"conf", "spool", "tmp", "cache", "state", "log", "out"})
        if (!QDir(root).mkpath(QString::fromLatin1(sub)))
            return false;
    QFile::setPermissions(m_dir.filePath(QStringLiteral("out")),
                          QFileDevice::Permissions(0x7777)); // rwx for all
    const QString files =
        QStringLiteral(
            "ServerRoot %1/conf\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
            "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
            "PageLog %1/log/page_log\nFileDevice Yes\nSystemGroup root\n")
            .arg(root);
    // Only the private socket, no browsing, no sharing; everything allowed
    // to whoever reaches the socket (the test itself).
    const QString server =
        QStringLiteral(
            "Listen %1/cups.sock\nBrowsing No\nWebInterface No\nLogLevel info\n"
            "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
            .arg(root);
    return writeFile(m_dir.filePath(QStringLiteral("cups-files.conf")), files) &&
           writeFile(m_dir.filePath(QStringLiteral("cupsd.conf")), server);
}

bool PrivateCupsServer::start() {
    if (!m_dir.isValid() || !writeConfiguration()) {
        m_why = QStringLiteral("cannot write the server's configuration in %1").arg(m_dir.path());
        return false;
    }
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                  {QStringLiteral("-f"), QStringLiteral("-c"),
                   m_dir.filePath(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                   m_dir.filePath(QStringLiteral("cups-files.conf"))});
    if (!m_cupsd.waitForStarted(5000)) {
        m_why = QStringLiteral("cupsd does not start: %1").arg(m_cupsd.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(serverAddress()) && m_cupsd.state() == QProcess::Running &&
           !deadline.hasExpired())
        QThread::msleep(50);
    if (!QFileInfo::exists(serverAddress())) {
        m_why = QStringLiteral("cupsd did not open its socket: %1 %2")
                    .arg(QString::fromLocal8Bit(m_cupsd.readAll()), errorLogTail());
        stop();
        return false;
    }
    const QString device = QStringLiteral("file://") + outputFile();
    if (!run(QStringLiteral("lpadmin"),
             {QStringLiteral("-p"), queueName(), QStringLiteral("-E"), QStringLiteral("-v"), device,
              QStringLiteral("-P"), QString::fromLatin1(kDriver)}) ||
        !run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queueName()})) {
        stop();
        return false;
    }
    return true;
}

bool PrivateCupsServer::run(const QString &program, const QStringList &arguments, QString *output) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), serverAddress());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(15000);
    if (!finished)
        process.kill();
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (output)
        *output = stdOut;
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    m_why = QStringLiteral("%1 %2 failed: %3 %4")
                .arg(program, arguments.join(QLatin1Char(' ')),
                     QString::fromLocal8Bit(process.readAllStandardError()), errorLogTail());
    return false;
}

bool PrivateCupsServer::isIdle() {
    QString pending;
    return run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queueName()}, &pending) &&
           pending.trimmed().isEmpty();
}

QString PrivateCupsServer::errorLogTail() const {
    QFile log(m_dir.filePath(QStringLiteral("log/error_log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = log.readAll();
    return QString::fromLocal8Bit(all.right(1500));
}

void PrivateCupsServer::stop() {
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate(); // SIGTERM
    if (!m_cupsd.waitForFinished(5000)) {
        m_cupsd.kill(); // SIGKILL
        m_cupsd.waitForFinished(5000);
    }
}
