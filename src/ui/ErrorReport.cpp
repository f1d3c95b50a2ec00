#include "ui/ErrorReport.h"

#include "base/MessageService.h"
#include "db/DbError.h"

#include <exception>

namespace ui {

QString errorReportText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showErrorReport(const QString &message) {
    base::msg::show(base::msg::Kind::ErrorReport, errorReportText(message), base::msg::Buttons::Ok);
}

bool guarded(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const db::DbError &e) {
        showErrorReport(e.message());
    } catch (const std::exception &e) {
        showErrorReport(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace ui
