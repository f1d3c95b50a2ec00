#pragma once

#include "db/DbError.h"

#include <QString>

namespace db {

/// What is wrong with the database file at `path`, seen from the file alone
/// and without opening anything but a regular file (no pipe or device can
/// block): a loop of links, a link to nothing, a folder, pipe, device or
/// socket in its place, a missing or unreadable file, a header that is not
/// a database of this engine's structure. Empty when none of these.
QString localFileProblem(const QString &path);

/// Why the database file at `path` could not be opened, in words a user can
/// act on: the file's name and what is wrong with it. Looks at the file
/// itself (existence, kind, readability, size, header), then at the engine's
/// `error`, whose text it passes on when neither says more. Only reads the file.
QString describeOpenFailure(const QString &path, const DbError &error);

/// Why the engine could not read the opened file at `path`: the file cut
/// short or its pages damaged, naming the file; empty when `error` is not
/// about the file's pages.
QString describeReadFailure(const QString &path, const DbError &error);

/// `error` with the words of describeReadFailure when it has some (same
/// kind and codes), otherwise as it was.
DbError explainReadFailure(const DbError &error, const QString &path);

/// Why the database `target` on a server could not be opened: the server
/// not answering, or the database not there (or not open to the server),
/// both naming the server and the database, otherwise the engine's text.
QString describeServerOpenFailure(const QString &target, const DbError &error);

/// The file at `path` held by another program (the embedded engine lets one
/// process hold a file): names the file and its `holders` (fileHolders).
QString heldFileMessage(const QString &path, const QStringList &holders);

/// Whether the engine refused to open a file because another process holds
/// it (as its Super mode does; under SuperClassic processes share a file).
bool isHeldFile(const DbError &error);

/// A change the engine could not write to the file at `path`: for a full
/// disk the cause in words naming the file (same kind and codes), otherwise
/// `error` as it was.
DbError explainWriteFailure(const DbError &error, const QString &path);

} // namespace db
