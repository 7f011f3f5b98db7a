#pragma once
// The byte stream under a control or data connection: a plain socket or
// TLS over one. Every call blocks at most the time-out it is given; none
// throws.
//
// A wait that polls the socket must first ask Buffered(): TLS may hold
// decrypted bytes that the socket no longer shows as readable. And a socket
// can be readable only because of a TLS record that holds no data (a session
// ticket): ReceiveReady() takes such records and says whether data is there,
// so a wait never spins on them.

#include "platform/ftp/Result.h"
#include "platform/ftp/SessionOptions.h"
#include "platform/ftp/Socket.h"

#include <cstddef>

namespace ftp {

class Transport {
public:
    virtual ~Transport() = default;

    // Sends all of data; timeout bounds each wait for the peer to take more.
    virtual Status Send(const char* data, std::size_t size, Millis timeout) = 0;
    // What is there (at most size bytes), waiting up to timeout for the first
    // byte. 0: the peer ended the stream properly (for TLS: with its
    // close-notify). An end without close-notify is an error (TruncatedEnd).
    virtual Result<std::size_t> Receive(char* buffer, std::size_t size, Millis timeout) = 0;
    // Bytes received and decoded but not yet taken by Receive.
    virtual std::size_t Buffered() const = 0;
    // Without waiting: whether Receive would return at once (bytes, an end
    // or an error are there).
    virtual bool ReceiveReady() = 0;
    // Ends the stream: reads (and drops) what the peer has sent, sends
    // close-notify (TLS), waits up to timeout for the peer's, and closes the
    // socket. An error says the peer's end did not come; the socket is
    // closed either way. Send and Receive fail afterwards.
    virtual Status Shutdown(Millis timeout) = 0;
    // The peer ended the TCP stream without a TLS close-notify (a possibly
    // cut stream; a listing tolerates it only after its final reply).
    virtual bool TruncatedEnd() const { return false; }
    // The socket, for polling and addresses; -1 once shut down.
    virtual int SocketFd() const = 0;
};

// A socket as it is.
class PlainTransport : public Transport {
public:
    explicit PlainTransport(Fd fd) : m_fd(std::move(fd)) {}

    Status Send(const char* data, std::size_t size, Millis timeout) override;
    Result<std::size_t> Receive(char* buffer, std::size_t size, Millis timeout) override;
    std::size_t Buffered() const override { return 0; }
    bool ReceiveReady() override;
    Status Shutdown(Millis timeout) override;
    int SocketFd() const override { return m_fd.Get(); }
    // The socket, for TLS to go over it; the transport is closed after.
    Fd Release() { return std::move(m_fd); }

private:
    Fd m_fd;
};

}  // namespace ftp
