#pragma once
// The protocol behind CFtpConnection: login, the folder and file commands,
// the start of transfers (with the active/passive choice and its
// fall-backs) and the look-up of one name. Synchronous; one command or
// transfer at a time. The last reply (or error) of every operation is kept
// for the callers' error texts.
//
// Passive mode is either asked for at login or fallen back to, once and for
// the rest of the connection, when the server refuses EPRT and PORT (5xx)
// or answers a transfer with 425 in active mode. In passive mode, once EPSV
// has worked, each transfer command goes out in the same write as its EPSV.

#include "platform/ftp/ControlChannel.h"
#include "platform/ftp/DataChannel.h"
#include "platform/ftp/RemoteEntry.h"
#include "platform/ftp/ReplyParsers.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/ServerAddress.h"

#include <chrono>
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

class FtpSession : public std::enable_shared_from_this<FtpSession> {
public:
    static constexpr std::chrono::seconds kPreparedPortLife{10};

    // Connects, reads the greeting, logs in and asks for the features.
    static Result<std::shared_ptr<FtpSession>> Open(const ServerAddress& server, const LoginData& login, bool passive,
                                                    const SessionOptions& options, TraceSink trace);

    // Sends verb and argument; true for a 2xx reply.
    bool Simple(const std::string& verb, const std::string& argument);
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
    // transfer a round trip. A port named more than kPreparedPortLife ago
    // is not used (a question to the user may have come in between); a 425
    // to the transfer on such a port gets it a port named afresh.
    bool RenameAndLookUp(const std::string& from, const std::string& to, bool transferFollows = false);
    // Starts a STOR of name; the upload is complete only once its Close
    // succeeded.
    Result<std::unique_ptr<Upload>> Store(const std::string& name, bool ascii);
    // The entries of the current folder named exactly name (every entry for
    // an empty name). Not found: an empty list.
    Result<std::vector<RemoteEntry>> Find(const std::string& name);
    // QUIT (its reply waited for), then the socket is closed.
    void Quit();

    bool Passive() const { return m_passive; }
    const std::string& LastText() const { return m_lastText; }
    const std::string& ServerName() const { return m_control.PeerName(); }

    // For the upload in progress.
    ControlChannel& Control() { return m_control; }
    void Remember(const std::string& text) { m_lastText = text; }
    void EndTransfer() { m_transferOpen = false; }

private:
    FtpSession(ControlChannel control, bool passive);

    Status Login(const LoginData& login);
    Status ReadFeatures();
    Status SetType(char type);
    Status Ready();
    Result<Reply> Run(const std::string& command);
    Result<std::vector<Reply>> RunBatch(const std::vector<std::string>& commands);
    bool Renamed(const Reply& rnfr, const Reply& rnto);

    // What a failed start allows: another try in passive mode, with the
    // transfer command sent on its own, or with a port named afresh.
    enum class Retry { No, Passive, CommandAlone, FreshPort };
    Result<DataChannel> StartTransfer(const std::string& command);
    Result<DataChannel> StartTransferOnce(const std::string& command, Retry& retry);
    Status WaitForStart(DataChannel& data, const std::string& command, int& refusal);
    Result<DataChannel> OpenActive(bool& prepared);
    std::optional<Fd> PortToName(bool transferFollows);
    Result<std::vector<Reply>> RunBatchNamingPort(std::vector<std::string> commands, bool transferFollows);
    Status AwaitEvent(DataChannel& data, bool preliminary, const std::string& command);
    void SwitchToPassive(const std::string& why);

    Result<std::vector<RemoteEntry>> FindByMlst(const std::string& name);
    Result<std::vector<RemoteEntry>> FindBySizeAndTime(const std::string& name);
    bool LooksUpBySizeAndTime(const std::string& name) const;
    std::vector<RemoteEntry> EntryFromSizeAndTime(const std::string& name, const Reply& size, const Reply& time);
    Result<std::vector<RemoteEntry>> FindByList(const std::string& name);
    Result<std::string> ReceiveListing(const std::string& command);

    ControlChannel m_control;
    bool m_passive;
    DataChannel::ModeHistory m_modes;
    Features m_features;
    char m_type = 0;  // TYPE last set: 'A', 'I', or 0 for none yet
    bool m_transferOpen = false;
    std::string m_lastText;
    // A look-up sent ahead by RenameAndLookUp, until the next command.
    struct LookedUp {
        std::string name;
        std::vector<RemoteEntry> found;
        std::string lastText;
    };
    std::optional<LookedUp> m_lookedUp;
    // The port named for the next transfer, and when.
    struct PreparedPort {
        Fd listener;
        std::chrono::steady_clock::time_point named;
    };
    std::optional<PreparedPort> m_preparedPort;
};

}  // namespace ftp
