#pragma once
// Thin, non-blocking POSIX socket helpers. Every wait is bounded by the
// time-out given, retried on EINTR; writes never raise SIGPIPE. Results
// carry errno texts only; callers add which host it was.

#include "platform/ftp/Result.h"
#include "platform/ftp/SessionOptions.h"

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ftp {

// Owns one file descriptor.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : m_fd(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();
    void Reset();

private:
    int m_fd = -1;
};

struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    int Family() const { return storage.ss_family; }
    std::string Host() const;  // numeric
    std::uint16_t Port() const;
    void SetPort(std::uint16_t port);
    bool SameHost(const SocketAddress& other) const;
};

enum class WaitResult { Ready, TimedOut, Failed };

// Waits until fd has one of events (POLLIN, POLLOUT). Failed sets errno.
WaitResult WaitFor(int fd, short events, Millis timeout);

// Connects a new non-blocking socket to address within timeout. The error
// code is ERROR_INTERNET_TIMEOUT for a time-out, ERROR_INTERNET_CANNOT_CONNECT
// otherwise; the text is the reason alone ("Connection refused").
Result<Fd> ConnectTo(const SocketAddress& address, Millis timeout);

// Sends all of data; timeout bounds each wait for the socket to take more.
Status SendAll(int fd, const char* data, std::size_t size, Millis timeout);

// Receives what is there (at most size bytes), waiting up to timeout for the
// first byte. 0 means the peer closed its side.
Result<std::size_t> ReceiveSome(int fd, char* buffer, std::size_t size, Millis timeout);

// The two ends of a connected socket.
SocketAddress LocalAddress(int fd);
SocketAddress PeerAddress(int fd);

// "12 s", "500 ms": how a time-out is named in texts.
std::string DescribeTimeout(Millis timeout);

}  // namespace ftp
