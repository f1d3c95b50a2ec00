#include "ChildRuns.h"

#include <QElapsedTimer>
#include <QTemporaryFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace bench {

ChildRun runChild(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment) {
    // The child's own peak comes from a small process in between: a child
    // spawned straight from this (large) process inherits its peak at exec.
    QTemporaryFile peakFile;
    if (!peakFile.open())
        throw std::runtime_error("cannot make a temporary file for the peak memory");
    std::vector<QByteArray> storage{QByteArrayLiteral("/usr/bin/time"), QByteArrayLiteral("-f"),
                                    QByteArrayLiteral("%M"), QByteArrayLiteral("-o"),
                                    peakFile.fileName().toLocal8Bit()};
    storage.push_back(program.toLocal8Bit());
    for (const QString &a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (const QString &entry : environment.toStringList())
        envStorage.push_back(entry.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + storage[0].toStdString() + ": " +
                                 std::strerror(error));
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.wallMs = double(timer.nsecsElapsed()) / 1e6;
    run.cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakRssKb = QString::fromLatin1(peakFile.readAll())
                        .trimmed()
                        .split(QLatin1Char('\n'))
                        .last()
                        .toLongLong();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

QProcessEnvironment unattendedEnvironment(const QString &messageLog) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VIZITAR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
    env.insert(QStringLiteral("VIZITAR_MESSAGE_LOG"), messageLog);
    return env;
}

} // namespace bench
