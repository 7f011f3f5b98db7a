#include "platform/ftp/DataChannel.h"

#include "platform/ftp/ReplyParsers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace ftp {

namespace {

Error RefusedBy(const Reply& reply)
{
    return Error{ERROR_INTERNET_EXTENDED_ERROR, reply.Text()};
}

// The reply to EPSV, with transferCommand sent in the same write when the
// mode allows; together says whether it was.
Result<Reply> SendEpsv(ControlChannel& control, const DataMode& mode, const std::string& transferCommand,
                       bool& together)
{
    together = mode.Value() == DataMode::Step::EpsvWorks && !transferCommand.empty();
    if (!together)
        return control.Command("EPSV");
    if (const Status sent = control.SendTogether({"EPSV", transferCommand}); !sent)
        return sent.error();
    return control.ReadReply();
}

Result<std::uint16_t> AskPassivePort(ControlChannel& control, DataMode& mode, const std::string& transferCommand,
                                     bool& together)
{
    together = false;
    if (mode.Value() != DataMode::Step::Pasv) {
        Result<Reply> reply = SendEpsv(control, mode, transferCommand, together);
        if (!reply)
            return reply.error();
        if (reply->code == 229)
            if (const auto port = ParseEpsvPort(reply->FirstLineText()))
                return *port;
        // A 229 without a port leaves the server waiting, with the transfer
        // command, for a connection that cannot come: out of step for good.
        if (together && reply->code == 229)
            return control.KillWith(ERROR_INTERNET_EXTENDED_ERROR,
                                    "the reply to EPSV named no port (" + reply->Text() + ")");
        // Refused, the transfer command failed too; its reply is set aside,
        // keeping the channel in step.
        if (together) {
            together = false;
            if (Result<Reply> skipped = control.FinalReply(); !skipped)
                return skipped.error();
        }
        if (reply->Class() != 5 && reply->code != 229)
            return RefusedBy(*reply);
        mode.Change(DataMode::Step::Pasv, reply->Text());
    }
    if (control.Peer().Family() != AF_INET)
        return Error{ERROR_INTERNET_EXTENDED_ERROR, "The server offers no passive mode for IPv6."};
    Result<Reply> reply = control.Command("PASV");
    if (!reply)
        return reply.error();
    if (reply->code != 227)
        return RefusedBy(*reply);
    const auto port = ParsePasvPort(reply->FirstLineText());
    if (!port)
        return Error{ERROR_INTERNET_EXTENDED_ERROR, reply->Text()};
    return *port;
}

std::string EprtCommand(const SocketAddress& address)
{
    const char* family = address.Family() == AF_INET6 ? "2" : "1";
    return std::string("EPRT |") + family + "|" + address.Host() + "|" + std::to_string(address.Port()) + "|";
}

std::string PortCommand(const SocketAddress& address)
{
    std::string host = address.Host();
    for (char& c : host)
        if (c == '.')
            c = ',';
    const std::uint16_t port = address.Port();
    return "PORT " + host + "," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

// Names the listening address: EPRT, then PORT for IPv4 once EPRT is
// refused. A server that refuses both (5xx), or EPRT over IPv6, refuses
// active mode: the mode goes passive, and the error carries the reply.
Status NamePort(ControlChannel& control, const SocketAddress& address, DataMode& mode)
{
    if (mode.Value() != DataMode::Step::Port) {
        Result<Reply> reply = control.Command(EprtCommand(address));
        if (!reply)
            return reply.error();
        if (reply->Class() == 2) {
            mode.Change(DataMode::Step::EprtWorks, "the server accepted EPRT");
            return {};
        }
        if (reply->Class() == 5 && address.Family() != AF_INET)
            mode.Change(DataMode::Step::Epsv, "EPRT refused over IPv6: " + reply->Text());
        if (reply->Class() != 5 || address.Family() != AF_INET)
            return RefusedBy(*reply);
        mode.Change(DataMode::Step::Port, reply->Text());
    }
    Result<Reply> reply = control.Command(PortCommand(address));
    if (!reply)
        return reply.error();
    if (reply->Class() == 5)
        mode.Change(DataMode::Step::Epsv, "PORT refused too: " + reply->Text());
    if (reply->Class() != 2)
        return RefusedBy(*reply);
    return {};
}

Result<Fd> Listen(const SocketAddress& local)
{
    SocketAddress address = local;
    address.SetPort(0);
    Fd fd(socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid() || bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address.storage), address.length) != 0 ||
        listen(fd.Get(), 4) != 0)
        return Error{ERROR_INTERNET_INTERNAL_ERROR,
                     std::string("Cannot open a port for the data connection: ") + std::strerror(errno) + "."};
    return fd;
}

}  // namespace

