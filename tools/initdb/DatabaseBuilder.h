#pragma once

#include "schema/DatabaseCreator.h"

#include <QString>

namespace initdb {

struct BuildOptions {
    /// Older layouts also get the few rows they came with, the sample
    /// contact among them.
    schema::Layout layout = schema::Layout::Current;
    bool demo = false;        ///< a dozen realistic companies with contacts
    int companies = 0;        ///< generated companies for benchmarks
    int contacts = 0;         ///< generated contact persons among them
    bool forcedWrites = true; ///< off only for throw-away databases (tests)
};

/// Creates the database file at `path` as schema::createDatabase does and
/// adds the requested rows (sample rows of an older layout first, then the
/// demo, then generated rows; IDs count from 1). Refuses an existing file
/// and counts that are negative or contacts without companies. Throws
/// db::DbError on any failure; a half-made file is removed, and so are
/// the folders made for it.
/// `path` may name a database on a server, made with `login`.
void buildDatabase(const QString &path, const BuildOptions &options = {},
                   const db::ServerLogin &login = {});

} // namespace initdb
