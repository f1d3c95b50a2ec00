#pragma once

#include "db/DbConnection.h"

#include <QString>

#include <functional>
#include <mutex>
#include <thread>

namespace db {

/// Reads beside the window: a thread with a connection of its own, which
/// the thread that started it can stop at any moment, the statement
/// running included (a program being ended does not wait for a long read).
class WorkerConnection {
  public:
    WorkerConnection() = default;
    ~WorkerConnection() { stop(); }
    WorkerConnection(const WorkerConnection &) = delete;
    WorkerConnection &operator=(const WorkerConnection &) = delete;

    /// Stops any work in progress, then connects to `login` on a new thread
    /// and runs `work` there. Unless stopped, `finished` is called on that
    /// thread at the end, with the error's text when connecting or `work`
    /// threw a DbError, else with an empty text.
    void start(const DbConnection::Login &login, std::function<void(DbConnection &)> work,
               std::function<void(const QString &error)> finished);
    /// Makes the statement running fail and returns once the thread ended.
    void stop();
    /// Returns once the thread ended.
    void wait();
    bool isRunning() const { return m_thread.joinable(); }

  private:
    void run(const DbConnection::Login &login, const std::function<void(DbConnection &)> &work,
             const std::function<void(const QString &)> &finished);

    std::thread m_thread;
    std::mutex m_mutex;                   // guards the two below
    DbConnection *m_connection = nullptr; // while connected
    bool m_stopping = false;
};

} // namespace db
