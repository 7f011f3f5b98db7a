#pragma once
// The protocol behind CFtpConnection: login, the folder and file commands,
// the start of transfers (with the active/passive choice and its
// fall-backs) and the look-up of one name. Synchronous: every call returns
// once its replies are read. The last reply (or error) of every operation
// is kept for the callers' error texts.
//
// Passive mode is either asked for at login or fallen back to, once and for
// the rest of the connection, when the server refuses EPRT and PORT (5xx)
// or answers a transfer with 425 in active mode.
//
// Pipelining. Read-only commands (folder changes, look-ups, the port of the
// next transfer) may be sent ahead of the caller, several in one write:
// each command sent goes into an expected-reply queue and its reply is
// read, in order, when the caller asks for that very command (Run); a
// caller asking for anything else first drops what is still ahead (its
// replies are read and set aside, and the folder the caller believes it is
// in is entered again when a dropped CWD moved the server elsewhere).
// Commands that change the server (MKD, STOR, RNFR, RNTO, DELE) are never
// sent ahead of the caller and keep their order (RNFR and RNTO go in one
// write, as one operation). The first write of more than one command on a
// connection is two commands (never a transfer's); when the
// second one's reply does not come within SessionOptions::pipelineProbeWait,
// the server is taken to drop commands sent ahead: the connection is
// dropped, made again, and from then on one command goes at a time. With
// SessionOptions::pipelining off, one command goes at a time from the start.

