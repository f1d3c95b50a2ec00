#include "Application.h"

#include "DbError.h"
#include "ErrorReport.h"
#include "MessageBoxService.h"
#include "QtTranslations.h"
#include "U_DM.h"
#include "U_deska.h"

#include "U_Kontakt.h"
#include "U_Firma.h"
#include "U_Info.h"
#include "U_report.h"

#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace {

/// For unattended runs (the start-up checks of the test suite): every
/// message is appended to a file and answered without a window.
class MessageLog : public msg::MessageService {
public:
    explicit MessageLog(QString path) : m_path(std::move(path)) {}
    msg::Answer show(msg::Kind kind, const QString &text, msg::Buttons buttons) override {
        QFile file(m_path);
        if (file.open(QIODevice::Append | QIODevice::Text)) {
            QTextStream out(&file);
            out << ui::MessageBoxService::caption(kind) << '|' << QString(text).replace(QStringLiteral("\n\r"), QStringLiteral("\\n")) << '\n';
        }
        return buttons == msg::Buttons::Ok ? msg::Answer::Ok : msg::Answer::Yes;
    }

private:
    QString m_path;
};

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Kontakty"));
    setOrganizationName(QStringLiteral("Qorvel"));
    setApplicationDisplayName(QStringLiteral("Kontakty"));
    ui::installQtTranslations(*this);
}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const data::DbError &e) {
        ui::showErrorReport(e.message());
    } catch (const std::exception &e) {
        ui::showErrorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

int Application::run() {
    static ui::MessageBoxService boxes;
    static std::unique_ptr<MessageLog> log;
    const QString logPath = qEnvironmentVariable("VIZITAR_MESSAGE_LOG");
    if (!logPath.isEmpty()) {
        log = std::make_unique<MessageLog>(logPath);
        msg::setService(log.get());
    } else {
        msg::setService(&boxes);
    }

    TDM dm;
    DM = &dm;
    dm.ZConKontakty.setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    Tfm_Deska deska(dm, QCoreApplication::applicationDirPath());
    TFM_Kontakt contactForm(dm, &deska);
    Tfm_Firma companyForm(dm, contactForm, &deska);
    TfmInfo about(dm, deska);
    TfmReporty printForm;
    deska.setWindows(&contactForm, &companyForm, &about, &printForm);

    deska.show();
    if (qEnvironmentVariableIsSet("VIZITAR_QUIT_AFTER_SHOW"))
        QTimer::singleShot(0, this, &QApplication::quit);
    const int code = exec();
    msg::setService(nullptr);
    return code;
}
