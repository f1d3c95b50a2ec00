#pragma once

#include "DbError.h"

#include <QString>

namespace data {

/// Why the database file at `path` could not be opened, in words a user can
/// act on: the file's name and what is wrong with it. Looks at the file
/// itself (existence, kind, readability, size, header), then at the engine's
/// `error`, whose text it passes on when neither says more. Only reads the file.
QString describeOpenFailure(const QString &path, const DbError &error);

/// Why the database `target` on a server could not be opened: the server
/// not answering, or the database not there (or not open to the server),
/// both naming the server and the database, otherwise the engine's text.
QString describeServerOpenFailure(const QString &target, const DbError &error);

/// The file at `path` held by another program (the embedded engine lets one
/// process hold a file): names the file and its `holders` (fileHolders).
QString heldFileMessage(const QString &path, const QStringList &holders);

/// A change the engine could not write to the file at `path`: for a full
/// disk the cause in words naming the file (same kind and codes), otherwise
/// `error` as it was.
DbError explainWriteFailure(const DbError &error, const QString &path);

} // namespace data
