#include "support/SilentLink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

/// Moves what `from` has to `to`; false when either side is closed.
bool pass(int from, int to) {
    char buffer[65536];
    const ssize_t got = recv(from, buffer, sizeof buffer, 0);
    if (got <= 0)
        return false;
    for (ssize_t sent = 0; sent < got;) {
        const ssize_t n = send(to, buffer + sent, size_t(got - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

} // namespace

SilentLink::~SilentLink() {
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        close(m_listener);
}

bool SilentLink::start() {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (m_listener < 0 ||
        bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { relay(); });
    return true;
}

void SilentLink::relay() {
    struct Pair {
        int client, server;
    };
    std::vector<Pair> pairs;
    while (!m_stopping) {
        std::vector<pollfd> watched;
        const bool silent = m_cut;
        // Cut, nothing is read: what is sent waits in the sockets' buffers,
        // and a new connection waits in the listener's queue.
        if (!silent) {
            watched.push_back({m_listener, POLLIN, 0});
            for (const Pair &p : pairs) {
                watched.push_back({p.client, POLLIN, 0});
                watched.push_back({p.server, POLLIN, 0});
            }
        }
        if (poll(watched.data(), watched.size(), 50) <= 0)
            continue;
        const size_t known = pairs.size();
        if (watched[0].revents & POLLIN) {
            const int client = accept(m_listener, nullptr, nullptr);
            const int server = socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in target = loopback(m_serverPort);
            if (client >= 0 && server >= 0 &&
                connect(server, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0) {
                pairs.push_back({client, server});
            } else {
                close(client);
                close(server);
            }
        }
        for (size_t i = 0; i < known; ++i) {
            const pollfd &fromClient = watched[1 + 2 * i], &fromServer = watched[2 + 2 * i];
            const bool open = (!(fromClient.revents & (POLLIN | POLLHUP)) ||
                               pass(pairs[i].client, pairs[i].server)) &&
                              (!(fromServer.revents & (POLLIN | POLLHUP)) ||
                               pass(pairs[i].server, pairs[i].client));
            if (!open) {
                close(pairs[i].client);
                close(pairs[i].server);
                pairs[i] = {-1, -1};
            }
        }
        std::erase_if(pairs, [](const Pair &p) { return p.client < 0; });
    }
    for (const Pair &p : pairs) {
        close(p.client);
        close(p.server);
    }
}
