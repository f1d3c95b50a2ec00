#include "DatabaseBuilder.h"

#include "DbConnection.h"
#include "DbError.h"
#include "NameDays.h"
#include "Win1250.h"

#include <QFile>

namespace initdb {
namespace {

QByteArray sqlBytes(const QString &sql) {
    QByteArray bytes;
    data::win1250::encode(sql, bytes);
    return bytes;
}

void fillCalendar(data::DbConnection &db) {
    QList<QVariantList> rows;
    for (const NameDay &d : nameDays())
        rows << QVariantList{d.day, d.month, QString::fromUtf8(d.name)};
    db.executeBatch("INSERT INTO SVATEK (DEN, MESIC, JMENO) VALUES (?, ?, ?)", rows);
}

void build(const QString &path, const BuildOptions &options) {
    data::DbConnection::createDatabase(path, QStringLiteral("sysdba"), QStringLiteral("tallowfin"),
                                       options.forcedWrites);
    data::DbConnection db;
    db.setDatabase(path);
    db.setUser(QStringLiteral("sysdba"));
    db.setPassword(QStringLiteral("tallowfin"));
    db.setConnected(true);
    for (const QString &statement : schemaStatements(options.layout))
        db.executeCommitted(sqlBytes(statement), {});

    const auto [major, minor] = layoutVersion(options.layout);
    db.executeCommitted("INSERT INTO NASTAVENI (VERZE_HLAVNI, VERZE_VEDLEJSI, DATUM_UPRAVY_VERZE, "
                        "KONTROLUJ_UPDATY) VALUES (?, ?, CURRENT_TIMESTAMP, 0)",
                        {major, minor});
    fillCalendar(db);
    db.setConnected(false);
}

} // namespace

void buildDatabase(const QString &path, const BuildOptions &options) {
    if (QFile::exists(path))
        throw data::DbError(QStringLiteral("The file %1 exists already; it is left untouched.").arg(path));
    try {
        build(path, options);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace initdb
