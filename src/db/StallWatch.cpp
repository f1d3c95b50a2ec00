#include "db/StallWatch.h"

#include "db/FbClient.h"

namespace db {

StallWatch::~StallWatch() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void StallWatch::setLimit(std::chrono::milliseconds limit) {
    std::lock_guard lock(m_mutex);
    m_limit = limit;
}

void StallWatch::begin(const FbClient &client, isc_db_handle db) {
    bool started = false;
    {
        std::lock_guard lock(m_mutex);
        m_client = &client;
        m_progress = Clock::now();
        if (m_depth++ == 0 || m_db == 0) {
            m_db = db;
            m_aborted = false;
            started = true;
        }
        if (!m_thread.joinable())
            m_thread = std::thread([this] { watch(); });
    }
    // While calls run, the watcher wakes by itself at the deadline and
    // looks at the latest progress; only the first call needs to wake it.
    if (started)
        m_wake.notify_all();
}

void StallWatch::end() {
    std::lock_guard lock(m_mutex);
    if (--m_depth == 0)
        m_db = 0;
    m_progress = Clock::now();
}

void StallWatch::watch() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_depth == 0 || m_db == 0 || m_aborted) {
            m_wake.wait(lock);
            continue;
        }
        const Clock::time_point deadline = m_progress + m_limit;
        if (Clock::now() < deadline) {
            m_wake.wait_until(lock, deadline);
            continue;
        }
        // The client closes its side of the link: the waiting call returns
        // with an error at once, whatever the network does.
        m_aborted = true;
        isc_db_handle db = m_db;
        const FbClient *client = m_client;
        lock.unlock();
        ISC_STATUS_ARRAY status;
        client->cancel_operation(status, &db, fb_cancel_abort);
        lock.lock();
    }
}

} // namespace db
