#include "db/DatabaseLocation.h"

#include "db/DatabaseTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace db {

DatabaseLocation DatabaseLocation::choose(const QString &chosen, const QString &programDirectory,
                                          const QString &userDataDirectory,
                                          const FolderCheck &isWritable) {
    if (!chosen.isEmpty())
        return {Kind::Chosen, programDirectory, chosen};
    const QString besideProgram = QDir(programDirectory).filePath(QStringLiteral("Tabulky"));
    if (QFileInfo(besideProgram).isDir() && isWritable(besideProgram))
        return {Kind::Portable, programDirectory, settings::databasePath(programDirectory)};
    const QString base = QDir::cleanPath(userDataDirectory);
    return {Kind::UserData, base, settings::databasePath(base)};
}

DatabaseLocation DatabaseLocation::forThisProgram(const QString &chosen) {
    return choose(chosen, QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool DatabaseLocation::isWritableFolder(const QString &folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    if (::geteuid() != 0)
        return true;
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

} // namespace db
