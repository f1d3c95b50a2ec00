#include "data/VersionCheck.h"

#include "data/CelebrationIndex.h"
#include "data/ChangeLog.h"
#include "data/ReadIndexes.h"
#include "data/RowIds.h"
#include "data/SyncTables.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"
#include "db/DbError.h"

#include <QFile>
#include <QFileInfo>

void CheckDatabaseVersion(TDM &dm, const QString &baseDirectory, const db::DatabaseAccess &access) {
    const db::DatabaseAccess target =
        access.database.isEmpty() ? db::DatabaseAccess::defaultFor(baseDirectory) : access;
    if (!dm.ConnectDatabase(true, target.database, QString(), target.password,
                            db::settings::kProtocol, target.user))
        return;
    dm.ztUpdateNastaveni.open();
    const qint64 major =
        dm.ztUpdateNastaveni.fieldByName(QStringLiteral("VERZE_HLAVNI"))->asInteger();
    if (major == 0 || major == 1) {
        if (dm.ztUpdateNastaveni.fieldByName(QStringLiteral("VERZE_VEDLEJSI"))->asInteger() == 0)
            UpgradeDatabase(dm, baseDirectory);
    }
    // Not part of the version: a file without the change log gets it, so
    // that the board notices what others commit, and the sequences of new IDs.
    try {
        data::changelog::ensure(dm.ZConKontakty);
    } catch (const db::DbError &) {
        // A file this user may not change: the board then reads afresh each time.
    }
    try {
        data::readindexes::ensure(dm.ZConKontakty);
    } catch (const db::DbError &) {
        // Reads stay correct, only slower; the next start tries again.
    }
    try {
        data::rowids::ensure(dm.ZConKontakty);
    } catch (const db::DbError &) {
        // Then new IDs are the largest plus one, as before.
    }
    try {
        data::synctables::ensure(dm.ZConKontakty);
    } catch (const db::DbError &) {
        // Then the sync with a server makes them, or says why it cannot.
    }
    try {
        data::celebrationindex::ensure(dm.ZConKontakty);
    } catch (const db::DbError &) {
        // Then the server looks at every contact for who celebrates, as before.
    }
    dm.ConnectDatabase(false, target.database, QString(), target.password, db::settings::kProtocol,
                       target.user);
}

void UpgradeDatabase(TDM &dm, const QString &baseDirectory) {
    // Each step is skipped when its result is there already, so an upgrade
    // that was interrupted before the version was written completes now.
    if (!dm.ZConKontakty.tableInfo(QStringLiteral("KONTAKT"))
             .columns.contains(QStringLiteral("OBR")))
        ExecUpdateSql(dm, QStringLiteral("ALTER TABLE KONTAKT ADD OBR BLOB SEGMENT SIZE 20"));
    LoadSamplePhoto(dm, baseDirectory);
    // The version is written last, after the structure and the photo.
    dm.ztUpdateNastaveni.first();
    dm.ztUpdateNastaveni.edit();
    dm.ztUpdateNastaveni.fieldByName(QStringLiteral("VERZE_VEDLEJSI"))->setAsInteger(1);
    dm.ztUpdateNastaveni.fieldByName(QStringLiteral("VERZE_HLAVNI"))->setAsInteger(1);
    dm.ztUpdateNastaveni.post();
}

void ExecUpdateSql(TDM &dm, const QString &statement) {
    dm.zqUpdate.clearSql();
    dm.zqUpdate.close();
    dm.zqUpdate.setSql(statement);
    dm.zqUpdate.execSql();
}

void LoadSamplePhoto(TDM &dm, const QString &baseDirectory) {
    // Any failure skips the rest; the disconnect that follows the upgrade
    // closes the table and discards an unfinished edit.
    try {
        dm.tKONTAKT.open();
        if (dm.tKONTAKT.locate(QStringLiteral("JMENO;PRIJMENI"),
                               {QStringLiteral("Miloran"), QStringLiteral("Drobeček")}, true) &&
            dm.tKONTAKT.fieldByName(QStringLiteral("OBR"))->isNull()) {
            QFile photo(baseDirectory + QStringLiteral("/logo.jpg"));
            // Only a regular file: a pipe of that name would block the start.
            if (!QFileInfo(photo).isFile() || !photo.open(QIODevice::ReadOnly))
                return;
            dm.tKONTAKT.edit();
            dm.tKONTAKT.fieldByName(QStringLiteral("OBR"))->setAsBytes(photo.readAll());
            dm.tKONTAKT.post();
        }
        dm.tKONTAKT.close();
    } catch (...) {
    }
}
