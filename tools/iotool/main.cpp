#include "iotool/CommandLine.h"
#include "iotool/Commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>

int main(int argc, char *argv[]) {
    // Reading a large file allocates and frees each piece's buffers beside a
    // plan of a million small blocks; with the allocator's adaptive threshold
    // those buffers come from the heap and every free makes it sweep the small
    // blocks (a third of the import's time at 500,000 contacts). A fixed threshold
    // keeps them mapped and unmapped on their own.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
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
