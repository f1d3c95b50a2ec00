#include "support/ChildProcess.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

ChildProcess::ChildProcess(QString program, QStringList arguments)
    : m_program(std::move(program)), m_arguments(std::move(arguments)) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(QDir::tempPath());
}

ChildProcess::~ChildProcess() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        killHard();
}

void ChildProcess::setEnv(const QString &name, const QString &value) {
    QProcessEnvironment env = m_process.processEnvironment();
    env.insert(name, value);
    m_process.setProcessEnvironment(env);
}

void ChildProcess::unsetEnv(const QString &name) {
    QProcessEnvironment env = m_process.processEnvironment();
    env.remove(name);
    m_process.setProcessEnvironment(env);
}

bool ChildProcess::start() {
    m_process.start(m_program, m_arguments);
    return m_process.waitForStarted(10000);
}

void ChildProcess::signal(int signalNumber) {
    if (m_process.state() != QProcess::NotRunning)
        ::kill(pid_t(m_process.processId()), signalNumber);
}

void ChildProcess::killHard() {
    m_process.kill();
    m_process.waitForFinished(10000);
}

bool ChildProcess::holdsOpen(const QString &path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
    const QStringList entries =
        fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : entries)
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == wanted)
            return true;
    return false;
}

QString validateDatabase(const QString &path) {
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"),
                                        QStringLiteral("-user"), QStringLiteral("SYSDBA"), path});
    if (!gfix.waitForFinished(120000)) {
        gfix.kill();
        gfix.waitForFinished();
        return QStringLiteral("gfix did not finish");
    }
    const QString output = QString::fromLocal8Bit(gfix.readAll()).trimmed();
    if (gfix.exitStatus() != QProcess::NormalExit || gfix.exitCode() != 0)
        return QStringLiteral("gfix ended with %1: %2").arg(gfix.exitCode()).arg(output);
    // Warnings (pages allocated but never used after a process was killed:
    // lost space, no lost data) are shown but are not errors.
    QStringList errors;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.contains(QLatin1String("warnings")))
            qInfo("gfix: %s", qPrintable(line.simplified()));
        else if (!line.startsWith(QLatin1String("Summary of validation")))
            errors << line.trimmed();
    }
    return errors.join(QLatin1Char('\n'));
}