Result<DataChannel> DataChannel::OpenPassive(ControlChannel& control, DataMode& mode,
                                             const std::string& transferCommand)
{
    bool together = false;
    const Result<std::uint16_t> port = AskPassivePort(control, mode, transferCommand, together);
    if (!port)
        return port.error();
    return ConnectToPeerPort(control, *port, together);
}

Result<DataChannel> DataChannel::ConnectPassive(ControlChannel& control, std::uint16_t port,
                                                const std::string& transferCommand)
{
    if (const Status sent = control.Send(transferCommand); !sent)
        return sent.error();
    return ConnectToPeerPort(control, port, true);
}

Result<DataChannel> DataChannel::ConnectToPeerPort(ControlChannel& control, std::uint16_t port, bool commandSent)
{
    const bool together = commandSent;
    SocketAddress target = control.Peer();
    target.SetPort(port);
    Result<Fd> fd = ftp::ConnectTo(target, control.Options().connectTimeout);
    if (!fd) {
        Error error{fd.error().code, "Cannot open the data connection to " + target.Host() + ":" +
                                         std::to_string(port) + ": " + fd.error().text + "."};
        if (together)
            control.Kill(error);
        return error;
    }
    DataChannel channel;
    channel.m_transport = std::make_unique<PlainTransport>(std::move(*fd));
    channel.m_commandSent = together;
    return channel;
}

Result<Fd> DataChannel::ListenForServer(const ControlChannel& control)
{
    return Listen(control.Local());
}

std::string DataChannel::EprtFor(const Fd& listener)
{
    return EprtCommand(LocalAddress(listener.Get()));
}

DataChannel DataChannel::WithNamedPort(Fd listener)
{
    DataChannel channel;
    channel.m_listen = std::move(listener);
    channel.m_active = true;
    return channel;
}

Result<DataChannel> DataChannel::OpenActive(ControlChannel& control, DataMode& mode)
{
    Result<Fd> listener = Listen(control.Local());
    if (!listener)
        return listener.error();
    const Status named = NamePort(control, LocalAddress(listener->Get()), mode);
    if (!named)
        return named.error();
    return WithNamedPort(std::move(*listener));
}

Result<bool> DataChannel::AcceptWaiting(const ControlChannel& control)
{
    for (;;) {
        const int fd = accept4(m_listen.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED)
                return false;
            return Error{ERROR_INTERNET_CONNECTION_ABORTED,
                         std::string("Cannot accept the data connection: ") + std::strerror(errno) + "."};
        }
        Fd incoming(fd);
        if (!PeerAddress(fd).SameHost(control.Peer())) {
            control.Note("* data connection from " + PeerAddress(fd).Host() + " refused");
            continue;
        }
        m_transport = std::make_unique<PlainTransport>(std::move(incoming));
        m_listen.Reset();
        return true;
    }
}

Status DataChannel::Send(const char* data, std::size_t size, Millis timeout)
{
    return m_transport->Send(data, size, timeout);
}

Result<std::string> DataChannel::ReceiveAll(Millis timeout, std::size_t limit, bool& truncated)
{
    truncated = false;
    std::string all;
    char buffer[16384];
    for (;;) {
        const Result<std::size_t> got = m_transport->Receive(buffer, sizeof buffer, timeout);
        if (!got && m_transport->TruncatedEnd()) {
            truncated = true;
            return all;
        }
        if (!got)
            return got.error();
        if (*got == 0)
            return all;
        if (all.size() + *got > limit)
            return Error{ERROR_INTERNET_INTERNAL_ERROR, "The listing is longer than " + std::to_string(limit) + " bytes."};
        all.append(buffer, *got);
    }
}

Status DataChannel::StartTls(std::shared_ptr<TlsContext> context, Millis timeout)
{
    auto* plain = dynamic_cast<PlainTransport*>(m_transport.get());
    if (!plain)
        return Error{ERROR_INTERNET_INTERNAL_ERROR, "The data connection is not open."};
    Result<std::unique_ptr<TlsTransport>> tls =
        TlsTransport::Handshake(std::move(context), plain->Release(), TlsTransport::Role::Data, timeout);
    if (!tls) {
        m_transport.reset();
        return Error{tls.error().code, "The data connection's " + tls.error().text + "."};
    }
    m_transport = std::move(*tls);
    return {};
}

void DataChannel::Close(Millis timeout)
{
    // A server that never ends TLS properly costs at most timeout; the
    // transfer's final reply decides.
    if (m_transport)
        static_cast<void>(m_transport->Shutdown(timeout));
    m_transport.reset();
    m_listen.Reset();
}

}  // namespace ftp
