#include "iotool/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace iotool {
namespace {

const char *const kUsage =
    "Usage:\n"
    "  kontakty-io export [--format vcard4|vcard3|csv|csv-cz] [--company NAME] DATABASE FILE\n"
    "  kontakty-io import [--yes] DATABASE FILE\n"
    "\n"
    "DATABASE is a database file or a connection string HOST[/PORT]:PATH.\n"
    "FILE may be \"-\" for standard output (export) or input (import).\n"
    "Import lists what it would create, skip and refuse; it writes only with --yes.\n"
    "Exit status: 0 done, 1 failed (nothing written), 2 wrong arguments,\n"
    "3 written but some contacts were refused.\n";

/// "server:/data/k.gdb" or "server/3050:/data/k.gdb" name a server; a plain
/// path (also "C:\\..." with its drive letter) is a file for the embedded engine.
void splitTarget(const QString &target, QString &host, QString &path) {
    static const QRegularExpression server(QStringLiteral("^([A-Za-z0-9._-]{2,}(/\\d+)?):(.+)$"));
    const auto match = server.match(target);
    host = match.hasMatch() ? match.captured(1) : QString();
    path = match.hasMatch() ? match.captured(3) : target;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("vcard4 (default), vcard3, csv or csv-cz."),
                                    QStringLiteral("format"));
    const QCommandLineOption company(QStringLiteral("company"),
                                     QStringLiteral("Export only this company."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Import: write to the database."));
    parser.addOptions({help, format, company, yes});

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = QString::fromLatin1(kUsage);
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    if (command != QLatin1String("export") && command != QLatin1String("import")) {
        result.text =
            command.isEmpty()
                ? QStringLiteral("give a command: export or import")
                : QStringLiteral("unknown command '%1'; use export or import").arg(command);
        return result;
    }
    if (positional.size() != 3) {
        result.text = QStringLiteral("%1 needs DATABASE and FILE").arg(command);
        return result;
    }
    const bool isExport = command == QLatin1String("export");
    if (!isExport && (parser.isSet(format) || parser.isSet(company))) {
        result.text =
            QStringLiteral("--format and --company belong to export; import recognises the file");
        return result;
    }
    if (isExport && parser.isSet(yes)) {
        result.text = QStringLiteral("--yes belongs to import");
        return result;
    }
    if (parser.isSet(format)) {
        const auto chosen = io::formatNamed(parser.value(format));
        if (!chosen) {
            result.text = QStringLiteral("unknown format '%1'; use vcard4, vcard3, csv or csv-cz")
                              .arg(parser.value(format));
            return result;
        }
        result.format = *chosen;
    }
    splitTarget(positional[1], result.host, result.database);
    result.file = positional[2];
    result.company = parser.value(company);
    result.write = parser.isSet(yes);
    result.action = isExport ? CommandLine::Action::Export : CommandLine::Action::Import;
    return result;
}

} // namespace iotool
