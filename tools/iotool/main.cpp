#include "io/ContactFiles.h"
#include "iotool/CommandLine.h"
#include "iotool/Commands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    io::keepLargeBuffersMapped();
    QCoreApplication app(argc, argv);
    // The program's names: sync reads the account it set up.
    app.setApplicationName(QStringLiteral("Kontakty"));
    app.setOrganizationName(QStringLiteral("Qorvel"));
    const iotool::CommandLine command = iotool::parseCommandLine(QCoreApplication::arguments());
    switch (command.action) {
    case iotool::CommandLine::Action::ShowHelp:
        std::printf("%s", qPrintable(command.text));
        return iotool::Done;
    case iotool::CommandLine::Action::UsageError:
        std::fprintf(stderr, "kontakty-io: %s (see --help)\n", qPrintable(command.text));
        return iotool::WrongArguments;
    default:
        return iotool::runCommand(command, stdout, stderr);
    }
}
