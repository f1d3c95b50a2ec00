#pragma once

#include <QProcess>
#include <QString>

/// A program the test runs as a real process, on the offscreen platform.
/// The destructor ends it by SIGTERM and, when that does not end it within
/// a few seconds, by SIGKILL, so no test leaves a process behind.
class ChildProcess {
  public:
    explicit ChildProcess(QString program, QStringList arguments = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    void setEnv(const QString &name, const QString &value);
    void unsetEnv(const QString &name);
    void setWorkingDirectory(const QString &dir) { m_process.setWorkingDirectory(dir); }
    bool start();
    qint64 pid() const { return m_process.processId(); }
    QProcess &process() { return m_process; }

    /// Sends `signalNumber` to the process.
    void signal(int signalNumber);
    /// Ends the process at once (SIGKILL) and waits for it.
    void killHard();
    /// True when the process has `path` open (looked up in /proc).
    bool holdsOpen(const QString &path) const;

  private:
    QString m_program;
    QStringList m_arguments;
    QProcess m_process;
};

/// Runs the engine's full validation (`gfix -v -full`) over the database
/// file and returns the errors it reported: empty for a sound file (page
/// warnings are logged, not returned), otherwise its error lines (or why it
/// could not run).
QString validateDatabase(const QString &path);
