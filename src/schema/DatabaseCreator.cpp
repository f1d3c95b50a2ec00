#include "schema/DatabaseCreator.h"

#include "base/Win1250.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "schema/NameDays.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace schema {
namespace {

QByteArray sqlBytes(const QString &sql) {
    QByteArray bytes;
    base::win1250::encode(sql, bytes);
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

void fillCalendar(db::DbConnection &db) {
    QList<QVariantList> rows;
    for (const NameDay &d : nameDays())
        rows << QVariantList{d.day, d.month, QString::fromUtf8(d.name)};
    db.executeBatch("INSERT INTO SVATEK (DEN, MESIC, JMENO) VALUES (?, ?, ?)", rows);
}

db::ServerLogin loginOrOwn(const db::ServerLogin &login) {
    return login.user.isEmpty() ? db::ServerLogin{db::settings::kUser, db::settings::kPassword}
                                : login;
}

/// Makes the tables and the first rows in the database just created.
void populate(db::DbConnection &db, const CreateOptions &options, const Filler &fill) {
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

void build(const QString &path, const CreateOptions &options, const Filler &fill,
           const db::ServerLogin &given) {
    const db::ServerLogin login = loginOrOwn(given);
    db::DbConnection::createDatabase(path, login.user, login.password, options.forcedWrites);
    db::DbConnection db;
    db.setDatabase(path);
    db.setUser(login.user);
    db.setPassword(login.password);
    if (!db::target::isServer(path)) {
        populate(db, options, fill);
        return;
    }
    // The server's file cannot be removed from here; the server drops it.
    try {
        populate(db, options, fill);
    } catch (...) {
        try {
            db.dropDatabase();
        } catch (const db::DbError &) {
            // The first error is the one worth reporting.
        }
        throw;
    }
}

} // namespace

void createDatabase(const QString &path, const CreateOptions &options, const Filler &fill,
                    const db::ServerLogin &login) {
    if (db::target::isServer(path)) {
        build(path, options, fill, login);
        return;
    }
    // A link that leads nowhere (or round in a loop) stands there all the same.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw db::DbError(QStringLiteral("Soubor %1 už existuje; zůstal beze změny.").arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList made = missingFolders(folder);
    if (!QDir().mkpath(folder)) {
        removeFolders(made);
        throw db::DbError(QStringLiteral("složku %1 nelze vytvořit").arg(folder));
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
