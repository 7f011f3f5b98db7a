#pragma once
// One data connection for one transfer. Passive: the client connects to the
// port the server names (EPSV, else PASV), always at the control
// connection's peer address, so a reply cannot point it at another host.
// Active: the client listens on the control connection's local address
// before it names the port (EPRT, else PORT for IPv4) and later accepts a
// connection only from the control connection's peer address; others are
// closed and waiting goes on.

#include "platform/ftp/ControlChannel.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/Socket.h"

#include <string>

namespace ftp {

class DataChannel {
public:
    // Remembers what the server refused, so that each later transfer on the
    // same control connection goes straight to what works.
    struct Refusals {
        bool epsv = false;
        bool eprt = false;
        bool active = false;  // EPRT and PORT both refused with 5xx
    };

    // Asks for a passive port and connects to it (connect time-out).
    static Result<DataChannel> OpenPassive(ControlChannel& control, Refusals& refused);
    // Listens and names the port. When the server refuses active mode (5xx
    // to EPRT and to PORT, or to EPRT over IPv6) the error carries the reply
    // and refused.active is set; the caller may fall back to passive.
    static Result<DataChannel> OpenActive(ControlChannel& control, Refusals& refused);

    DataChannel(DataChannel&&) = default;
    DataChannel& operator=(DataChannel&&) = default;

    bool Connected() const { return m_data.Valid(); }
    bool Active() const { return m_listen.Valid() || m_active; }
    // While not connected (active mode): the listening socket, to poll for
    // the server's connection.
    int ListeningFd() const { return m_listen.Get(); }
    // Accepts a waiting connection; false (still waiting) when it came from
    // another host and was closed.
    Result<bool> AcceptWaiting(const ControlChannel& control);

    Status Send(const char* data, std::size_t size, Millis timeout);
    // Everything until the server closes, at most limit bytes.
    Result<std::string> ReceiveAll(Millis timeout, std::size_t limit);
    void Close();

private:
    DataChannel() = default;

    Fd m_listen;
    Fd m_data;
    bool m_active = false;
};

}  // namespace ftp
