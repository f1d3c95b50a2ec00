#include "db/ReadOnlyCopy.h"

#include "db/DbError.h"
#include "db/FbClient.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace db {

ReadOnlyCopy::ReadOnlyCopy(const QString &path, const FbClient &client, const QByteArray &dpb)
    : m_original(QFileInfo(path).absoluteFilePath()) {
    m_path = m_dir.filePath(QFileInfo(path).fileName());
    if (!m_dir.isValid() || !QFile::copy(path, m_path))
        throw DbError(
            QStringLiteral("Databázi „%1“ nelze otevřít ani pro čtení: kopii nelze vytvořit.")
                .arg(m_original));
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray marking = dpb;
    marking.append(char(isc_dpb_set_db_readonly)).append(char(1)).append(char(1));
    const QByteArray name = m_path.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    client.attach_database(status, short(name.size()), name.constData(), &db, short(marking.size()),
                           marking.constData());
    client.check(status);
    client.detach_database(status, &db);
}

QString ReadOnlyCopy::refusal() const {
    return QStringLiteral(
               "Databáze „%1“ je otevřena jen pro čtení (soubor je chráněn proti zápisu): změny "
               "nelze uložit.")
        .arg(m_original);
}

bool ReadOnlyCopy::isWriteProtected(const QString &path) {
    // Asked of the file's entry, never by opening it (a pipe would block).
    const QByteArray native = QFile::encodeName(path);
    struct stat entry {};
    if (::stat(native.constData(), &entry) != 0 || !S_ISREG(entry.st_mode) ||
        ::access(native.constData(), R_OK) != 0)
        return false;
    if (::access(native.constData(), W_OK) != 0)
        return true;
    // The superuser passes every permission check: a file without any write
    // permission bit is protected for it too, as for everyone else.
    return ::geteuid() == 0 && (entry.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace db
