#pragma once

#include <QString>

namespace data {

/// Why the database file at `path` could not be opened, in words a user can
/// act on: the file's name and what is wrong with it. Looks at the file
/// itself (existence, kind, readability, size, header) and falls back on
/// the engine's message `engineText` where the file shows nothing wrong.
/// Only reads the file.
QString describeOpenFailure(const QString &path, const QString &engineText);

/// The text for a change the engine could not write: for a full disk the
/// cause in words naming the file, otherwise `engineText` as it was.
QString describeWriteFailure(const QString &path, const QString &engineText);

} // namespace data
