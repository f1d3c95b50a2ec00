#include "DatabaseBuilder.h"
#include "DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kontakty-initdb"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates a new contacts database file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The database file to create."));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Add demo companies and contacts."));
    parser.addOption(demo);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        std::fprintf(stderr, "kontakty-initdb: give exactly one PATH (see --help)\n");
        return 2;
    }
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    initdb::BuildOptions options;
    options.demo = parser.isSet(demo);
    try {
        QDir().mkpath(QFileInfo(path).absolutePath());
        initdb::buildDatabase(path, options);
    } catch (const data::DbError &e) {
        std::fprintf(stderr, "kontakty-initdb: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("Created %s\n", qPrintable(path));
    return 0;
}
