#pragma once

#include "DatabaseBuilder.h"

#include <QStringList>

namespace initdb {

/// What the command line of kontakty-initdb asks for.
struct CommandLine {
    enum class Action { Build, ShowHelp, UsageError };
    Action action = Action::UsageError;
    QString path; ///< absolute path of the file to create
    BuildOptions options;
    QString text; ///< the help text, or what is wrong with the arguments
};

/// Reads `arguments` (the program name first). Never throws.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace initdb
