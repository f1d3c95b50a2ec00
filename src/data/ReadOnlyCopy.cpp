#include "ReadOnlyCopy.h"

#include "DbError.h"
#include "FbClient.h"

#include <QFile>
#include <QFileInfo>

namespace data {

ReadOnlyCopy::ReadOnlyCopy(const QString &path, const FbClient &client, const QByteArray &dpb)
    : m_original(QFileInfo(path).absoluteFilePath()) {
    m_path = m_dir.filePath(QFileInfo(path).fileName());
    if (!m_dir.isValid() || !QFile::copy(path, m_path))
        throw DbError(QStringLiteral("Databázi „%1“ nelze otevřít ani pro čtení: kopii nelze vytvořit.").arg(m_original));
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
    return QStringLiteral("Databáze „%1“ je otevřena jen pro čtení (soubor je chráněn proti zápisu): změny "
                          "nelze uložit.").arg(m_original);
}

bool ReadOnlyCopy::isWriteProtected(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return !file.open(QIODevice::ReadWrite);
}

} // namespace data
