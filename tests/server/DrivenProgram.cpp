#include "DrivenProgram.h"

#include "initdb/DatabaseBuilder.h"
#include "support/TestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

namespace {

/// Generous: the machine is slow, and the suite also runs under a sanitizer.
constexpr int kAnswerTimeout = 60000;

} // namespace

DrivenProgram::DrivenProgram(const QString &home, const QString &database)
    : m_home(home),
      m_process(QStringLiteral(PROGRAM_DRIVER), {QStringLiteral("--database"), database}) {
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_process.setEnv(QStringLiteral("HOME"), home);
    m_process.setEnv(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    m_process.setEnv(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    m_process.setEnv(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    m_process.setEnv(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    // A bus that is not there: the desktop's own session is never reached.
    m_process.setEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                     QStringLiteral("unix:path=%1/run/no-bus").arg(home));
    for (const char *name :
         {"ISC_USER", "ISC_PASSWORD", "VIZITAR_MESSAGE_LOG", "VIZITAR_QUIT_AFTER_SHOW"})
        m_process.unsetEnv(QString::fromLatin1(name));
    m_process.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

bool DrivenProgram::end() {
    QProcess &process = m_process.process();
    if (process.state() == QProcess::NotRunning)
        return true;
    process.terminate();
    if (process.waitForFinished(kAnswerTimeout))
        return process.exitStatus() == QProcess::NormalExit;
    m_process.killHard();
    return false;
}

QString DrivenProgram::ask(const QString &command) {
    QProcess &process = m_process.process();
    if (process.state() != QProcess::Running)
        return QStringLiteral("not running (exit code %1)").arg(process.exitCode());
    process.write(command.toUtf8() + '\n');
    const QDeadlineTimer deadline(kAnswerTimeout);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
            return QStringLiteral("no answer to '%1'").arg(command);
    }
    QString line = QString::fromUtf8(process.readLine()).chopped(1);
    // Undo the channel's escapes: "\\" and "\n".
    QString text;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\') && i + 1 < line.size()) {
            ++i;
            text += line[i] == QLatin1Char('n') ? QLatin1Char('\n') : line[i];
        } else {
            text += line[i];
        }
    }
    return text;
}

QString DrivenProgram::await(const QString &command, const QString &expected) {
    const QDeadlineTimer deadline(kAnswerTimeout);
    QString last;
    while ((last = ask(command)) != expected && !deadline.hasExpired() &&
           m_process.process().state() == QProcess::Running)
        QThread::msleep(100);
    return last;
}

QStringList DrivenProgram::list(const QString &command) {
    const QString answer = ask(command);
    if (!answer.startsWith(QLatin1String("ok ")))
        return {answer};
    QStringList items;
    for (const QJsonValue &item : QJsonDocument::fromJson(answer.mid(3).toUtf8()).array())
        items << item.toString();
    return items;
}

QString DrivenProgram::settingsFile() const {
    return m_home + QStringLiteral("/config/Qorvel/Kontakty.conf");
}

std::unique_ptr<db::DbConnection> createServerDatabase(const TestServer &server,
                                                       const QString &fileName) {
    const QString target = server.target(fileName);
    initdb::BuildOptions options;
    options.forcedWrites = false;
    initdb::buildDatabase(target, options, {server.user(), server.password()});
    auto connection = std::make_unique<db::DbConnection>();
    connection->setDatabase(target);
    connection->setUser(server.user());
    connection->setPassword(server.password());
    return connection;
}
