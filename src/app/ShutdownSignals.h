#pragma once

#include <QObject>

class QSocketNotifier;

namespace app {

/// Ends the program cleanly on SIGTERM and SIGINT (a session's logout,
/// `systemctl stop`, `timeout`, Ctrl+C in a terminal). The handler only
/// writes a byte to a pipe; the event loop reads it and leaves every running
/// loop, modal forms included, so that the windows and the data module are
/// destroyed in order and the database is detached. A second signal while
/// that runs ends the process at once.
class ShutdownSignals : public QObject {
    Q_OBJECT
  public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

    /// Installs the handlers and lets the signals through again. The
    /// database engine installs handlers of its own for the same signals
    /// when it is loaded, so call this again once the database has been
    /// opened.
    void install();
    /// Holds the signals back until the next install(): while the database
    /// is opened, a signal would otherwise reach the engine's handlers, which
    /// cut the connection under the window being built. Threads started
    /// meanwhile keep them held, so they come to this thread's handler.
    void hold();
    /// True once a signal has been handled. The main loop clears the request
    /// to leave when it starts, so a signal that came during start-up is
    /// looked at here.
    bool requested() const { return m_requested; }
    /// True once any instance has handled a signal: work that processes
    /// events in a loop of its own (an import's progress) stops on it
    /// rather than finishing and committing.
    static bool shuttingDown();

  signals:
    /// Emitted once, before the event loops are told to end.
    void received(int signalNumber);

  private:
    void onPipeReadable();

    QSocketNotifier *m_notifier = nullptr;
    bool m_requested = false;
};

} // namespace app
