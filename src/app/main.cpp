#include "app/Application.h"
#include "app/ProgramCommand.h"
#include "io/ContactFiles.h"

#include <cstdio>

namespace {

QStringList rawArguments(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

/// Prints what the command asks for and returns the exit code; -1 when the
/// program is to run.
int answer(const app::ProgramCommand &command) {
    switch (command.action) {
    case app::ProgramCommand::Action::Run:
        return -1;
    case app::ProgramCommand::Action::ShowHelp:
    case app::ProgramCommand::Action::ShowVersion:
        std::printf("%s", qPrintable(command.text));
        return 0;
    case app::ProgramCommand::Action::UsageError:
        break;
    }
    std::fprintf(stderr, "vizitar: %s (see --help)\n", qPrintable(command.text));
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    // --help and --version answer before the windowing system starts, so
    // they work without a display. Options of the windowing system
    // (-platform, -style ...) fail this first reading; the application
    // object takes them out before the second.
    const app::ProgramCommand early = app::ProgramCommand::parse(rawArguments(argc, argv));
    if (early.action == app::ProgramCommand::Action::ShowHelp ||
        early.action == app::ProgramCommand::Action::ShowVersion)
        return answer(early);
    io::keepLargeBuffersMapped(); // the program imports files of any size too
    app::Application app(argc, argv);
    const app::ProgramCommand command = app::ProgramCommand::parse(QCoreApplication::arguments());
    const int code = answer(command);
    return code >= 0 ? code : app.run(command.database);
}
