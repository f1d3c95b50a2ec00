#include "iotool/Commands.h"

#include "data/ReadIndexes.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "io/ContactStore.h"
#include "io/Limits.h"
#include "login/SecretStore.h"
#include "sync/AccountSettings.h"
#include "sync/SyncEngine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSettings>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace iotool {
namespace {

// SIGTERM and SIGINT: outside the work the tool ends at once; while it
// reads, plans or writes, the next progress report stops the work, so that
// the one transaction is rolled back, the database is detached as it was and
// an export leaves no file behind.
volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_working = 0;

void onSignal(int signalNumber) {
    g_signal = signalNumber;
    if (!g_working) {
        static const char message[] = "kontakty-io: stopped by a signal; nothing was written\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(Failed);
    }
}

/// Installed once the database engine is loaded: it sets handlers of its own.
void handleSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGTERM, SIGINT})
        ::sigaction(s, &action, nullptr);
}

/// Marks the stretch in which a signal stops the work instead of the process.
struct Working {
    Working() { g_working = 1; }
    ~Working() { g_working = 0; }
};

/// A failure that ends the command with its message.
struct Failure {
    QString message;
};

void print(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void connect(db::DbConnection &db, const CommandLine &command) {
    // Firebird's own variables name other credentials for a server.
    const QString user = qEnvironmentVariable("ISC_USER", db::settings::kUser);
    const QString password = qEnvironmentVariable("ISC_PASSWORD", db::settings::kPassword);
    if (command.host.isEmpty() && !QFile::exists(command.database))
        throw Failure{QStringLiteral("the database %1 does not exist").arg(command.database)};
    db.setHostName(command.host);
    db.setDatabase(command.database);
    db.setUser(user);
    db.setPassword(password);
    db.setConnected(true);
    try {
        data::readindexes::ensure(db); // after an import that was killed while it wrote
    } catch (const db::DbError &) {
        // A file this user may not change: reads are only slower.
    }
}

/// The file to import, refused unread when it is over the size limit.
void openInput(QFile &file, const QString &name) {
    const bool opened = name == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw Failure{QStringLiteral("cannot read %1: %2").arg(name, file.errorString())};
    if (!file.isSequential() && file.size() > io::limits::kMaxFileBytes)
        throw Failure{QStringLiteral("%1: %2").arg(name, io::limits::tooBigMessage(file.size()))};
}

/// Progress on standard error: at the start, then at most once a second;
/// false after a signal.
io::Progress progressOn(std::FILE *err, const QString &what, const QString &unit = {}) {
    auto shown = std::make_shared<QElapsedTimer>();
    return [=](int done, int total) {
        if (g_signal)
            return false;
        if (shown->isValid() && shown->elapsed() < 1000)
            return true;
        shown->start();
        print(err,
              (total ? QStringLiteral("kontakty-io: %1 %2 of %3").arg(what).arg(done).arg(total)
                     : QStringLiteral("kontakty-io: %1 %2").arg(what).arg(done)) +
                  unit + QLatin1Char('\n'));
        std::fflush(err);
        return true;
    };
}

int exportContacts(const CommandLine &command, std::FILE *out, std::FILE *err) {
    db::DbConnection db;
    connect(db, command);
    handleSignals();
    const Working writing; // a signal stops the export; the half file is dropped
    QList<io::ExportScope> scopes{io::ExportScope{}};
    if (!command.company.isEmpty()) {
        scopes.clear();
        for (int id : io::companiesNamed(db, command.company))
            scopes << io::ExportScope{io::ExportScope::Kind::Company, id, {}, {}};
        if (scopes.isEmpty())
            throw Failure{QStringLiteral("no company is named '%1'").arg(command.company)};
    }
    QString error;
    if (command.file == QLatin1String("-")) {
        std::fflush(out);
        QFile standardOutput;
        if (!standardOutput.open(out, QIODevice::WriteOnly))
            throw Failure{QStringLiteral("cannot write to standard output: %1")
                              .arg(standardOutput.errorString())};
        const int count = io::exportEntries(db, scopes, command.format, standardOutput, error,
                                            progressOn(err, QStringLiteral("exported")));
        if (count < 0)
            throw Failure{error};
        print(err, QStringLiteral("Exported %1 records\n").arg(count));
        return Done;
    }
    // Written beside and renamed at the end: a failure leaves no half file.
    QSaveFile file(command.file);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure{QStringLiteral("cannot write %1: %2").arg(command.file, file.errorString())};
    const int count = io::exportEntries(db, scopes, command.format, file, error,
                                        progressOn(err, QStringLiteral("exported")));
    if (count < 0)
        throw Failure{QStringLiteral("cannot write %1: %2").arg(command.file, error)};
    if (!file.commit())
        throw Failure{QStringLiteral("cannot write %1: %2").arg(command.file, file.errorString())};
    print(out, QStringLiteral("Exported %1 records to %2\n").arg(count).arg(command.file));
    return Done;
}

/// Reads and plans the file as it goes: the plan keeps what it needs of each
/// card, never the whole file.
io::ImportPlan planFile(db::DbConnection &db, const QString &name, std::FILE *err) {
    QFile file;
    openInput(file, name);
    io::ImportPlanner planner(io::readExisting(db));
    const io::Progress progress = progressOn(err, QStringLiteral("read"), QStringLiteral(" KB"));
    const QStringList errors = io::readContactFile(
        file, [&](io::Entry &&e) { planner.add(std::move(e)); },
        [&](qint64 done, qint64 total) { return progress(int(done >> 10), int(total >> 10)); });
    if (g_signal)
        throw Failure{QStringLiteral("stopped by a signal; nothing was written")};
    if (!errors.isEmpty())
        throw Failure{QStringLiteral("%1 is damaged, nothing was written:\n  %2")
                          .arg(name, errors.join(QStringLiteral("\n  ")))};
    return planner.finish();
}

int importContacts(const CommandLine &command, std::FILE *out, std::FILE *err) {
    db::DbConnection db;
    connect(db, command);
    handleSignals();
    const io::ImportPlan plan = [&] {
        const Working reading; // a signal stops the reading; nothing is written yet
        return planFile(db, command.file, err);
    }();
    io::describePlan(plan, [out](const QString &line) { print(out, line + QLatin1Char('\n')); });
    if (plan.contacts.isEmpty() &&
        plan.companiesToCreate().isEmpty()) { // a file that yields nothing is no success
        QStringList refused;
        for (const io::RefusedEntry &r : plan.refused)
            refused << r.who + QStringLiteral(" – ") + r.problems.join(QStringLiteral("; "));
        throw Failure{QStringLiteral("nothing in %1 can be imported:\n  %2")
                          .arg(command.file, refused.join(QStringLiteral("\n  ")))};
    }
    if (!command.write) {
        print(out, QStringLiteral("Nothing written; run with --yes to import.\n"));
        return Done;
    }
    io::ImportResult result;
    try {
        const Working writing;
        result = io::writeImport(db, plan, progressOn(err, QStringLiteral("written")));
    } catch (const db::DbError &e) { // one transaction: it went as a whole
        throw Failure{g_signal ? QStringLiteral("stopped by a signal; nothing was written")
                               : e.message() + QStringLiteral("\nNothing was written.")};
    }
    for (const QString &note : result.notes)
        print(out, note + QLatin1Char('\n'));
    print(out, QStringLiteral("Written: %1 companies, %2 contacts.\n")
                   .arg(result.companies)
                   .arg(result.contacts));
    return plan.refused.isEmpty() ? Done : SomeRefused;
}

/// The account of the options, what they leave out from the program's
/// settings, and its password.
cardsync::Account syncAccount(const CommandLine &command) {
    cardsync::AccountSettings account = cardsync::AccountSettings::load(QSettings());
    if (!command.url.isEmpty())
        account.url = QUrl(command.url);
    if (!command.user.isEmpty())
        account.user = command.user;
    if (!command.certificate.isEmpty())
        account.acceptedCertificate = command.certificate;
    if (!account.url.isValid() || account.url.scheme().isEmpty() || account.url.host().isEmpty())
        throw Failure{QStringLiteral("no address book: give --url http(s)://... or set up "
                                     "Synchronizace in the program")};
    if (account.user.isEmpty())
        throw Failure{
            QStringLiteral("no user: give --user or set up Synchronizace in the program")};
    std::optional<QString> password;
    if (qEnvironmentVariableIsSet(cardsync::kPasswordVariable))
        password = qEnvironmentVariable(cardsync::kPasswordVariable);
    else
        password = login::DesktopSecretStore().read(account.secretKey());
    if (!password)
        throw Failure{QStringLiteral("no password: set %1 or let the program remember it")
                          .arg(QString::fromLatin1(cardsync::kPasswordVariable))};
    return {account.url, account.user, *password, account.acceptedCertificate};
}

int syncContacts(const CommandLine &command, std::FILE *out) {
    cardsync::CardDavClient client(syncAccount(command));
    db::DbConnection db;
    connect(db, command);
    cardsync::SyncEngine engine(db, client);
    const QList<int> companies = command.companies.isEmpty()
                                     ? cardsync::AccountSettings::load(QSettings()).companies
                                     : command.companies;
    engine.setScope({QSet<int>(companies.begin(), companies.end())});
    try {
        if (!command.keep.isEmpty()) {
            const cardsync::Choice choice =
                command.keep == QLatin1String("here")     ? cardsync::Choice::KeepHere
                : command.keep == QLatin1String("server") ? cardsync::Choice::KeepServer
                                                          : cardsync::Choice::KeepBoth;
            if (command.companyId)
                engine.resolveCompany(command.companyId, choice);
            else
                engine.resolve(command.contactId, choice);
        }
        const cardsync::SyncReport report = engine.run();
        print(out, QStringLiteral("Here: %1 received, %2 deleted. Server: %3 sent, %4 deleted. "
                                  "Companies: %5 here, %6 on the server.\n")
                       .arg(report.receivedHere)
                       .arg(report.deletedHere)
                       .arg(report.sentThere)
                       .arg(report.deletedThere)
                       .arg(report.companiesHere)
                       .arg(report.companiesThere));
        if (report.paired)
            print(out,
                  QStringLiteral("Paired: %1 contacts found on both sides.\n").arg(report.paired));
        for (const QString &note : report.notes)
            print(out, note + QLatin1Char('\n'));
        for (int id : report.conflicts)
            print(out, QStringLiteral("Conflict: contact %1 was changed on both sides; nothing "
                                      "of it was written. Choose with --keep here|server|both "
                                      "--contact %1.\n")
                           .arg(id));
        for (int id : report.conflictingCompanies)
            print(out, QStringLiteral("Conflict: company %1 was changed on both sides; nothing "
                                      "of it was written. Choose with --keep here|server|both "
                                      "--organisation %1.\n")
                           .arg(id));
        return !report.conflicts.isEmpty() || !report.conflictingCompanies.isEmpty() ? ConflictsWait
               : !report.notes.isEmpty()                                             ? SomeRefused
                                                                                     : Done;
    } catch (const cardsync::SyncError &e) {
        throw Failure{
            e.message() +
            QStringLiteral("\nWhat was carried stays; the next sync goes on from there.")};
    }
}

} // namespace

int runCommand(const CommandLine &command, std::FILE *out, std::FILE *err) {
    try {
        switch (command.action) {
        case CommandLine::Action::Export:
            return exportContacts(command, out, err);
        case CommandLine::Action::Sync:
            return syncContacts(command, out);
        default:
            return importContacts(command, out, err);
        }
    } catch (const Failure &f) {
        print(err, QStringLiteral("kontakty-io: %1\n").arg(f.message));
    } catch (const db::DbError &e) {
        print(err, QStringLiteral("kontakty-io: %1\n")
                       .arg(g_signal ? QStringLiteral("stopped by a signal; nothing was written")
                                     : e.message()));
    }
    return Failed;
}

} // namespace iotool
