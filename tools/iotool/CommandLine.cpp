#include "iotool/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace iotool {
namespace {

const char *const kUsage =
    "Usage:\n"
    "  kontakty-io export [--format vcard4|vcard3|csv|csv-cz] [--company NAME] DATABASE FILE\n"
    "  kontakty-io import [--yes] DATABASE FILE\n"
    "  kontakty-io sync [--url URL] [--user USER] [--certificate SHA256] [--company ID]...\n"
    "                   [--keep here|server|both --contact ID|--organisation ID] DATABASE\n"
    "\n"
    "DATABASE is a database file or a connection string HOST[/PORT]:PATH.\n"
    "FILE may be \"-\" for standard output (export) or input (import).\n"
    "Import lists what it would create, skip and refuse; it writes only with --yes.\n"
    "Exit status: 0 done, 1 failed (nothing written), 2 wrong arguments,\n"
    "3 written but some contacts were refused.\n"
    "\n"
    "Sync carries contacts both ways between the database and a CardDAV address book\n"
    "(URL of the book or of its server; default: the account set up in the program).\n"
    "The password comes from KONTAKTY_SYNC_PASSWORD or the desktop's secret store.\n"
    "--company ID (repeated) syncs only those companies and their contacts (default: the\n"
    "account's choice, else all); what leaves the choice leaves the book, not the database.\n"
    "A contact changed on both sides waits: --keep here, server or both, with its\n"
    "--contact ID (or a company's card: --organisation ID), ends that conflict. --certificate "
    "accepts the one server certificate of\n"
    "that SHA-256 (as the refusal names it) that the system does not trust.\n"
    "Exit status: 0 in sync, 1 failed (what was\n"
    "carried stays consistent; the next sync goes on), 2 wrong arguments, 3 some cards\n"
    "were not taken, 4 conflicts wait for a choice.\n";

/// "server:/data/k.gdb" or "server/3050:/data/k.gdb" name a server; a plain
/// path (also "C:\\..." with its drive letter) is a file for the embedded engine.
void splitTarget(const QString &target, QString &host, QString &path) {
    static const QRegularExpression server(QStringLiteral("^([A-Za-z0-9._-]{2,}(/\\d+)?):(.+)$"));
    const auto match = server.match(target);
    host = match.hasMatch() ? match.captured(1) : QString();
    path = match.hasMatch() ? match.captured(3) : target;
}

struct SyncOptions {
    const QCommandLineOption &url, &user, &keep, &contact, &certificate, &company, &organisation;
};

CommandLine parseSync(const QCommandLineParser &parser, const QStringList &positional,
                      const SyncOptions &options, bool foreignOptions) {
    CommandLine result;
    const auto &[url, user, keep, contact, certificate, company, organisation] = options;
    if (foreignOptions) {
        result.text = QStringLiteral("--format and --yes do not belong to sync");
        return result;
    }
    if (positional.size() != 2) {
        result.text = QStringLiteral("sync needs DATABASE");
        return result;
    }
    result.keep = parser.value(keep);
    if (!result.keep.isEmpty() && result.keep != QLatin1String("here") &&
        result.keep != QLatin1String("server") && result.keep != QLatin1String("both")) {
        result.text = QStringLiteral("--keep takes here, server or both");
        return result;
    }
    bool number = false;
    const bool ofCompany = parser.isSet(organisation);
    const int id = parser.value(ofCompany ? organisation : contact).toInt(&number);
    (ofCompany ? result.companyId : result.contactId) = id;
    if (result.keep.isEmpty() != !(parser.isSet(contact) || ofCompany) ||
        (parser.isSet(contact) && ofCompany) ||
        ((parser.isSet(contact) || ofCompany) && (!number || id <= 0))) {
        result.text = QStringLiteral("--keep goes with one --contact ID or --organisation ID");
        return result;
    }
    for (const QString &value : parser.values(company)) {
        result.companies << value.toInt(&number);
        if (!number || result.companies.last() <= 0) {
            result.text =
                QStringLiteral("sync's --company takes a company ID, not '%1'").arg(value);
            return result;
        }
    }
    splitTarget(positional[1], result.host, result.database);
    result.certificate =
        parser.value(certificate).remove(QLatin1Char(':')).trimmed().toLower().toLatin1();
    static const QRegularExpression sha256(QStringLiteral("^[0-9a-f]{64}$"));
    if (parser.isSet(certificate) &&
        !sha256.match(QString::fromLatin1(result.certificate)).hasMatch()) {
        result.text =
            QStringLiteral("--certificate takes the SHA-256 of the certificate (64 hex digits)");
        return result;
    }
    result.url = parser.value(url);
    result.user = parser.value(user);
    result.action = CommandLine::Action::Sync;
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("vcard4 (default), vcard3, csv or csv-cz."),
                                    QStringLiteral("format"));
    const QCommandLineOption company(
        QStringLiteral("company"),
        QStringLiteral("Export only this company (NAME); sync only these (ID, repeated)."),
        QStringLiteral("NAME|ID"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Import: write to the database."));
    const QCommandLineOption url(QStringLiteral("url"), QStringLiteral("Sync: the address book."),
                                 QStringLiteral("URL"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Sync: the login."),
                                  QStringLiteral("USER"));
    const QCommandLineOption keep(QStringLiteral("keep"),
                                  QStringLiteral("Sync: here, server or both."),
                                  QStringLiteral("SIDE"));
    const QCommandLineOption contact(QStringLiteral("contact"),
                                     QStringLiteral("Sync: the contact whose conflict ends."),
                                     QStringLiteral("ID"));
    const QCommandLineOption certificate(QStringLiteral("certificate"),
                                         QStringLiteral("Sync: accept this certificate."),
                                         QStringLiteral("SHA256"));
    const QCommandLineOption organisation(
        QStringLiteral("organisation"),
        QStringLiteral("Sync: the company whose organisation card's conflict ends."),
        QStringLiteral("ID"));
    parser.addOptions(
        {help, format, company, yes, url, user, keep, contact, certificate, organisation});

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
    if (command == QLatin1String("sync"))
        return parseSync(parser, positional,
                         SyncOptions{url, user, keep, contact, certificate, company, organisation},
                         parser.isSet(format) || parser.isSet(yes));
    if (parser.isSet(url) || parser.isSet(user) || parser.isSet(keep) || parser.isSet(contact) ||
        parser.isSet(certificate) || parser.isSet(organisation)) {
        result.text = QStringLiteral(
            "--url, --user, --certificate, --keep, --contact and --organisation belong to sync");
        return result;
    }
    if (command != QLatin1String("export") && command != QLatin1String("import")) {
        result.text =
            command.isEmpty()
                ? QStringLiteral("give a command: export, import or sync")
                : QStringLiteral("unknown command '%1'; use export, import or sync").arg(command);
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
