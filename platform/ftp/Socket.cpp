#include "platform/ftp/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace ftp {

namespace {

using Clock = std::chrono::steady_clock;

Error ErrnoError(std::uint32_t code, int err)
{
    return Error{code, std::strerror(err)};
}

Error TimeoutError(Millis timeout)
{
    return Error{ERROR_INTERNET_TIMEOUT, "timed out after " + DescribeTimeout(timeout)};
}

}  // namespace

Fd& Fd::operator=(Fd&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_fd = other.Release();
    }
    return *this;
}

int Fd::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void Fd::Reset()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

std::string SocketAddress::Host() const
{
    char text[INET6_ADDRSTRLEN] = {};
    if (Family() == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr, text, sizeof text);
    else if (Family() == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr, text, sizeof text);
    return text;
}

std::uint16_t SocketAddress::Port() const
{
    if (Family() == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
    if (Family() == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
    return 0;
}

void SocketAddress::SetPort(std::uint16_t port)
{
    if (Family() == AF_INET)
        reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
    else if (Family() == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
}

bool SocketAddress::SameHost(const SocketAddress& other) const
{
    if (Family() != other.Family())
        return false;
    if (Family() == AF_INET)
        return std::memcmp(&reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr,
                           &reinterpret_cast<const sockaddr_in*>(&other.storage)->sin_addr, sizeof(in_addr)) == 0;
    if (Family() == AF_INET6)
        return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr,
                           &reinterpret_cast<const sockaddr_in6*>(&other.storage)->sin6_addr, sizeof(in6_addr)) == 0;
    return false;
}

WaitResult WaitFor(int fd, short events, Millis timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
        pollfd p{fd, events, 0};
        const int rc = poll(&p, 1, static_cast<int>(std::max<Millis::rep>(left.count(), 0)));
        if (rc > 0)
            return WaitResult::Ready;
        if (rc == 0)
            return WaitResult::TimedOut;
        if (errno != EINTR)
            return WaitResult::Failed;
    }
}

Result<Fd> ConnectTo(const SocketAddress& address, Millis timeout)
{
    Fd fd(socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid())
        return ErrnoError(ERROR_INTERNET_CANNOT_CONNECT, errno);
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0)
        return fd;
    if (errno != EINPROGRESS && errno != EINTR)
        return ErrnoError(ERROR_INTERNET_CANNOT_CONNECT, errno);
    const WaitResult waited = WaitFor(fd.Get(), POLLOUT, timeout);
    if (waited == WaitResult::TimedOut)
        return TimeoutError(timeout);
    int err = 0;
    socklen_t len = sizeof err;
    if (waited == WaitResult::Failed)
        err = errno;
    else if (getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        err = errno;
    if (err != 0)
        return ErrnoError(ERROR_INTERNET_CANNOT_CONNECT, err);
    return fd;
}

Status SendAll(int fd, const char* data, std::size_t size, Millis timeout)
{
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return ErrnoError(ERROR_INTERNET_CONNECTION_ABORTED, errno);
        const WaitResult waited = WaitFor(fd, POLLOUT, timeout);
        if (waited == WaitResult::TimedOut)
            return TimeoutError(timeout);
        if (waited == WaitResult::Failed)
            return ErrnoError(ERROR_INTERNET_CONNECTION_ABORTED, errno);
    }
    return {};
}

Result<std::size_t> ReceiveSome(int fd, char* buffer, std::size_t size, Millis timeout)
{
    for (;;) {
        const ssize_t n = recv(fd, buffer, size, 0);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return ErrnoError(ERROR_INTERNET_CONNECTION_ABORTED, errno);
        const WaitResult waited = WaitFor(fd, POLLIN, timeout);
        if (waited == WaitResult::TimedOut)
            return TimeoutError(timeout);
        if (waited == WaitResult::Failed)
            return ErrnoError(ERROR_INTERNET_CONNECTION_ABORTED, errno);
    }
}

namespace {

// getsockname or getpeername into an address; an empty address on failure.
SocketAddress QueryAddress(int fd, int (*query)(int, sockaddr*, socklen_t*))
{
    SocketAddress a;
    a.length = sizeof a.storage;
    if (query(fd, reinterpret_cast<sockaddr*>(&a.storage), &a.length) != 0)
        a = SocketAddress{};
    return a;
}

}  // namespace

SocketAddress LocalAddress(int fd)
{
    return QueryAddress(fd, getsockname);
}

SocketAddress PeerAddress(int fd)
{
    return QueryAddress(fd, getpeername);
}

std::string DescribeTimeout(Millis timeout)
{
    if (timeout.count() % 1000 == 0)
        return std::to_string(timeout.count() / 1000) + " s";
    return std::to_string(timeout.count()) + " ms";
}

}  // namespace ftp
