#include "ErrorReport.h"

#include "DbError.h"
#include "MessageService.h"

#include <exception>

namespace ui {

QString errorReportText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showErrorReport(const QString &message) {
    msg::show(msg::Kind::ErrorReport, errorReportText(message), msg::Buttons::Ok);
}

bool guarded(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const data::DbError &e) {
        showErrorReport(e.message());
    } catch (const std::exception &e) {
        showErrorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace ui
