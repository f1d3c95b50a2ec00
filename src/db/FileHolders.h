#pragma once

#include <QStringList>

namespace db {

/// The other processes of this user that hold the file at `path` open, as
/// "name (PID n)": the engine's raw words for a file held elsewhere name
/// neither the file nor the holder. Empty when none is found.
QStringList fileHolders(const QString &path);

} // namespace db
