#include "initdb/CommandLine.h"

#include "db/DatabaseTarget.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

namespace initdb {
namespace {

bool readCount(const QCommandLineParser &parser, const QCommandLineOption &option, int &count,
               QString &error) {
    if (!parser.isSet(option))
        return true;
    const QString text = parser.value(option);
    bool ok = false;
    count = text.toInt(&ok);
    if (ok && count >= 0)
        return true;
    error = QStringLiteral("--%1 needs a whole number of 0 or more, not '%2'")
                .arg(option.names().first(), text);
    return false;
}

/// The first line of the file at `path`, or of standard input for "-",
/// without its line break: what `echo … > file` or a password manager's
/// pipe hands over.
bool readPasswordFile(const QString &path, QString &password, QString &error) {
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error =
            QStringLiteral("cannot read the password file '%1': %2").arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    password = QString::fromUtf8(line);
    return true;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates a new contacts database file."));
    parser.addPositionalArgument(
        QStringLiteral("PATH"),
        QStringLiteral("The database file to create, or a database on a server: "
                       "host:/path/file.fdb, host/port:/path/file.fdb or inet://host/path."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption layout(
        QStringLiteral("layout"),
        QStringLiteral("Structure version: 1.1 (current, default), or 1.0 or 0.0 "
                       "(older, without photos, with a few sample rows)."),
        QStringLiteral("version"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Add demo companies and contacts."));
    const QCommandLineOption companies(
        QStringLiteral("companies"), QStringLiteral("Add N generated companies (for benchmarks)."),
        QStringLiteral("N"));
    const QCommandLineOption contacts(
        QStringLiteral("contacts"),
        QStringLiteral("Add M generated contact persons to them; placeholder "
                       "rows of companies without contacts come on top."),
        QStringLiteral("M"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("The server's user (else ISC_USER)."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption passwordFile(
        QStringLiteral("password-file"),
        QStringLiteral(
            "Read the server user's password from the first line of FILE, or of standard "
            "input for '-' (else ISC_PASSWORD)."),
        QStringLiteral("FILE"));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("The server user's password; every user of this machine can read it in the "
                       "process list, so prefer --password-file or ISC_PASSWORD."),
        QStringLiteral("PASSWORD"));
    parser.addOptions({help, layout, demo, companies, contacts, user, passwordFile, password});

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = parser.helpText();
        return result;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 1) {
        result.text = QStringLiteral("give exactly one PATH");
        return result;
    }
    if (parser.isSet(layout)) {
        const QString version = parser.value(layout);
        if (version == QLatin1String("0.0"))
            result.options.layout = schema::Layout::V0_0;
        else if (version == QLatin1String("1.0"))
            result.options.layout = schema::Layout::V1_0;
        else if (version != QLatin1String("1.1")) {
            result.text = QStringLiteral("unknown layout '%1'; use 1.1, 1.0 or 0.0").arg(version);
            return result;
        }
    }
    if (!readCount(parser, companies, result.options.companies, result.text) ||
        !readCount(parser, contacts, result.options.contacts, result.text))
        return result;
    if (result.options.contacts > 0 && result.options.companies == 0) {
        result.text = QStringLiteral("--contacts needs --companies");
        return result;
    }
    result.options.demo = parser.isSet(demo);
    result.path = db::target::normalized(paths.first());
    const bool passwordGiven = parser.isSet(password) || parser.isSet(passwordFile);
    if (db::target::isServer(result.path)) {
        result.login.user =
            parser.isSet(user) ? parser.value(user) : qEnvironmentVariable("ISC_USER");
        if (parser.isSet(password) && parser.isSet(passwordFile)) {
            result.text = QStringLiteral("give either --password-file or --password, not both");
            return result;
        }
        if (parser.isSet(passwordFile)) {
            if (!readPasswordFile(parser.value(passwordFile), result.login.password, result.text))
                return result;
        } else if (parser.isSet(password)) {
            result.login.password = parser.value(password);
            result.warnings << QStringLiteral(
                "--password shows the password to every user of this machine "
                "(process list); use --password-file or ISC_PASSWORD instead");
        } else {
            result.login.password = qEnvironmentVariable("ISC_PASSWORD");
        }
        if (result.login.user.isEmpty()) {
            result.text = QStringLiteral("a database on a server needs --user and --password-file "
                                         "(or ISC_USER and ISC_PASSWORD)");
            return result;
        }
    } else if (parser.isSet(user) || passwordGiven) {
        result.text = QStringLiteral("--user and the password are for a database on a server");
        return result;
    }
    result.action = CommandLine::Action::Build;
    return result;
}

} // namespace initdb
