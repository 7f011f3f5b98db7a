#include "platform/ftp/ControlChannel.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

namespace ftp {

namespace {

constexpr int kMaxPreliminaryReplies = 8;

bool HasLineBreakOrZero(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The command as the trace shows it: secrets replaced.
std::string Traced(const std::string& command)
{
    if (StartsWith(command, "PASS ") || StartsWith(command, "ACCT "))
        return command.substr(0, 5) + "****";
    return command;
}

Error UnsendableError(const std::string& command)
{
    if (StartsWith(command, "PASS") || StartsWith(command, "ACCT"))
        return Error{ERROR_INVALID_PARAMETER, "The password contains a line break or a zero byte; it was not sent."};
    if (StartsWith(command, "USER"))
        return Error{ERROR_INVALID_PARAMETER, "The user name contains a line break or a zero byte; it was not sent."};
    return Error{ERROR_INVALID_PARAMETER,
                 "The name contains a line break or a zero byte; it was not sent to the server."};
}

}  // namespace

std::string ServerText(const std::string& peerName, const std::string& what)
{
    return "FTP server " + peerName + ": " + what + ".";
}

ControlChannel::ControlChannel(Fd fd, std::string peerName, const SessionOptions& options, TraceSink trace)
    : m_peerName(std::move(peerName)), m_options(options), m_trace(std::move(trace)), m_peer(PeerAddress(fd.Get())),
      m_local(LocalAddress(fd.Get()))
{
    // Every write is whole command lines that the server must see at once:
    // none is held back waiting for the ACK of the last one.
    const int on = 1;
    setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_transport = std::make_unique<PlainTransport>(std::move(fd));
}

void ControlChannel::Note(const std::string& line) const
{
    if (m_trace)
        m_trace(line);
}

void ControlChannel::Kill(Error error)
{
    if (Dead())
        return;
    Note("* connection dead: " + error.text);
    m_dead = std::move(error);
    m_tls = nullptr;
    m_transport.reset();
}

Error ControlChannel::KillWith(std::uint32_t code, const std::string& what)
{
    Kill(Error{code, ServerText(m_peerName, what)});
    return *m_dead;
}

Status ControlChannel::StartTls(std::shared_ptr<TlsContext> context)
{
    if (Dead())
        return *m_dead;
    auto* plain = dynamic_cast<PlainTransport*>(m_transport.get());
    if (!plain)
        return KillWith(ERROR_INTERNET_INTERNAL_ERROR, "TLS is already running");
    Result<std::unique_ptr<TlsTransport>> tls =
        TlsTransport::Handshake(std::move(context), plain->Release(), TlsTransport::Role::Control,
                                m_options.connectTimeout);
    if (!tls)
        return KillWith(tls.error().code, tls.error().text);
    m_tls = tls->get();
    m_transport = std::move(*tls);
    Note("* TLS " + m_tls->Version() + (m_tls->Certificate().verified ? ", certificate verified"
                                                                       : ", certificate not verified: " +
                                                                             m_tls->Certificate().reason));
    return {};
}

const CertificateReport* ControlChannel::Certificate() const
{
    return m_tls ? &m_tls->Certificate() : nullptr;
}

Status ControlChannel::Send(const std::string& command)
{
    return SendTogether({command});
}

Status ControlChannel::SendLines(const std::string& lines)
{
    const Status sent = m_transport->Send(lines.data(), lines.size(), m_options.controlSendTimeout);
    if (!sent)
        return KillWith(sent.error().code, "cannot send a command (" + sent.error().text + ")");
    return {};
}

std::optional<Result<Reply>> ControlChannel::TakeReply()
{
    Reply reply;
    std::string problem;
    switch (m_reader.Next(reply, problem)) {
    case ReplyReader::State::Ready:
        Note("< " + reply.Text());
        if (reply.code == 421) {
            Kill(Error{ERROR_INTERNET_EXTENDED_ERROR, reply.Text()});
            return Result<Reply>(*m_dead);
        }
        return Result<Reply>(std::move(reply));
    case ReplyReader::State::Broken:
        return Result<Reply>(KillWith(ERROR_INTERNET_INTERNAL_ERROR, problem));
    case ReplyReader::State::NeedMore:
        break;
    }
    return std::nullopt;
}

Status ControlChannel::Fill(Millis timeout, bool quietTimeout, bool& timedOut)
{
    char buffer[4096];
    const Result<std::size_t> got = m_transport->Receive(buffer, sizeof buffer, timeout);
    if (!got) {
        if (got.error().code == ERROR_INTERNET_TIMEOUT && quietTimeout) {
            timedOut = true;
            return got.error();
        }
        if (got.error().code == ERROR_INTERNET_TIMEOUT)
            return KillWith(ERROR_INTERNET_TIMEOUT, "no reply (" + got.error().text + ")");
        return KillWith(got.error().code, "connection lost (" + got.error().text + ")");
    }
    if (*got == 0)
        return KillWith(ERROR_INTERNET_CONNECTION_ABORTED, "the server closed the connection");
    m_reader.Feed(std::string_view(buffer, *got));
    return {};
}

Result<Reply> ControlChannel::ReadReply()
{
    if (Dead())
        return *m_dead;
    for (;;) {
        if (std::optional<Result<Reply>> reply = TakeReply())
            return std::move(*reply);
        bool timedOut = false;
        const Status filled = Fill(m_options.controlReceiveTimeout, false, timedOut);
        if (!filled)
            return filled.error();
    }
}

Result<Reply> ControlChannel::FinalReplyWithin(Millis wait, bool& timedOut)
{
    timedOut = false;
    if (Dead())
        return *m_dead;
    for (int preliminary = 0;;) {
        if (std::optional<Result<Reply>> reply = TakeReply()) {
            if (!*reply || (*reply)->Class() != 1)
                return std::move(*reply);
            if (++preliminary > kMaxPreliminaryReplies)
                return KillWith(ERROR_INTERNET_INTERNAL_ERROR, "too many preliminary replies");
            continue;
        }
        const Status filled = Fill(wait, true, timedOut);
        if (!filled)
            return filled.error();
    }
}

Result<Reply> ControlChannel::FinalReply()
{
    for (int i = 0; i < kMaxPreliminaryReplies; ++i) {
        Result<Reply> reply = ReadReply();
        if (!reply || reply->Class() != 1)
            return reply;
    }
    return KillWith(ERROR_INTERNET_INTERNAL_ERROR, "too many preliminary replies");
}

Result<Reply> ControlChannel::Command(const std::string& command)
{
    const Status sent = Send(command);
    if (!sent)
        return sent.error();
    return ReadReply();
}

Status ControlChannel::SendTogether(const std::vector<std::string>& commands)
{
    if (Dead())
        return *m_dead;
    std::string lines;
    for (const std::string& command : commands) {
        if (HasLineBreakOrZero(command))
            return UnsendableError(command);
        lines += command + "\r\n";
    }
    for (const std::string& command : commands)
        Note("> " + Traced(command));
    return SendLines(lines);
}

Result<std::vector<Reply>> ControlChannel::CommandBatch(const std::vector<std::string>& commands)
{
    if (const Status sent = SendTogether(commands); !sent)
        return sent.error();
    std::vector<Reply> replies;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Result<Reply> reply = ReadReply();
        if (!reply)
            return reply.error();
        replies.push_back(std::move(*reply));
    }
    return replies;
}

bool ControlChannel::ReplyWaiting() const
{
    if (Dead())
        return false;
    return m_reader.HasBufferedBytes() || m_transport->Buffered() > 0 || m_transport->ReceiveReady();
}

}  // namespace ftp
