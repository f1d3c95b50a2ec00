#pragma once

#include "DbError.h"

#include <QString>

namespace data {

/// Why the database file at `path` could not be opened, in words a user can
/// act on: the file's name and what is wrong with it. Looks at the file
/// itself (existence, kind, readability, size, header) and falls back on
/// the engine's message `engineText` where the file shows nothing wrong.
/// Only reads the file.
QString describeOpenFailure(const QString &path, const QString &engineText);

/// A change the engine could not write to the file at `path`: for a full
/// disk the cause in words naming the file (same kind and codes), otherwise
/// `error` as it was.
DbError explainWriteFailure(const DbError &error, const QString &path);

} // namespace data
