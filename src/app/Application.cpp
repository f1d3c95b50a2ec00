#include "app/Application.h"

#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/U_deska.h"
#include "data/U_DM.h"
#include "db/DatabaseLocation.h"
#include "db/DatabaseTarget.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/FbClient.h"
#include "db/FileHolders.h"
#include "db/OpenError.h"
#include "login/LoginDialog.h"
#include "schema/DatabaseCreator.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBoxService.h"
#include "ui/QtTranslations.h"

#include "app/U_Info.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "print/U_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

namespace app {

namespace {

/// Whether the engine refuses this process a file that others hold: under
/// Super it does, under SuperClassic several programs share a file the way
/// they share a database on a server. Any other failure is left to the
/// program's own open, which reports it.
bool engineRefusesSharing(const db::DatabaseAccess &access) {
    db::DbConnection probe;
    probe.setDatabase(access.database);
    probe.setUser(access.user);
    probe.setPassword(access.password);
    try {
        probe.setConnected(true);
        probe.setConnected(false);
        return false;
    } catch (const db::DbError &error) {
        return db::isHeldFile(error);
    }
}

/// For unattended runs (the start-up checks of the test suite): every
/// message is appended to a file and answered without a window.
class MessageLog : public base::msg::MessageService {
  public:
    explicit MessageLog(QString path) : m_path(std::move(path)) {}
    base::msg::Answer show(base::msg::Kind kind, const QString &text,
                           base::msg::Buttons buttons) override {
        QFile file(m_path);
        if (file.open(QIODevice::Append | QIODevice::Text)) {
            QTextStream out(&file);
            out << ui::MessageBoxService::caption(kind) << '|'
                << QString(text).replace(QStringLiteral("\n\r"), QStringLiteral("\\n")) << '\n';
        }
        return buttons == base::msg::Buttons::Ok ? base::msg::Answer::Ok : base::msg::Answer::Yes;
    }

  private:
    QString m_path;
};

/// An installed program keeps the user's database in the user's data
/// folder, the engine's locks in the user's runtime folder. On the first
/// start the database is not there yet, and an empty one is made so that
/// the user can enter the first company straight away. False, after one
/// message, when the engine's lock folder cannot be used: nothing would open.
bool prepareUserDatabase(const db::DatabaseLocation &location) {
    if (location.kind != db::DatabaseLocation::Kind::UserData)
        return true;
    if (const QString problem = db::FbClient::usePrivateLockFolder(); !problem.isEmpty()) {
        ui::showErrorReport(problem);
        return false;
    }
    // A link there is the user's: opening it says what is wrong with it.
    if (QFileInfo::exists(location.database) || QFileInfo(location.database).isSymLink())
        return true;
    try {
        schema::createDatabase(location.database);
    } catch (const db::DbError &e) {
        ui::showErrorReport(QStringLiteral("Databázi %1 se nepodařilo vytvořit: %2")
                                .arg(location.database, e.message()));
    }
    return true;
}

/// Unattended runs cannot answer a dialog: they cancel it.
class CancellingPrompt : public login::LoginPrompt {
  public:
    std::optional<login::LoginAnswer> ask(const QString &, const login::LoginAnswer &,
                                          const QString &) override {
        return std::nullopt;
    }
};

/// Asks through another prompt unless a shutdown signal came: then every
/// further question is cancelled. The client library, loaded by the first
/// attempt, installs signal handlers of its own; ours are put back before
/// each question so that a signal still ends the dialog.
class ShutdownAwarePrompt : public login::LoginPrompt {
  public:
    ShutdownAwarePrompt(login::LoginPrompt &inner, ShutdownSignals &shutdown)
        : m_inner(inner), m_shutdown(shutdown) {}
    std::optional<login::LoginAnswer> ask(const QString &target,
                                          const login::LoginAnswer &suggested,
                                          const QString &problem) override {
        m_shutdown.install();
        if (m_shutdown.requested())
            return std::nullopt;
        auto answer = m_inner.ask(target, suggested, problem);
        return m_shutdown.requested() ? std::nullopt : answer;
    }

