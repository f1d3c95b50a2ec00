#pragma once

#include <QApplication>

namespace app {

/// The program: creates the data module and the windows in their fixed order
/// and runs the message loop. An error that escapes an event handler ends
/// that handler and is shown by the standard error report.
class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int &argc, char **argv);
    /// Names the program for settings, data folders and the desktop, and
    /// gives every window the program's icon.
    static void setIdentity(QGuiApplication &app);
    bool notify(QObject *receiver, QEvent *event) override;
    /// Runs the program on `chosenDatabase` (a file path or a connection
    /// string); when empty, on the setting Database, else on the usual file.
    int run(const QString &chosenDatabase = {});
};

} // namespace app
