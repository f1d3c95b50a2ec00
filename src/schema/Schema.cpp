#include "schema/Schema.h"

#include "data/CelebrationIndex.h"
#include "data/ChangeLog.h"
#include "data/ReadIndexes.h"
#include "data/RowIds.h"
#include "data/SyncTables.h"
#include "schema/Columns.h"

namespace schema {
namespace {

/// CREATE TABLE for `table` from the column catalogue, with `constraints`
/// after the columns.
QString createTable(const QString &table, Layout layout, const QString &constraints = {}) {
    QStringList parts;
    for (const Column &c : columnsOf(table)) {
        if (c.sinceCurrentLayout && layout != Layout::Current)
            continue;
        QString part = c.name + QLatin1Char(' ') + c.sqlType();
        if (c.notNull)
            part += QStringLiteral(" NOT NULL");
        if (c.primaryKey)
            part += QStringLiteral(" PRIMARY KEY");
        parts << part;
    }
    if (!constraints.isEmpty())
        parts << constraints;
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table, parts.join(QStringLiteral(", ")));
}

} // namespace

std::pair<int, int> layoutVersion(Layout layout) {
    switch (layout) {
    case Layout::V0_0:
        return {0, 0};
    case Layout::V1_0:
        return {1, 0};
    case Layout::Current:
        break;
    }
    return {1, 1};
}

QStringList schemaStatements(Layout layout) {
    QStringList s;
    s << createTable(QStringLiteral("FIRMA"), layout)
      << createTable(QStringLiteral("KONTAKT"), layout);
    s << data::readindexes::createStatements();
    // A company stays while contacts refer to it; contacts made without a
    // company carry ID_FIRMA 0, which a foreign key would refuse, so the rule
    // is a trigger on the company side.
    s << QStringLiteral("CREATE EXCEPTION FIRMA_MA_KONTAKTY "
                        "'Firmu nelze smazat, dokud na ni odkazují kontakty.'");
    s << QStringLiteral("CREATE TRIGGER FIRMA_BD FOR FIRMA BEFORE DELETE AS BEGIN "
                        "IF (EXISTS (SELECT 1 FROM KONTAKT WHERE ID_FIRMA = OLD.ID)) THEN "
                        "EXCEPTION FIRMA_MA_KONTAKTY; END");
    s << createTable(QStringLiteral("POBOCKA"), layout)
      << createTable(QStringLiteral("SVATEK"), layout,
                     QStringLiteral("CONSTRAINT SVATEK_DEN_MESIC UNIQUE (DEN, MESIC)"))
      << createTable(QStringLiteral("SVATEK_STATNI"), layout)
      << createTable(QStringLiteral("NASTAVENI"), layout);
    // Older layouts stand for files made before the change log; the
    // program adds it to them at start.
    if (layout == Layout::Current)
        s << data::changelog::createStatements() << data::rowids::createStatements()
          << data::synctables::createStatements() << data::celebrationindex::createStatements();
    return s;
}

} // namespace schema
