#pragma once

#include "db/DatabaseTarget.h"
#include "schema/Schema.h"

#include <QString>

#include <functional>

namespace db {
class DbConnection;
} // namespace db

namespace schema {

struct CreateOptions {
    Layout layout = Layout::Current;
    bool forcedWrites = true; ///< off only for throw-away databases (tests)
};

/// Adds rows to a database just created; gets the open connection.
using Filler = std::function<void(db::DbConnection &)>;

/// Creates the database file at `path`: the missing folders above it, the
/// tables of `options.layout`, the settings row with that layout's version,
/// the name-day calendar, and then whatever `fill` adds on the same
/// connection. Refuses an existing file (it stays untouched). Throws
/// db::DbError on any failure; the half-made file and the folders made for
/// it are removed again. `path` may also name a database on a server
/// ("host:/path/file.fdb"): the server makes it, and drops it again when
/// the filling fails; `login` then is the server's user (empty: the
/// program's own).
void createDatabase(const QString &path, const CreateOptions &options = {}, const Filler &fill = {},
                    const db::ServerLogin &login = {});

} // namespace schema
