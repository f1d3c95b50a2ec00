#include "db/FileHolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace db {

QStringList fileHolders(const QString &path) {
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return {};
    const QString own = QString::number(QCoreApplication::applicationPid());
    QStringList holders;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == own || pid.front() < QLatin1Char('0') || pid.front() > QLatin1Char('9'))
            continue;
        // Only the processes this user may look into are listed.
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd :
             fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != file)
                continue;
            QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
            const QString name = comm.open(QIODevice::ReadOnly)
                                     ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                     : QStringLiteral("?");
            holders << QStringLiteral("%1 (PID %2)").arg(name, pid);
            break;
        }
    }
    return holders;
}

} // namespace db
