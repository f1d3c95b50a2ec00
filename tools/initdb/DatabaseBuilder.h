#pragma once

#include "Schema.h"

#include <QString>

namespace initdb {

struct BuildOptions {
    Layout layout = Layout::Current;
    bool demo = false;          ///< a dozen realistic companies with contacts
    int companies = 0;          ///< generated data for benchmarks
    int contacts = 0;
    bool forcedWrites = true;   ///< off only for throw-away databases (tests)
};

/// Creates the database file at `path` with the tables, the settings row,
/// the name-day calendar and the requested rows. Refuses an existing file.
/// Throws data::DbError on any failure; a half-made file is removed.
void buildDatabase(const QString &path, const BuildOptions &options = {});

} // namespace initdb
