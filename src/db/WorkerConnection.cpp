#include "db/WorkerConnection.h"

#include "db/DbError.h"

namespace db {

void WorkerConnection::start(const DbConnection::Login &login,
                             std::function<void(DbConnection &)> work,
                             std::function<void(const QString &)> finished) {
    stop();
    m_thread = std::thread([this, login, work = std::move(work), finished = std::move(finished)] {
        run(login, work, finished);
    });
}

void WorkerConnection::run(const DbConnection::Login &login,
                           const std::function<void(DbConnection &)> &work,
                           const std::function<void(const QString &)> &finished) {
    QString error;
    {
        DbConnection connection;
        connection.setLogin(login);
        try {
            connection.setConnected(true);
            {
                const std::lock_guard lock(m_mutex);
                if (m_stopping)
                    return;
                m_connection = &connection;
            }
            work(connection);
        } catch (const DbError &e) {
            error = e.message();
        }
        const std::lock_guard lock(m_mutex);
        m_connection = nullptr;
        if (m_stopping)
            return;
    }
    if (finished)
        finished(error);
}

void WorkerConnection::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_connection)
            m_connection->interrupt();
    }
    wait();
    const std::lock_guard lock(m_mutex);
    m_stopping = false;
}

void WorkerConnection::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace db
