#pragma once

#include <ibase.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace db {

class FbClient;

/// Cuts the link to a server that stopped answering. A network that went
/// away without a word (a dropped Wi-Fi, a cable pulled on the way) leaves
/// the client waiting for an answer that never comes: the system gives up
/// on such a link only after many minutes, and the window would hang that
/// long. While calls are running, a watcher thread aborts the attachment
/// once none has started or ended for the limit; the call in progress then
/// fails as a lost connection and the next action connects again.
class StallWatch {
  public:
    StallWatch() = default;
    ~StallWatch();
    StallWatch(const StallWatch &) = delete;
    StallWatch &operator=(const StallWatch &) = delete;

    /// A call on `db` starts (calls may nest; each start and end counts as
    /// progress).
    void begin(const FbClient &client, isc_db_handle db);
    void end();
    void setLimit(std::chrono::milliseconds limit);
    std::chrono::milliseconds limit() const { return m_limit; }

    /// Marks the calls between its construction and destruction; without a
    /// watch (a file on this computer cannot fall silent) it does nothing.
    class Scope {
      public:
        Scope(StallWatch *watch, const FbClient &client, isc_db_handle db) : m_watch(watch) {
            if (m_watch)
                m_watch->begin(client, db);
        }
        ~Scope() {
            if (m_watch)
                m_watch->end();
        }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

      private:
        StallWatch *m_watch;
    };

  private:
    void watch();

    using Clock = std::chrono::steady_clock;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::chrono::milliseconds m_limit{20000};
    const FbClient *m_client = nullptr;
    isc_db_handle m_db = 0;
    int m_depth = 0;
    Clock::time_point m_progress;
    bool m_aborted = false;
    bool m_stopping = false;
};

} // namespace db
