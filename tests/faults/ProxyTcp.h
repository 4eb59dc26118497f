#pragma once
// A TCP relay between the module and the database server, so a test can stop
// "the server" or cut a connection part-way without touching the shared server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace faulttest {

class ProxyTcp
{
public:
    explicit ProxyTcp(std::uint16_t upstreamPort = 3050) : m_upstreamPort(upstreamPort)
    {
        listen(0);
        m_acceptor = std::thread([this] { acceptLoop(); });
    }
    ~ProxyTcp()
    {
        m_ending = true;
        m_acceptor.join();
        for (std::thread &t : m_relays)
            t.join();
        closeListener();
    }
    ProxyTcp(const ProxyTcp &) = delete;
    ProxyTcp &operator=(const ProxyTcp &) = delete;

    std::uint16_t port() const { return m_port; }
    /// The module's host string for `file` on the server, through the relay.
    std::string hostString(const std::string &file) const
    {
        return "localhost/" + std::to_string(m_port) + ":" + file;
    }

    /// As when the server stops: open connections are cut and new ones refused.
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            closeListener();
        }
        cut();
    }
    /// The server is back on the same port.
    void resume()
    {
        std::lock_guard lock(m_mutex);
        if (m_listener < 0)
            listen(m_port);
    }
    /// Cuts every open connection; new ones are still accepted.
    void cut() { ++m_cutGeneration; }
    /// Cuts a connection once the server has sent it more than `bytes` (0: never).
    void cutAfterBytes(std::size_t bytes) { m_cutAfter = bytes; }
    /// Accepts only `count` (at least 1) more connections, then refuses new ones as a stopped
    /// server would; the open ones carry on.
    void acceptOnly(int count) { m_acceptsLeft = count; }
    int accepted() const { return m_accepted; }

private:
    void listen(std::uint16_t port)
    {
        // Close-on-exec on every socket: a host the test starts meanwhile must not inherit the
        // listener, or "the stopped server" would still take connections and never answer them.
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_listener, 64) != 0)
            throw std::runtime_error("the relay cannot listen");
        socklen_t len = sizeof a;
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
    }
    void closeListener()
    {
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
    }

    void acceptLoop()
    {
        while (!m_ending) {
            int listener;
            {
                std::lock_guard lock(m_mutex);
                listener = m_listener;
            }
            if (listener < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            pollfd p{listener, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            std::lock_guard lock(m_mutex);
            if (m_listener != listener)
                continue;
            const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_accepted;
            if (m_acceptsLeft > 0 && --m_acceptsLeft == 0)
                closeListener();
            m_relays.emplace_back([this, client] { relay(client); });
        }
    }

    void relay(int client)
    {
        const int generation = m_cutGeneration;
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(m_upstreamPort);
        std::size_t fromServer = 0;
        if (::connect(server, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0) {
            char buffer[65536];
            while (!m_ending && generation == m_cutGeneration) {
                pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
                if (::poll(p, 2, 20) <= 0)
                    continue;
                if (p[0].revents) {
                    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                    if (n <= 0 || ::send(server, buffer, size_t(n), MSG_NOSIGNAL) != n)
                        break;
                }
                if (p[1].revents) {
                    const ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
                    if (n <= 0 || ::send(client, buffer, size_t(n), MSG_NOSIGNAL) != n)
                        break;
                    fromServer += size_t(n);
                    if (m_cutAfter && fromServer > m_cutAfter)
                        break;
                }
            }
        }
        // A reset rather than an orderly close, as a dead server or a pulled cable leaves it.
        const linger abrupt{1, 0};
        for (int fd : {client, server}) {
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
            ::close(fd);
        }
    }

    const std::uint16_t m_upstreamPort;
    std::uint16_t m_port = 0;
    int m_listener = -1;
    std::mutex m_mutex;
    std::atomic<bool> m_ending{false};
    std::atomic<int> m_cutGeneration{0};
    std::atomic<std::size_t> m_cutAfter{0};
    std::atomic<int> m_acceptsLeft{-1};
    std::atomic<int> m_accepted{0};
    std::thread m_acceptor;
    std::list<std::thread> m_relays;
};

} // namespace faulttest
