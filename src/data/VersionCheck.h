#pragma once

#include "db/DatabaseTarget.h"

class TDM;

/// Brings a database of version 0.0 or 1.0 to 1.1 before the program opens
/// it for work. Connects on its own and disconnects again. A database that
/// cannot be reached is left alone silently; an error after connecting
/// (missing settings column, failing ALTER) propagates to the caller.
/// `access` names the database (by default the file under the base directory).
void CheckDatabaseVersion(TDM &dm, const QString &baseDirectory,
                          const db::DatabaseAccess &access = {});
/// Adds the photo column, gives the sample contact its photo, records 1.1.
void UpgradeDatabase(TDM &dm, const QString &baseDirectory);
/// Runs one schema statement through zqUpdate.
void ExecUpdateSql(TDM &dm, const QString &statement);
/// Stores "<base>/logo.jpg" as the photo of the sample contact; every error
/// is swallowed.
void LoadSamplePhoto(TDM &dm, const QString &baseDirectory);
