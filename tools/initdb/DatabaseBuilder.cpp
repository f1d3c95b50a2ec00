#include "DatabaseBuilder.h"

#include "DbConnection.h"
#include "DbError.h"
#include "DemoData.h"
#include "Generator.h"
#include "NameDays.h"
#include "RowWriter.h"
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

void fillCompanies(data::DbConnection &db, const BuildOptions &options) {
    RowWriter writer(db);
    if (options.layout != Layout::Current)
        for (const CompanyData &company : sampleCompanies())
            writer.add(company);
    if (options.demo)
        for (const CompanyData &company : demoCompanies())
            writer.add(company);
    for (Generator generator(options.companies, options.contacts); !generator.atEnd();)
        writer.add(generator.next());
    writer.finish();
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
    fillCompanies(db, options);
    db.setConnected(false);
}

} // namespace

void buildDatabase(const QString &path, const BuildOptions &options) {
    if (options.companies < 0 || options.contacts < 0)
        throw data::DbError(
            QStringLiteral("The numbers of companies and contacts must not be negative."));
    if (options.contacts > 0 && options.companies == 0)
        throw data::DbError(QStringLiteral("Contacts need at least one company to belong to."));
    if (QFile::exists(path))
        throw data::DbError(
            QStringLiteral("The file %1 exists already; it is left untouched.").arg(path));
    try {
        build(path, options);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace initdb