#include "platform/ftp/ControlChannel.h"
#include "platform/ftp/DataChannel.h"
#include "platform/ftp/RemoteEntry.h"
#include "platform/ftp/ReplyParsers.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/ServerAddress.h"
#include "platform/ftp/ServerScheme.h"

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ftp {

class Upload;

struct LoginData {
    std::string user;      // empty: "anonymous"
    std::string password;  // empty for anonymous: "anonymous@"
};

// One step of an upload run's future, as it will ask for it: enter a
// folder (the CWD argument), or look a name up in the folder entered.
struct AheadStep {
    enum class Kind { Folder, LookUp };
    Kind kind;
    std::string argument;
};

class FtpSession : public std::enable_shared_from_this<FtpSession> {
public:
    static constexpr std::chrono::seconds kPreparedPortLife{10};
    // A write of commands sent ahead holds at most this many of them and
    // bytes, so that it never blocks against a server that stops reading
    // while it answers.
    static constexpr std::size_t kAheadCommands = 256;
    static constexpr std::size_t kAheadBytes = 16 * 1024;

    enum class Pipelining {
        Off,       // one command at a time
        Untried,   // the next write of several commands is the two-command probe
        Working,   // the server answered the probe in time
    };

    // Connects, reads the greeting, logs in and asks for the features.
    // With TLS (explicit: AUTH TLS first, nothing else before it; implicit:
    // from the first byte) the certificate is checked before the login,
    // and PBSZ 0 and PROT P follow it, so every data connection is TLS too.
    static Result<std::shared_ptr<FtpSession>> Open(const ftp::ServerName& server, const LoginData& login, bool passive,
                                                    const SessionOptions& options, TraceSink trace);

    // Sends verb and argument; true for a 2xx reply.
    bool Simple(const std::string& verb, const std::string& argument);
    // Sends the commands of steps ahead, as far as they can go in one
    // write (none when pipelining is off or commands are still ahead; no
    // folder step while the current folder is not known). A look-up is
    // asked the way Find would ask it then. Returns the number of steps sent.
    std::size_t SendAhead(const std::vector<AheadStep>& steps);
    bool HasCommandsAhead() const { return !m_ahead.empty(); }
    // Steps to send at the end of the next rename's write (after the look-up
    // and the next transfer's port), when pipelining works then; forgotten
    // by any other SendAhead.
    void SendAheadWithNextRename(std::vector<AheadStep> steps);
    // Reads the replies still owed to commands sent ahead and forgets them
    // (the folder is entered again if a dropped CWD moved away from it).
    [[nodiscard]] Status DropAhead();
    bool PrintDirectory(std::string& directory);
    // RNFR and RNTO, sent together; true when the server renamed.
    // transferFollows: as for RenameAndLookUp.
    bool Rename(const std::string& from, const std::string& to, bool transferFollows = false);
    // Rename, with the look-up of to that Find(to) would make (SIZE and
    // MDTM in binary mode) sent in the same write: the next Find(to) is
    // answered from those replies when no other command came in between.
    // Where Find would look up otherwise, this is Rename.
    //
    // transferFollows: the caller expects to start a transfer soon. In
    // active mode, once the server has accepted an EPRT, the port for that
    // transfer is then named at the end of the same write, saving the
    // transfer a round trip; in passive mode, the EPSV for that transfer
    // goes at the end of the write in the same way. A port named more than
    // kPreparedPortLife ago is not used (a question to the user may have
    // come in between); a 425 to the transfer on such a port gets it a port
    // named afresh.
    bool RenameAndLookUp(const std::string& from, const std::string& to, bool transferFollows = false);
    // Starts a STOR of name; the upload is complete only once its Close
    // succeeded.
    Result<std::unique_ptr<Upload>> Store(const std::string& name, bool ascii);
    // The entries of the current folder named exactly name (every entry for
    // an empty name). Not found: an empty list.
    Result<std::vector<RemoteEntry>> Find(const std::string& name);
    // QUIT (its reply waited for), then the socket is closed.
    void Quit();

    bool Passive() const { return m_mode.Passive(); }
    // Plain FTP to a server whose FEAT offers AUTH TLS.
    bool OffersTls() const { return m_tlsMode == TlsMode::None && m_features.authTls; }
    // How long closing a data connection waits for the server's end.
    Millis DataCloseWait() const;
    Pipelining PipeliningState() const { return m_pipelining; }
    const std::string& LastText() const { return m_lastText; }
    const std::string& ServerName() const { return m_control.PeerName(); }

    // For the upload in progress (Upload), which never touches the control
    // connection itself. A final reply that has begun to arrive while data
    // is still being sent (the server gave up on the file), else none.
    Result<std::optional<Reply>> EarlyTransferReply();
    // Reads the transfer's final reply.
    Result<Reply> TransferReply();
    // Ends the transfer with its final reply: success only for a 2xx; the
    // reply (or error) is the last text. The session takes commands again.
    [[nodiscard]] Status EndTransfer(const Result<Reply>& final);
    // Ends the transfer after error (its text is the last text).
    void AbandonTransfer(const Error& error);
    // The data connection took nothing within its time-out: the control
    // connection is killed with a text saying so, which is returned.
    Error TransferStalled(const std::string& why);
    Millis DataSendTimeout() const { return m_control.Options().dataSendTimeout; }
    // For a call that decided without asking the server.
    void Remember(const std::string& text) { m_lastText = text; }

private:
    FtpSession(ControlChannel control, bool passive, ftp::ServerName server, LoginData login, TraceSink trace);

    [[nodiscard]] Status Login(const LoginData& login);
    [[nodiscard]] Status SecureControl();
    [[nodiscard]] Status CheckCertificate();
    [[nodiscard]] Status ProtectData();
    [[nodiscard]] Status SecureData(DataChannel& data);
    [[nodiscard]] Status ReadFeatures();
    [[nodiscard]] Status SetType(char type);
    [[nodiscard]] Status Ready();
    Result<Reply> Run(const std::string& command);
    // The replies to commands, in order: those next ahead are taken from
    // there, the rest sent in one write when pipelining works (or, two of
    // them, as the probe), else one at a time.
    Result<std::vector<Reply>> Exchange(const std::vector<std::string>& commands);
    Result<std::vector<Reply>> ExchangeOneByOne(const std::vector<std::string>& commands);
    // Keeps error's text as the last one and returns it.
    Error Failed(const Error& error);
    bool Renamed(const Reply& rnfr, const Reply& rnto);
    bool RenameOneByOne(const std::string& from, const std::string& to);
    bool SendsTogether() const { return m_pipelining == Pipelining::Working; }
    void SetPipelining(Pipelining state, const std::string& why);

    // The expected-reply queue.
    struct Ahead {
        std::string command;
        std::optional<Reply> reply;
        bool probe = false;  // the second command of the first write of several
    };
    [[nodiscard]] Status SendTogetherAhead(const std::vector<std::string>& commands);
    // The reply to the command next ahead, read now if it has not come; an
    // empty value when the probe went unanswered and the connection was
    // made again (the command is then to be sent anew).
    Result<std::optional<Reply>> TakeAhead();
    Result<Reply> TakeOrSend(const std::string& command);
    [[nodiscard]] Status ReadOwed(Ahead& entry);
    [[nodiscard]] Status ReturnToFolder(const std::optional<std::string>& serverFolder);
    [[nodiscard]] Status Reconnect(const std::string& why);
    std::vector<std::string> LookUpCommands(const std::string& name, char& type) const;
    std::size_t AddAheadCommands(const std::vector<AheadStep>& steps, std::size_t limit, bool partial,
                                 std::vector<std::string>& commands, char& type) const;
    void NoteFolder(const std::string& command, const Reply& reply);

    // What a failed start allows: another try in passive mode, with the
    // transfer command sent on its own, or with a port named afresh.
    enum class Retry { No, Passive, CommandAlone, FreshPort };
    Result<DataChannel> StartTransfer(const std::string& command);
    Result<DataChannel> StartTransferOnce(const std::string& command, Retry& retry);
    Status WaitForStart(DataChannel& data, const std::string& command, int& refusal);
    Result<DataChannel> OpenActive(bool& prepared);
    Result<DataChannel> OpenPassive(const std::string& command, bool& prepared);
    std::optional<Fd> PortToName(bool transferFollows);
    Result<std::vector<Reply>> RunBatchNamingPort(std::vector<std::string> commands, bool transferFollows,
                                                  bool readOnlyAfter);
    bool NamesPassivePortAhead(bool transferFollows) const;
    void KeepPassivePort(const Reply& epsv);
    Status AwaitEvent(DataChannel& data, bool preliminary, const std::string& command);
    void SwitchToPassive(const std::string& why);

    Result<std::vector<RemoteEntry>> FindByMlst(const std::string& name);
    Result<std::vector<RemoteEntry>> FindBySizeAndTime(const std::string& name);
    bool LooksUpBySizeAndTime(const std::string& name) const;
    std::vector<RemoteEntry> EntryFromSizeAndTime(const std::string& name, const Reply& size, const Reply& time);
    Result<std::vector<RemoteEntry>> FindByList(const std::string& name);
    Result<std::string> ReceiveListing(const std::string& command);

    ControlChannel m_control;
    ServerAddress m_server;
    TlsMode m_tlsMode;
    std::shared_ptr<TlsContext> m_tls;  // with TLS: the control connection's session
    LoginData m_login;
    TraceSink m_trace;
    Pipelining m_pipelining = Pipelining::Untried;
    std::deque<Ahead> m_ahead;
    std::vector<AheadStep> m_afterRename;
    // The folder the caller is in, when known (absolute).
    std::optional<std::string> m_folder;
    DataMode m_mode;
    Features m_features;
    char m_type = 0;  // TYPE last set: 'A', 'I', or 0 for none yet
    bool m_transferOpen = false;
    std::string m_lastText;
    // The port named for the next transfer, and when: active (our
    // listener) or passive (the server's port from an EPSV sent ahead).
    struct PreparedPort {
        Fd listener;
        std::chrono::steady_clock::time_point named;
    };
    std::optional<PreparedPort> m_preparedPort;
    struct PreparedPassivePort {
        std::uint16_t port;
        std::chrono::steady_clock::time_point named;
    };
    std::optional<PreparedPassivePort> m_preparedPassivePort;
};

}  // namespace ftp
