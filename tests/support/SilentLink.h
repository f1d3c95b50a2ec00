#pragma once

#include <atomic>
#include <thread>

/// A loopback relay in front of a server whose link can fall silent, as a
/// network that went away without a word: while cut, nothing passes in
/// either direction and no new connection is taken on, yet no socket is
/// closed, so the client hears neither an answer nor a refusal.
///
///     SilentLink link(server.port());
///     QVERIFY(link.start());
///     db.setDatabase(QStringLiteral("127.0.0.1/%1:%2").arg(link.port()).arg(path));
///     link.cut(true);
class SilentLink {
  public:
    explicit SilentLink(int serverPort) : m_serverPort(serverPort) {}
    ~SilentLink();
    SilentLink(const SilentLink &) = delete;
    SilentLink &operator=(const SilentLink &) = delete;

    /// Listens on a free loopback port; false when it cannot.
    bool start();
    int port() const { return m_port; }
    void cut(bool silent) { m_cut = silent; }

  private:
    void relay();

    int m_serverPort;
    int m_port = 0;
    int m_listener = -1;
    std::atomic<bool> m_cut{false};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
