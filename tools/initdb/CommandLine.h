#pragma once

#include "initdb/DatabaseBuilder.h"

#include <QStringList>

namespace initdb {

/// What the command line of kontakty-initdb asks for.
struct CommandLine {
    enum class Action { Build, ShowHelp, UsageError };
    Action action = Action::UsageError;
    QString path; ///< absolute path of the file to create, or a server's connection string
    BuildOptions options;
    db::ServerLogin login; ///< for a database on a server
    QString text;          ///< the help text, or what is wrong with the arguments
    QStringList warnings;  ///< said before the database is made
};

/// Reads `arguments` (the program name first). A server's login comes from
/// --user and --password-file (a file, or "-" for standard input, which it
/// reads) or --password, else from ISC_USER/ISC_PASSWORD. Never throws.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace initdb
