#pragma once

#include <QStringList>

namespace app {

/// What the command line of vizitar asks for.
struct ProgramCommand {
    enum class Action { Run, ShowHelp, ShowVersion, UsageError };
    Action action = Action::UsageError;
    QString text; ///< help or version text, or what is wrong with the arguments
    /// The database given with --database (a file path or a connection
    /// string), or empty.
    QString database;

    /// Reads `arguments` (the program name first; the options of the
    /// windowing system already taken out). Never throws.
    static ProgramCommand parse(const QStringList &arguments);
    /// The version stamp and the version of the database structure that the
    /// program creates, one per line.
    static QString versionText();
};

} // namespace app
