#include "bench/LatencyProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <list>
#include <stdexcept>
#include <thread>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Address(const std::string& host, std::uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + host);
    return a;
}

int Listen(const std::string& host, std::uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in a = Address(host, port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(fd, 64) != 0) {
        const std::string why = std::strerror(errno);
        close(fd);
        throw std::runtime_error("latency proxy cannot listen on " + host + ":" + std::to_string(port) + ": " + why);
    }
    return fd;
}

void NoDelay(int fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Bytes (or the end of the stream) to pass on at a given time.
struct Chunk {
    Clock::time_point due;
    std::string bytes;
    bool end = false;
};

// One direction of a link: what was read from one side and waits to be
// written to the other.
struct Direction {
    std::deque<Chunk> queue;
    std::size_t written = 0;  // of the front chunk
    bool endRead = false;
    bool endSent = false;
    bool blocked = false;  // the last write would have blocked
};

struct Link {
    int client = -1;
    int server = -1;
    std::uint16_t port = 0;
    Clock::time_point accepted;
    bool connectStarted = false;
    bool connected = false;
    Direction up;    // client to server
    Direction down;  // server to client
    bool dead = false;
};

}  // namespace

struct LatencyProxy::Impl {
    std::string targetHost;
    Clock::duration delay;
    std::vector<std::pair<int, std::uint16_t>> listeners;
    std::list<Link> links;
    int wake = -1;
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> connections{0};
    std::thread thread;

    void Loop();
    void Accept(int listener, std::uint16_t port);
    void StartConnect(Link& link);
    void Read(int from, Direction& d, Clock::time_point earliest);
    void Write(Link& link, Direction& d, int to, Clock::time_point now);
    Clock::time_point NextDue(const Link& link) const;
    void CloseLink(Link& link);
};

void LatencyProxy::Impl::Accept(int listener, std::uint16_t port)
{
    for (;;) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        NoDelay(fd);
        Link link;
        link.client = fd;
        link.port = port;
        link.accepted = Clock::now();
        links.push_back(std::move(link));
        ++connections;
    }
}

