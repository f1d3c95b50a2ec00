#pragma once

#include <QString>

#include <functional>

namespace ui {

/// The text the standard error report shows: a full stop is appended when
/// the message's last character comes after "." in character order.
QString errorReportText(const QString &message);

/// Shows an error that no step handled: caption the application title,
/// error icon, OK. The program goes on.
void showErrorReport(const QString &message);

/// Runs one user action; an error escaping it ends the action and is shown
/// by the standard error report. Returns false when the action failed.
bool guarded(const std::function<void()> &action);

} // namespace ui