  private:
    login::LoginPrompt &m_inner;
    ShutdownSignals &m_shutdown;
};

/// The login for `database`; a server asks for one. Cancelled, the program
/// goes on and reports the database as one it cannot reach.
db::DatabaseAccess loginFor(const QString &database, bool unattended, ShutdownSignals &shutdown) {
    if (!db::target::isServer(database))
        return db::DatabaseAccess::embedded(database);
    login::DesktopSecretStore store;
    login::DialogLoginPrompt dialog;
    CancellingPrompt cancelling;
    ShutdownAwarePrompt prompt(unattended ? static_cast<login::LoginPrompt &>(cancelling) : dialog,
                               shutdown);
    login::LoginFlow flow(store, prompt);
    return flow.obtain(database).value_or(db::DatabaseAccess::forTarget(database));
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    setIdentity(*this);
    ui::installQtTranslations(*this);
}

void Application::setIdentity(QGuiApplication &app) {
    app.setApplicationName(QStringLiteral("Kontakty"));
    app.setOrganizationName(QStringLiteral("Qorvel"));
    app.setApplicationDisplayName(QStringLiteral("Kontakty"));
    app.setDesktopFileName(QStringLiteral("cz.qorvel.Vizitar"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/cz.qorvel.Vizitar.svg")));
}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::DbError &e) {
        ui::showErrorReport(e.message());
    } catch (const std::exception &e) {
        ui::showErrorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

int Application::run(const QString &chosenDatabase) {
    static ui::MessageBoxService boxes;
    static std::unique_ptr<MessageLog> log;
    const QString logPath = qEnvironmentVariable("VIZITAR_MESSAGE_LOG");
    if (!logPath.isEmpty()) {
        log = std::make_unique<MessageLog>(logPath);
        base::msg::setService(log.get());
    } else {
        base::msg::setService(&boxes);
    }

    const QString chosen = !chosenDatabase.isEmpty()
                               ? chosenDatabase
                               : QSettings().value(QStringLiteral("Database")).toString().trimmed();
    const db::DatabaseLocation location =
        db::DatabaseLocation::forThisProgram(db::target::normalized(chosen));
    if (!prepareUserDatabase(location)) {
        base::msg::setService(nullptr);
        return 1;
    }
    ShutdownSignals shutdown;
    shutdown.install();
    const db::DatabaseAccess access = loginFor(location.database, log != nullptr, shutdown);
    if (shutdown.requested()) {
        base::msg::setService(nullptr);
        return 0;
    }

    // A second start on an embedded file brings the running program forward;
    // another program holding it is named when the engine will not share it.
    Tfm_Deska *window = nullptr;
    std::unique_ptr<SingleInstance> instance;
    if (!db::target::isServer(location.database)) {
        instance = std::make_unique<SingleInstance>(location.database);
        if (instance->bringRunningForward())
            return 0;
        if (const QStringList holders = db::fileHolders(location.database);
            !holders.isEmpty() && engineRefusesSharing(access)) {
            base::msg::show(base::msg::Kind::Error,
                            db::heldFileMessage(location.database, holders));
            base::msg::setService(nullptr);
            return 1;
        }
        instance->listen([&window] {
            if (!window)
                return;
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->show();
            window->raise();
            window->activateWindow();
        });
    }

    shutdown.install();
    shutdown.hold();
    TDM dm;
    DM = &dm;
    // What the user has not confirmed is dropped before any loop ends and
    // before any command goes on to read the tables again, which would
    // otherwise post it.
    connect(&shutdown, &ShutdownSignals::received, &dm, [&dm] { dm.cancelPendingChanges(); });
    dm.ZConKontakty.setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    Tfm_Deska deska(dm, location.baseDirectory, access);
    window = &deska;
    TFM_Kontakt contactForm(dm, &deska);
    Tfm_Firma companyForm(dm, contactForm, &deska);
    TfmInfo about(dm, deska);
    TfmReporty printForm;
    deska.setWindows(&contactForm, &companyForm, &about, &printForm);
    // The database engine, loaded while the main window opened the
    // database, handles these signals too; make sure ours come first. A
    // signal held back meanwhile arrives now and ends the main loop.
    shutdown.install();

    deska.show();
    if (qEnvironmentVariableIsSet("VIZITAR_QUIT_AFTER_SHOW"))
        QTimer::singleShot(0, this, &QApplication::quit);
    // For the benchmark: once the whole board is read and shown.
    if (qEnvironmentVariableIsSet("VIZITAR_QUIT_AFTER_LOAD")) {
        auto quitWhenLoaded = [&dm] {
            if (!dm.isBoardLoading())
                QTimer::singleShot(0, qApp, &QApplication::quit);
        };
        connect(&dm, &TDM::boardLoadingChanged, this, quitWhenLoaded);
        quitWhenLoaded();
    }
    const int code = shutdown.requested() ? 0 : exec();
    base::msg::setService(nullptr);
    return code;
}

} // namespace app
