#include "initdb/DatabaseBuilder.h"

#include "db/DbError.h"
#include "initdb/DemoData.h"
#include "initdb/Generator.h"
#include "initdb/RowWriter.h"

namespace initdb {
namespace {

void fillCompanies(db::DbConnection &db, const BuildOptions &options) {
    RowWriter writer(db);
    if (options.layout != schema::Layout::Current)
        for (const CompanyData &company : sampleCompanies())
            writer.add(company);
    if (options.demo)
        for (const CompanyData &company : demoCompanies())
            writer.add(company);
    for (Generator generator(options.companies, options.contacts); !generator.atEnd();)
        writer.add(generator.next());
    writer.finish();
}

} // namespace

void buildDatabase(const QString &path, const BuildOptions &options, const db::ServerLogin &login) {
    if (options.companies < 0 || options.contacts < 0)
        throw db::DbError(
            QStringLiteral("The numbers of companies and contacts must not be negative."));
    if (options.contacts > 0 && options.companies == 0)
        throw db::DbError(QStringLiteral("Contacts need at least one company to belong to."));
    schema::createDatabase(
        path, {options.layout, options.forcedWrites},
        [&](db::DbConnection &db) { fillCompanies(db, options); }, login);
}

} // namespace initdb
