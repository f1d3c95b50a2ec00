#include "db/DbError.h"
#include "db/FbClient.h"
#include "initdb/CommandLine.h"
#include "initdb/DatabaseBuilder.h"

#include <QCoreApplication>

#include <cstdio>

// Exit codes: 0 created, 1 failed (nothing left behind), 2 wrong arguments.
int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const initdb::CommandLine command = initdb::parseCommandLine(QCoreApplication::arguments());
    switch (command.action) {
    case initdb::CommandLine::Action::ShowHelp:
        std::printf("%s", qPrintable(command.text));
        return 0;
    case initdb::CommandLine::Action::UsageError:
        std::fprintf(stderr, "kontakty-initdb: %s (see --help)\n", qPrintable(command.text));
        return 2;
    case initdb::CommandLine::Action::Build:
        break;
    }
    for (const QString &warning : command.warnings)
        std::fprintf(stderr, "kontakty-initdb: warning: %s\n", qPrintable(warning));
    // The tool only makes new files, which no other process holds yet.
    if (const QString problem = db::FbClient::usePrivateLockFolder(); !problem.isEmpty()) {
        std::fprintf(stderr, "kontakty-initdb: %s\n", qPrintable(problem));
        return 1;
    }
    try {
        initdb::buildDatabase(command.path, command.options, command.login);
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "kontakty-initdb: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("Created %s\n", qPrintable(command.path));
    return 0;
}
