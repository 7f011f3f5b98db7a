#pragma once
// The control connection: owns its byte stream (a Transport over the
// socket), sends commands (one at a time or a batch in one write) and reads
// replies through a ReplyReader. Blocks, each wait bounded by the control
// send or receive time-out.
//
// A time-out, an end of the connection, a reply that is not FTP or a 421
// makes the connection dead (Kill, the only place that state changes): from
// then on every Send and ReadReply fails at once with the error that killed
// it, so no later reply can be read as the answer to the wrong command.

#include "platform/ftp/ReplyReader.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/SessionOptions.h"
#include "platform/ftp/Socket.h"
#include "platform/ftp/TlsTransport.h"
#include "platform/ftp/Transport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ftp {

using TraceSink = std::function<void(const std::string&)>;


class ControlChannel {
public:
    // fd: a connected socket; peerName: "host:port" for error texts.
    ControlChannel(Fd fd, std::string peerName, const SessionOptions& options, TraceSink trace);

    // Sends command and CRLF. A command holding CR, LF or a zero byte is
    // not sent (the connection stays usable). The trace shows PASS and ACCT
    // arguments as "****".
    Status Send(const std::string& command);
    // The next reply (any class).
    Result<Reply> ReadReply();
    // The next final reply, waiting at most wait for its bytes to begin or
    // go on: when none came in time, timedOut is set and the error returned
    // leaves the connection as it is (the caller decides what the silence
    // means). Other failures kill it as ReadReply does.
    Result<Reply> FinalReplyWithin(Millis wait, bool& timedOut);
    // Reads replies until one that is not 1xx (a bounded number of them).
    Result<Reply> FinalReply();
    // Sends all commands in one write, reading nothing; none is sent when
    // any is unsendable.
    Status SendTogether(const std::vector<std::string>& commands);
    // Send, then ReadReply.
    Result<Reply> Command(const std::string& command);
    // Sends all commands in one write without waiting in between, then
    // reads one reply for each, in order, so the channel stays in step
    // whatever an early reply says: the caller decides what the later
    // replies mean when an earlier one failed. Only for commands that are
    // harmless after a failed predecessor (queries, or RNTO, which a server
    // answers with 503 after a failed RNFR). The connection dying before
    // the last reply fails the batch.
    Result<std::vector<Reply>> CommandBatch(const std::vector<std::string>& commands);
    // Whether a reply has begun to arrive (bytes buffered or readable now).
    bool ReplyWaiting() const;

    // Runs TLS from now on (AUTH TLS accepted, or implicit TLS before the
    // greeting): the client's handshake within the connect time-out. A
    // failure kills the connection with a text naming the server.
    [[nodiscard]] Status StartTls(std::shared_ptr<TlsContext> context);
    // The server's certificate, once TLS runs; null before.
    const CertificateReport* Certificate() const;

    bool Dead() const { return m_dead.has_value(); }
    const Error& DeadError() const { return *m_dead; }
    // Marks the connection dead with error and closes the socket.
    void Kill(Error error);
    // Kills with the text "<what>" about this server.
    Error KillWith(std::uint32_t code, const std::string& what);

    // -1 once dead.
    int SocketFd() const { return m_transport ? m_transport->SocketFd() : -1; }
    const SocketAddress& Peer() const { return m_peer; }
    const SocketAddress& Local() const { return m_local; }
    const std::string& PeerName() const { return m_peerName; }
    const SessionOptions& Options() const { return m_options; }
    void Note(const std::string& line) const;

private:
    // A complete reply (or the error that broke the reader); none when more
    // bytes are needed.
    std::optional<Result<Reply>> TakeReply();
    // Reads what arrives within timeout. A time-out kills the connection
    // unless quietTimeout, when it only sets timedOut.
    Status Fill(Millis timeout, bool quietTimeout, bool& timedOut);
    Status SendLines(const std::string& lines);

    // The byte stream (a plain socket); null once dead.
    std::unique_ptr<Transport> m_transport;
    const TlsTransport* m_tls = nullptr;  // m_transport, when it is TLS
    std::string m_peerName;
    SessionOptions m_options;
    TraceSink m_trace;
    SocketAddress m_peer;
    SocketAddress m_local;
    ReplyReader m_reader;
    std::optional<Error> m_dead;
};

// "FTP server host:port: what" (what ends without a full stop).
std::string ServerText(const std::string& peerName, const std::string& what);

}  // namespace ftp
