#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace bench {

/// One finished child process.
struct ChildRun {
    double wallMs = 0;    ///< from spawning to its exit
    double cpuMs = 0;     ///< the child's user and system time
    qint64 peakRssKb = 0; ///< the child's own peak resident memory (ru_maxrss)
    int exitCode = -1;    ///< -1 when it did not exit normally
};

/// Runs `program` with `arguments` in `environment` and waits for it; its
/// output goes to /dev/null. Throws std::runtime_error when it cannot start.
ChildRun runChild(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment);

/// The environment of an unattended run of the program: offscreen, no
/// message boxes (messages are appended to `messageLog`), quit after the
/// first showing.
QProcessEnvironment unattendedEnvironment(const QString &messageLog);

} // namespace bench
