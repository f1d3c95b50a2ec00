#include "DatabaseCreator.h"

#include "DatabaseTarget.h"
#include "DbConnection.h"
#include "DbError.h"
#include "NameDays.h"
#include "U_DM.h"
#include "Win1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace schema {
namespace {

QByteArray sqlBytes(const QString &sql) {
    QByteArray bytes;
    data::win1250::encode(sql, bytes);
    return bytes;
}

/// The folders that `mkpath(folder)` would make, innermost first.
QStringList missingFolders(const QString &folder) {
    QStringList missing;
    for (QString f = QDir::cleanPath(folder); !QFileInfo::exists(f); f = QFileInfo(f).path())
        missing << f;
    return missing;
}

/// Removes the folders a failed creation made; one that holds anything
/// by now (another program's file) is kept, and so are those above it.
void removeFolders(const QStringList &made) {
    for (const QString &folder : made)
        if (!QDir().rmdir(folder))
            return;
}

void fillCalendar(data::DbConnection &db) {
    QList<QVariantList> rows;
    for (const NameDay &d : nameDays())
        rows << QVariantList{d.day, d.month, QString::fromUtf8(d.name)};
    db.executeBatch("INSERT INTO SVATEK (DEN, MESIC, JMENO) VALUES (?, ?, ?)", rows);
}

ServerLogin loginOrOwn(const ServerLogin &login) {
    return login.user.isEmpty() ? ServerLogin{dbsettings::kUser, dbsettings::kPassword} : login;
}

/// Makes the tables and the first rows in the database just created.
void populate(data::DbConnection &db, const CreateOptions &options, const Filler &fill) {
    db.setConnected(true);
    for (const QString &statement : schemaStatements(options.layout))
        db.executeCommitted(sqlBytes(statement), {});

    const auto [major, minor] = layoutVersion(options.layout);
    db.executeCommitted("INSERT INTO NASTAVENI (VERZE_HLAVNI, VERZE_VEDLEJSI, DATUM_UPRAVY_VERZE, "
                        "KONTROLUJ_UPDATY) VALUES (?, ?, CURRENT_TIMESTAMP, 0)",
                        {major, minor});
    fillCalendar(db);
    if (fill)
        fill(db);
    db.setConnected(false);
}

void build(const QString &path, const CreateOptions &options, const Filler &fill, const ServerLogin &given) {
    const ServerLogin login = loginOrOwn(given);
    data::DbConnection::createDatabase(path, login.user, login.password, options.forcedWrites);
    data::DbConnection db;
    db.setDatabase(path);
    db.setUser(login.user);
    db.setPassword(login.password);
    if (!dbtarget::isServer(path)) {
        populate(db, options, fill);
        return;
    }
    // The server's file cannot be removed from here; the server drops it.
    try {
        populate(db, options, fill);
    } catch (...) {
        try {
            db.dropDatabase();
        } catch (const data::DbError &) {
            // The first error is the one worth reporting.
        }
        throw;
    }
}

} // namespace

void createDatabase(const QString &path, const CreateOptions &options, const Filler &fill,
                    const ServerLogin &login) {
    if (dbtarget::isServer(path)) {
        build(path, options, fill, login);
        return;
    }
    // A link that leads nowhere (or round in a loop) stands there all the same.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw data::DbError(
            QStringLiteral("Soubor %1 už existuje; zůstal beze změny.").arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList made = missingFolders(folder);
    if (!QDir().mkpath(folder)) {
        removeFolders(made);
        throw data::DbError(QStringLiteral("složku %1 nelze vytvořit").arg(folder));
    }
    try {
        build(path, options, fill, {});
    } catch (...) {
        QFile::remove(path);
        removeFolders(made);
        throw;
    }
}

} // namespace schema