// The server sees the connection one delay after the client made it.
void LatencyProxy::Impl::StartConnect(Link& link)
{
    link.connectStarted = true;
    link.server = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    NoDelay(link.server);
    const sockaddr_in a = Address(targetHost, link.port);
    if (connect(link.server, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS)
        link.dead = true;
}

void LatencyProxy::Impl::Read(int from, Direction& d, Clock::time_point earliest)
{
    char buffer[65536];
    while (!d.endRead) {
        const ssize_t got = recv(from, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        const Clock::time_point due = std::max(Clock::now() + delay, earliest);
        if (got <= 0) {
            d.endRead = true;
            d.queue.push_back(Chunk{due, {}, true});
            return;
        }
        d.queue.push_back(Chunk{due, std::string(buffer, static_cast<std::size_t>(got)), false});
    }
}

void LatencyProxy::Impl::Write(Link& link, Direction& d, int to, Clock::time_point now)
{
    d.blocked = false;
    while (!d.queue.empty() && d.queue.front().due <= now) {
        Chunk& front = d.queue.front();
        if (front.end) {
            shutdown(to, SHUT_WR);
            d.endSent = true;
            d.queue.pop_front();
            continue;
        }
        const ssize_t sent = send(to, front.bytes.data() + d.written, front.bytes.size() - d.written, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            d.blocked = true;
            return;
        }
        if (sent < 0) {
            link.dead = true;
            return;
        }
        d.written += static_cast<std::size_t>(sent);
        if (d.written == front.bytes.size()) {
            d.queue.pop_front();
            d.written = 0;
        }
    }
}

Clock::time_point LatencyProxy::Impl::NextDue(const Link& link) const
{
    Clock::time_point next = Clock::time_point::max();
    if (!link.connectStarted)
        next = link.accepted + delay;
    if (link.connected && !link.up.queue.empty() && !link.up.blocked)
        next = std::min(next, link.up.queue.front().due);
    if (!link.down.queue.empty() && !link.down.blocked)
        next = std::min(next, link.down.queue.front().due);
    return next;
}

void LatencyProxy::Impl::CloseLink(Link& link)
{
    if (link.client >= 0)
        close(link.client);
    if (link.server >= 0)
        close(link.server);
    link.client = link.server = -1;
}

void LatencyProxy::Impl::Loop()
{
    while (!stop) {
        std::vector<pollfd> fds;
        fds.push_back({wake, POLLIN, 0});
        for (const auto& [fd, port] : listeners)
            fds.push_back({fd, POLLIN, 0});
        Clock::time_point next = Clock::time_point::max();
        for (Link& link : links) {
            short clientEvents = link.up.endRead ? 0 : POLLIN;
            if (link.down.blocked)
                clientEvents |= POLLOUT;
            fds.push_back({link.client, clientEvents, 0});
            short serverEvents = 0;
            if (link.server >= 0) {
                if (!link.connected || link.up.blocked)
                    serverEvents |= POLLOUT;
                if (link.connected && !link.down.endRead)
                    serverEvents |= POLLIN;
            }
            fds.push_back({link.server, serverEvents, 0});
            next = std::min(next, NextDue(link));
        }
        timespec timeout{1, 0};
        if (next != Clock::time_point::max()) {
            const auto wait = std::max(Clock::duration::zero(), next - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout = timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        }
        if (ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0 && errno != EINTR)
            return;
        std::size_t at = 1;
        for (const auto& [fd, port] : listeners)
            if (fds[at++].revents & POLLIN)
                Accept(fd, port);
        const Clock::time_point now = Clock::now();
        for (auto it = links.begin(); it != links.end(); at += 2) {
            Link& link = *it;
            // Links accepted in this pass have no poll entries yet.
            const bool polled = at + 1 < fds.size() && fds[at].fd == link.client;
            const short clientEvents = polled ? fds[at].revents : 0;
            const short serverEvents = polled ? fds[at + 1].revents : 0;
            if (!polled)
                at -= 2;
            if (!link.connectStarted && now >= link.accepted + delay)
                StartConnect(link);
            if (link.server >= 0 && !link.connected && (serverEvents & (POLLOUT | POLLERR | POLLHUP))) {
                int error = 0;
                socklen_t length = sizeof error;
                getsockopt(link.server, SOL_SOCKET, SO_ERROR, &error, &length);
                if (error != 0)
                    link.dead = true;
                else
                    link.connected = true;
            }
            if (clientEvents & (POLLIN | POLLHUP | POLLERR))
                Read(link.client, link.up, link.accepted + 3 * delay);
            if (link.connected && (serverEvents & (POLLIN | POLLHUP | POLLERR)))
                Read(link.server, link.down, Clock::time_point::min());
            if (link.connected)
                Write(link, link.up, link.server, now);
            Write(link, link.down, link.client, now);
            if (link.dead || (link.up.endSent && link.down.endSent)) {
                CloseLink(link);
                it = links.erase(it);
            } else {
                ++it;
            }
        }
    }
}

LatencyProxy::LatencyProxy(std::string listenHost, std::string targetHost, const std::vector<std::uint16_t>& ports,
                           std::chrono::microseconds oneWayDelay)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->targetHost = std::move(targetHost);
    m_impl->delay = oneWayDelay;
    try {
        for (const std::uint16_t port : ports)
            m_impl->listeners.emplace_back(Listen(listenHost, port), port);
    } catch (...) {
        for (const auto& [fd, port] : m_impl->listeners)
            close(fd);
        throw;
    }
    m_impl->wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->Loop(); });
    // On a busy machine a thread of normal priority wakes up milliseconds
    // late, adding that to every delay; a real-time one does not (it needs
    // root, and without it the delays are only less exact).
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(m_impl->thread.native_handle(), SCHED_FIFO, &priority);
}

LatencyProxy::~LatencyProxy()
{
    m_impl->stop = true;
    const std::uint64_t one = 1;
    if (write(m_impl->wake, &one, sizeof one) < 0) {
        // The loop also wakes up every second on its own.
    }
    m_impl->thread.join();
    for (Link& link : m_impl->links)
        m_impl->CloseLink(link);
    for (const auto& [fd, port] : m_impl->listeners)
        close(fd);
    close(m_impl->wake);
}

std::uint64_t LatencyProxy::Connections() const
{
    return m_impl->connections;
}

}  // namespace bench
