#include "app/ProgramCommand.h"

#include "schema/Schema.h"
#include "ui/MakerInfo.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace app {

ProgramCommand ProgramCommand::parse(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vizitar: a register of companies and their contact persons."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Show the version and the database structure it creates."));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Work with the database TARGET: a file path, or a server's database as "
                       "host:/path/file.fdb, host/port:alias or inet://host/path. Wins over the "
                       "setting Database."),
        QStringLiteral("TARGET"));
    parser.addOptions({help, version, database});

    ProgramCommand command;
    if (!parser.parse(arguments)) {
        command.text = parser.errorText();
        return command;
    }
    if (parser.isSet(help)) {
        command.action = Action::ShowHelp;
        // The usage line names the program the same way whether or not the
        // application object exists yet (before it, the parser knows no name).
        static const QRegularExpression usage(QStringLiteral("^Usage: \\S+"));
        command.text = parser.helpText().replace(usage, QStringLiteral("Usage: vizitar"));
    } else if (parser.isSet(version)) {
        command.action = Action::ShowVersion;
        command.text = versionText();
    } else if (!parser.positionalArguments().isEmpty()) {
        command.text =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    } else if (parser.isSet(database) && parser.value(database).trimmed().isEmpty()) {
        command.text = QStringLiteral("--database needs a file path or a connection string");
    } else {
        command.action = Action::Run;
        command.database = parser.value(database).trimmed();
    }
    return command;
}

QString ProgramCommand::versionText() {
    const auto [major, minor] = schema::layoutVersion(schema::Layout::Current);
    return QStringLiteral("vizitar %1\ndatabase structure %2.%3\n")
        .arg(ui::maker::kVersionStamp)
        .arg(major)
        .arg(minor);
}

} // namespace app
