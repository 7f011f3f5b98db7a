#pragma once
// One data connection for one transfer. Passive: the client connects to the
// port the server names (EPSV, else PASV), always at the control
// connection's peer address, so a reply cannot point it at another host.
// Active: the client listens on the control connection's local address
// before it names the port (EPRT, else PORT for IPv4) and later accepts a
// connection only from the control connection's peer address; others are
// closed and waiting goes on.

#include "platform/ftp/ControlChannel.h"
#include "platform/ftp/DataMode.h"
#include "platform/ftp/TlsTransport.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/Socket.h"

#include <memory>
#include <string>

namespace ftp {

class DataChannel {
public:
    // Asks for a passive port (EPSV, or PASV once the mode says so) and
    // connects to it (connect time-out). Sends transferCommand along with
    // EPSV when the mode is EpsvWorks (CommandSent()).
    // A connection that fails after that kills the control connection: the
    // server's late answer to the command would be out of step.
    static Result<DataChannel> OpenPassive(ControlChannel& control, DataMode& mode,
                                           const std::string& transferCommand);
    // For a passive port asked for ahead: sends transferCommand, then
    // connects to port (CommandSent()); a failure to connect kills the
    // control connection, as above.
    static Result<DataChannel> ConnectPassive(ControlChannel& control, std::uint16_t port,
                                              const std::string& transferCommand);
    // Listens and names the port (EPRT, or PORT once the mode says so).
    // When the server refuses active mode (5xx to EPRT and to PORT, or to
    // EPRT over IPv6) the error carries the reply and the mode has gone
    // passive; the caller may try again that way.
    // (The transfer command never goes along with EPRT: some servers answer
    // EPRT only once they have connected, after answering what follows.)
    static Result<DataChannel> OpenActive(ControlChannel& control, DataMode& mode);

    // For a port named ahead, at the end of an earlier batch of commands:
    // a listening socket like OpenActive's, the EPRT that names it, and
    // the channel once the server has accepted that EPRT.
    static Result<Fd> ListenForServer(const ControlChannel& control);
    static std::string EprtFor(const Fd& listener);
    static DataChannel WithNamedPort(Fd listener);

    DataChannel(DataChannel&&) = default;
    DataChannel& operator=(DataChannel&&) = default;

    bool Connected() const { return m_transport != nullptr; }
    bool Active() const { return m_listen.Valid() || m_active; }
    // Whether the transfer command went out with the mode command.
    bool CommandSent() const { return m_commandSent; }
    // While not connected (active mode): the listening socket, to poll for
    // the server's connection.
    int ListeningFd() const { return m_listen.Get(); }
    // Accepts a waiting connection; false (still waiting) when it came from
    // another host and was closed.
    Result<bool> AcceptWaiting(const ControlChannel& control);

    // TLS on the connection made (after the transfer command went: servers
    // start it only once they handle the command), resuming context's
    // control session.
    [[nodiscard]] Status StartTls(std::shared_ptr<TlsContext> context, Millis timeout);

    Status Send(const char* data, std::size_t size, Millis timeout);
    // Everything until the server closes, at most limit bytes. truncated:
    // a TLS stream ended without the server's close-notify (what came is
    // returned; only the final reply can say it was all).
    Result<std::string> ReceiveAll(Millis timeout, std::size_t limit, bool& truncated);
    // Ends the connection: what the server sent is read, TLS sends its
    // close-notify and waits up to timeout for the server's, then closes.
    void Close(Millis timeout = Millis(0));

private:
    DataChannel() = default;
    // Connects to port at the control connection's peer.
    static Result<DataChannel> ConnectToPeerPort(ControlChannel& control, std::uint16_t port, bool commandSent);

    Fd m_listen;
    std::unique_ptr<Transport> m_transport;  // once connected
    bool m_active = false;
    bool m_commandSent = false;
};

}  // namespace ftp
