#include "data/ReadIndexes.h"

#include "data/CelebrationIndex.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <optional>

namespace data::readindexes {
namespace {

struct Index {
    const char *name, *table, *column;
};
constexpr Index kIndexes[] = {{"KONTAKT_ID_FIRMA", "KONTAKT", "ID_FIRMA"},
                              {"KONTAKT_PRIJMENI", "KONTAKT", "PRIJMENI"},
                              {"FIRMA_NAZEV", "FIRMA", "NAZEV_FIRMA"}};

/// The indexes a bulk write leaves to the end: these and the celebrations'
/// keys, which cost a row even more (an expression each).
QStringList deferrable() {
    QStringList names;
    for (const Index &index : kIndexes)
        names << QString::fromLatin1(index.name);
    return names << celebrationindex::names();
}

/// Those of them the database has with the given state.
QStringList withState(db::DbConnection &connection, bool active) {
    QStringList names;
    db::PackedRow row;
    for (const QString &name : deferrable()) {
        if (connection
                .openCursor("SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = ? "
                            "AND COALESCE(RDB$INDEX_INACTIVE, 0) = ?",
                            {name, active ? 0 : 1})
                ->fetch(row))
            names << name;
    }
    return names;
}

db::DbConnection::Statement alter(const QString &name, bool active) {
    return {QStringLiteral("ALTER INDEX %1 %2")
                .arg(name, active ? QStringLiteral("ACTIVE") : QStringLiteral("INACTIVE"))
                .toLatin1(),
            {}};
}

/// True when neither FIRMA nor KONTAKT holds a row.
bool registerIsEmpty(db::DbConnection &connection) {
    db::PackedRow row;
    return !connection
                .openCursor("SELECT 1 FROM RDB$DATABASE WHERE EXISTS (SELECT 1 FROM FIRMA) "
                            "OR EXISTS (SELECT 1 FROM KONTAKT)",
                            {})
                ->fetch(row);
}

/// Makes the active ones inactive and returns their names; none when the
/// database refuses (another user's statements use them).
QStringList deactivate(db::DbConnection &connection) {
    try {
        const QStringList names = withState(connection, true);
        QList<db::DbConnection::Statement> statements;
        for (const QString &name : names)
            statements << alter(name, false);
        if (!statements.isEmpty())
            connection.executeCommitted(statements); // all or none
        return names;
    } catch (const db::DbError &) {
        return {}; // in use elsewhere, or a file this user may not change: write with them
    }
}

/// Makes `names` active again, which builds them. Throws DbError.
void activate(db::DbConnection &connection, const QStringList &names) {
    // One at a time: one the database refuses does not keep the others inactive.
    std::optional<db::DbError> refused;
    for (const QString &name : names)
        try {
            connection.executeCommitted({alter(name, true)});
        } catch (const db::DbError &e) {
            if (e.kind() == db::DbError::Kind::ConnectionLost)
                throw; // the others would only wait for the lost server in turn
            refused = e;
        }
    if (refused)
        throw *refused;
}

} // namespace

QStringList createStatements() {
    QStringList s;
    for (const Index &index : kIndexes)
        s << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                 .arg(QLatin1String(index.name), QLatin1String(index.table),
                      QLatin1String(index.column));
    return s;
}

void ensure(db::DbConnection &connection) {
    if (const QStringList inactive = withState(connection, false); !inactive.isEmpty())
        activate(connection, inactive);
}

DeferredWhileEmpty::DeferredWhileEmpty(db::DbConnection &connection) : m_connection(connection) {
    try {
        if (registerIsEmpty(connection))
            m_inactive = deactivate(connection);
    } catch (const db::DbError &) {
        // Not known to be empty: the write keeps them up as it goes.
    }
}

DeferredWhileEmpty::~DeferredWhileEmpty() {
    // After a lost connection a statement would first wait to connect again.
    if (m_inactive.isEmpty() || !m_connection.isConnected())
        return;
    try {
        activate(m_connection, m_inactive);
    } catch (const db::DbError &) {
        // A lost connection or another user's lock: the next open activates them.
    }
}

} // namespace data::readindexes
