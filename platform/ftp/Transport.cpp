#include "platform/ftp/Transport.h"

#include <poll.h>
#include <sys/socket.h>

namespace ftp {

namespace {

Error Closed()
{
    return Error{ERROR_INTERNET_CONNECTION_ABORTED, "the connection is closed"};
}

bool ReadableNow(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

}  // namespace

Status PlainTransport::Send(const char* data, std::size_t size, Millis timeout)
{
    if (!m_fd.Valid())
        return Closed();
    return SendAll(m_fd.Get(), data, size, timeout);
}

Result<std::size_t> PlainTransport::Receive(char* buffer, std::size_t size, Millis timeout)
{
    if (!m_fd.Valid())
        return Closed();
    return ReceiveSome(m_fd.Get(), buffer, size, timeout);
}

bool PlainTransport::ReceiveReady()
{
    return m_fd.Valid() && ReadableNow(m_fd.Get());
}

// Unread bytes at close make the kernel send a reset, which some servers
// take as a failed transfer: they are read first. The FIN that follows is
// the end of the stream; nothing more is waited for.
Status PlainTransport::Shutdown(Millis)
{
    if (!m_fd.Valid())
        return {};
    char sink[4096];
    while (ReadableNow(m_fd.Get()) && recv(m_fd.Get(), sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    m_fd.Reset();
    return {};
}

}  // namespace ftp
