#include "platform/ftp/FtpSession.h"

#include "platform/ftp/ListingParser.h"
#include "platform/ftp/RemoteFolder.h"
#include "platform/ftp/Upload.h"

#include <poll.h>

#include <cctype>
#include <ctime>

namespace ftp {

namespace {

constexpr std::size_t kListingLimit = 64u << 20;

Error ReplyError(const Reply& reply)
{
    return Error{ERROR_INTERNET_EXTENDED_ERROR, reply.Text()};
}

std::string WithArgument(const std::string& verb, const std::string& argument)
{
    return argument.empty() ? verb : verb + " " + argument;
}

// vsftpd reads "MDTM 20240101120000 name" as an order to set name's time.
bool StartsWithTimestamp(const std::string& name)
{
    if (name.size() < 15 || name[14] != ' ')
        return false;
    for (std::size_t i = 0; i < 14; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// LIST expands wildcards and takes "-" words as options: such names are
// looked for in the listing of the whole folder.
bool NeedsWholeListing(const std::string& name)
{
    return name.empty() || name[0] == '-' || name.find_first_of("*?[") != std::string::npos;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

std::string ArgumentOf(const std::string& command)
{
    const std::size_t space = command.find(' ');
    return space == std::string::npos ? std::string() : command.substr(space + 1);
}

std::vector<RemoteEntry> Named(std::vector<RemoteEntry> entries, const std::string& name)
{
    if (name.empty())
        return entries;
    std::vector<RemoteEntry> found;
    for (RemoteEntry& e : entries)
        if (e.name == name)
            found.push_back(std::move(e));
    return found;
}

}  // namespace

FtpSession::FtpSession(ControlChannel control, bool passive, ftp::ServerName server, LoginData login, TraceSink trace)
    : m_control(std::move(control)), m_server(std::move(server.address)), m_tlsMode(server.tls),
      m_login(std::move(login)), m_trace(std::move(trace)),
      m_pipelining(m_control.Options().pipelining ? Pipelining::Untried : Pipelining::Off), m_mode(passive, m_trace)
{
}

Result<std::shared_ptr<FtpSession>> FtpSession::Open(const ftp::ServerName& server, const LoginData& login,
                                                     bool passive, const SessionOptions& options, TraceSink trace)
{
    Result<Fd> fd = ConnectToServer(server.address, options, trace);
    if (!fd)
        return fd.error();
    std::shared_ptr<FtpSession> session(new FtpSession(
        ControlChannel(std::move(*fd), server.address.Name(), options, trace), passive, server, login, trace));
    if (const Status s = session->Login(login); !s)
        return s.error();
    if (const Status s = session->ReadFeatures(); !s)
        return s.error();
    return session;
}

// Implicit TLS runs before the greeting; explicit TLS asks with AUTH TLS
// right after it, and nothing else goes before the handshake. A server that
// refuses it ends the connection with its reply: never plain FTP instead.
Status FtpSession::Login(const LoginData& login)
{
    if (m_tlsMode == TlsMode::Implicit)
        if (const Status s = SecureControl(); !s)
            return s;
    Result<Reply> greeting = m_control.FinalReply();
    if (!greeting)
        return greeting.error();
    if (greeting->Class() != 2)
        return ReplyError(*greeting);
    if (m_tlsMode == TlsMode::Explicit) {
        Result<Reply> auth = m_control.Command("AUTH TLS");
        if (!auth)
            return auth.error();
        if (auth->code != 234) {
            m_control.Kill(ReplyError(*auth));
            return ReplyError(*auth);
        }
        if (const Status s = SecureControl(); !s)
            return s;
    }
    const std::string user = login.user.empty() ? "anonymous" : login.user;
    const bool anonymous = user == "anonymous" || user == "ftp";
    const std::string password = login.password.empty() && anonymous ? "anonymous@" : login.password;
    Result<Reply> reply = m_control.Command("USER " + user);
    if (reply && reply->code == 331)
        reply = m_control.Command("PASS " + password);
    // The configuration has no account: a server that asks for one gets
    // the password, as the only secret there is.
    if (reply && reply->code == 332)
        reply = m_control.Command("ACCT " + password);
    if (!reply)
        return reply.error();
    if (reply->Class() != 2)
        return ReplyError(*reply);
    return ProtectData();
}

Status FtpSession::SecureControl()
{
    if (!m_tls) {
        Result<std::shared_ptr<TlsContext>> context = TlsContext::Create(m_server.host);
        if (!context)
            return m_control.KillWith(context.error().code, context.error().text);
        m_tls = std::move(*context);
    }
    if (const Status s = m_control.StartTls(m_tls); !s)
        return s;
    return CheckCertificate();
}

// A certificate that verifies is accepted; any other is put to the
// caller's decision, and without one the connection ends, naming the
// fingerprint (it is never trusted by itself).
Status FtpSession::CheckCertificate()
{
    const CertificateReport* report = m_control.Certificate();
    if (!report || report->verified)
        return {};
    const auto& check = m_control.Options().certificateCheck;
    const Status decided =
        check ? check(m_server.Name(), *report)
              : Status(Error{ERROR_INTERNET_SECURE_FAILURE,
                             "The server's certificate is not trusted (" + report->reason +
                                 "); its fingerprint is " + report->fingerprint + "."});
    if (!decided)
        m_control.Kill(decided.error());
    return decided;
}

// Every data connection over TLS too.
Status FtpSession::ProtectData()
{
    if (m_tlsMode == TlsMode::None)
        return {};
    for (const char* command : {"PBSZ 0", "PROT P"}) {
        Result<Reply> reply = m_control.Command(command);
        if (!reply)
            return reply.error();
        if (reply->Class() != 2) {
            m_control.Kill(ReplyError(*reply));
            return ReplyError(*reply);
        }
    }
    return {};
}

// The data connection's handshake, once the transfer command went (servers
// start TLS on it only once they handle the command). A failed one gets
// the server's word on the transfer (a 425 or 522), read so that the
// channel stays in step.
Status FtpSession::SecureData(DataChannel& data)
{
    if (!m_tls)
        return {};
    const Status secured = data.StartTls(m_tls, m_control.Options().connectTimeout);
    if (secured)
        return {};
    Result<Reply> final = m_control.FinalReply();
    if (final && final->Class() != 2)
        return ReplyError(*final);
    return secured;
}

Millis FtpSession::DataCloseWait() const
{
    if (!m_tls)
        return Millis(0);
    return std::min(Millis(5000), m_control.Options().dataReceiveTimeout);
}

Status FtpSession::ReadFeatures()
{
    Result<Reply> reply = m_control.Command("FEAT");
    if (!reply)
        return reply.error();
    m_features = ParseFeatures(*reply);
    return {};
}

Status FtpSession::Ready()
{
    if (m_transferOpen)
        return Error{ERROR_INTERNET_INCORRECT_HANDLE_STATE, "A file transfer is still open on this connection."};
    if (m_control.Dead())
        return m_control.DeadError();
    return {};
}

Result<Reply> FtpSession::Run(const std::string& command)
{
    if (const Status ready = Ready(); !ready) {
        m_lastText = ready.error().text;
        return ready.error();
    }
    Result<Reply> reply = TakeOrSend(command);
    m_lastText = reply ? reply->Text() : reply.error().text;
    if (reply)
        NoteFolder(command, *reply);
    return reply;
}

// The last text is the reply to the last command, or the error; callers set
// it to an earlier reply's text when that one decided.
Result<std::vector<Reply>> FtpSession::Exchange(const std::vector<std::string>& commands)
{
    if (const Status ready = Ready(); !ready) {
        m_lastText = ready.error().text;
        return ready.error();
    }
    std::size_t next = 0;
    while (next < commands.size() && !m_ahead.empty() && m_ahead.front().command == commands[next])
        ++next;
    if (next < commands.size()) {
        if (next == 0) {
            if (const Status dropped = DropAhead(); !dropped)
                return Failed(dropped.error());
        }
        const std::vector<std::string> rest(commands.begin() + static_cast<std::ptrdiff_t>(next), commands.end());
        const bool probe = m_pipelining == Pipelining::Untried && next == 0 && rest.size() == 2;
        if (m_ahead.empty() && ((SendsTogether() && rest.size() > 1) || probe))
            if (const Status sent = SendTogetherAhead(rest); !sent)
                return Failed(sent.error());
    }
    std::vector<Reply> replies;
    for (const std::string& command : commands) {
        Result<Reply> reply = Error{};
        if (!m_ahead.empty() && m_ahead.front().command == command) {
            Result<std::optional<Reply>> taken = TakeAhead();
            if (!taken)
                return Failed(taken.error());
            // Made again: the server lost what it was told on the old
            // connection (an RNFR's pending rename, say), so all goes anew.
            if (!*taken)
                return ExchangeOneByOne(commands);
            reply = std::move(**taken);
        } else {
            reply = TakeOrSend(command);
        }
        if (!reply)
            return Failed(reply.error());
        NoteFolder(command, *reply);
        replies.push_back(std::move(*reply));
    }
    m_lastText = replies.back().Text();
    return replies;
}

Result<std::vector<Reply>> FtpSession::ExchangeOneByOne(const std::vector<std::string>& commands)
{
    std::vector<Reply> replies;
    for (const std::string& command : commands) {
        Result<Reply> reply = m_control.Command(command);
        if (!reply)
            return Failed(reply.error());
        NoteFolder(command, *reply);
        replies.push_back(std::move(*reply));
    }
    m_lastText = replies.back().Text();
    return replies;
}

Error FtpSession::Failed(const Error& error)
{
    m_lastText = error.text;
    return error;
}

void FtpSession::SetPipelining(Pipelining state, const std::string& why)
{
    if (m_pipelining == state)
        return;
    static const char* const names[] = {"off", "untried", "working"};
    m_control.Note(std::string("* pipelining ") + names[static_cast<int>(state)] + ": " + why);
    m_pipelining = state;
}

// Every command of a write sent ahead is queued with what it expects; the
// probe is the second command of the first such write.
Status FtpSession::SendTogetherAhead(const std::vector<std::string>& commands)
{
    if (const Status sent = m_control.SendTogether(commands); !sent)
        return sent;
    for (std::size_t i = 0; i < commands.size(); ++i)
        m_ahead.push_back(Ahead{commands[i], std::nullopt, m_pipelining == Pipelining::Untried && i == 1});
    return {};
}

Result<Reply> FtpSession::TakeOrSend(const std::string& command)
{
    if (!m_ahead.empty() && m_ahead.front().command == command) {
        Result<std::optional<Reply>> taken = TakeAhead();
        if (!taken)
            return taken.error();
        if (*taken)
            return std::move(**taken);
    }
    if (const Status dropped = DropAhead(); !dropped)
        return dropped.error();
    return m_control.Command(command);
}

// Replies come in the order the commands went, so the front is the first
// one still owed, if any is.
Result<std::optional<Reply>> FtpSession::TakeAhead()
{
    if (!m_ahead.front().reply) {
        if (const Status read = ReadOwed(m_ahead.front()); !read)
            return read.error();
        if (m_ahead.empty())
            return std::optional<Reply>();  // made again: nothing is ahead any more
    }
    std::optional<Reply> reply = std::move(m_ahead.front().reply);
    m_ahead.pop_front();
    return reply;
}

// A server that drops what it reads ahead never answers the probe; its
// late answer, if any, must never be read as the reply to a command sent
// anew, so the connection is made again.
Status FtpSession::ReadOwed(Ahead& entry)
{
    if (!entry.probe) {
        Result<Reply> reply = m_control.FinalReply();
        if (!reply)
            return reply.error();
        entry.reply = std::move(*reply);
        return {};
    }
    bool timedOut = false;
    const Millis wait = std::min(m_control.Options().pipelineProbeWait, m_control.Options().controlReceiveTimeout);
    Result<Reply> reply = m_control.FinalReplyWithin(wait, timedOut);
    if (timedOut)
        return Reconnect("no reply to " + entry.command.substr(0, entry.command.find(' ')) +
                         " sent along with another command within " + DescribeTimeout(wait));
    if (!reply)
        return reply.error();
    SetPipelining(Pipelining::Working, "the server answered two commands sent together");
    entry.reply = std::move(*reply);
    return {};
}

Status FtpSession::DropAhead()
{
    if (m_ahead.empty())
        return {};
    std::optional<std::string> serverFolder = m_folder;
    bool moved = false;
    while (!m_ahead.empty()) {
        Ahead& entry = m_ahead.front();
        if (!entry.reply)
            if (const Status read = ReadOwed(entry); !read)
                return read;
        if (m_ahead.empty())
            return {};  // made again, in the caller's folder
        if (StartsWith(entry.command, "CWD ") && entry.reply->Class() == 2) {
            serverFolder = FolderAfterCwd(serverFolder, ArgumentOf(entry.command));
            moved = true;
        }
        if (StartsWith(entry.command, "TYPE "))
            m_type = 0;  // sent, but not by the caller's choice: set again when needed
        m_ahead.pop_front();
    }
    if (!moved)
        return {};
    return ReturnToFolder(serverFolder);
}

Status FtpSession::ReturnToFolder(const std::optional<std::string>& serverFolder)
{
    if (serverFolder && m_folder && SameFolder(*serverFolder, *m_folder))
        return {};
    if (!m_folder)
        return m_control.KillWith(ERROR_INTERNET_INCORRECT_HANDLE_STATE, "lost track of the current folder");
    m_control.Note("* back to " + *m_folder + " after commands sent ahead were dropped");
    Result<Reply> reply = m_control.Command("CWD " + *m_folder);
    if (!reply)
        return reply.error();
    if (reply->Class() != 2)
        return m_control.KillWith(ERROR_INTERNET_EXTENDED_ERROR, "cannot enter " + *m_folder + " again (" +
                                                                      reply->Text() + ")");
    return {};
}

Status FtpSession::Reconnect(const std::string& why)
{
    SetPipelining(Pipelining::Off, why);
    m_ahead.clear();
    m_preparedPort.reset();
    m_preparedPassivePort.reset();
    m_control.Kill(Error{ERROR_INTERNET_CONNECTION_ABORTED, "dropped: " + why});
    Result<Fd> fd = ConnectToServer(m_server, m_control.Options(), m_trace);
    if (!fd)
        return fd.error();
    const SessionOptions options = m_control.Options();
    m_control = ControlChannel(std::move(*fd), m_server.Name(), options, m_trace);
    m_tls.reset();  // a new control session for the new connection
    // The new connection starts where the caller believes the old one was:
    // the same transfer type and folder.
    const char type = m_type;
    m_type = 0;
    if (const Status s = Login(m_login); !s)
        return s;
    if (const Status s = ReadFeatures(); !s)
        return s;
    if (type != 0)
        if (const Status s = SetType(type); !s)
            return s;
    if (!m_folder)
        return {};
    return ReturnToFolder(std::nullopt);
}

void FtpSession::NoteFolder(const std::string& command, const Reply& reply)
{
    if (StartsWith(command, "CWD ") && reply.Class() == 2)
        m_folder = FolderAfterCwd(m_folder, ArgumentOf(command));
    else if (command == "CDUP" && reply.Class() == 2)
        m_folder.reset();
}

std::vector<std::string> FtpSession::LookUpCommands(const std::string& name, char& type) const
{
    if (m_features.mlst && !name.empty())
        return {"MLST " + name};
    if (!LooksUpBySizeAndTime(name))
        return {};
    std::vector<std::string> commands;
    if (type != 'I')
        commands.push_back("TYPE I");
    type = 'I';
    commands.push_back("SIZE " + name);
    commands.push_back("MDTM " + name);
    return commands;
}

// The commands of steps as far as they fit after `commands` (at most limit
// commands and kAheadBytes in all); a folder step only while the current
// folder is known, since a folder left by dropping a CWD sent ahead must be
// entered again. Returns the number of steps taken; partial: the last step
// may be cut (only for the probe).
std::size_t FtpSession::AddAheadCommands(const std::vector<AheadStep>& steps, std::size_t limit, bool partial,
                                         std::vector<std::string>& commands, char& type) const
{
    std::size_t bytes = 0;
    for (const std::string& c : commands)
        bytes += c.size() + 2;
    std::size_t taken = 0;
    for (const AheadStep& step : steps) {
        if (step.kind == AheadStep::Kind::Folder && !m_folder)
            break;
        const std::vector<std::string> more = step.kind == AheadStep::Kind::Folder
                                                  ? std::vector<std::string>{"CWD " + step.argument}
                                                  : LookUpCommands(step.argument, type);
        std::size_t moreBytes = 0;
        for (const std::string& c : more)
            moreBytes += c.size() + 2;
        if (more.empty() || bytes + moreBytes > kAheadBytes)
            break;
        if (commands.size() + more.size() > limit) {
            for (std::size_t i = 0; partial && commands.size() < limit; ++i)
                commands.push_back(more[i]);
            break;
        }
        commands.insert(commands.end(), more.begin(), more.end());
        bytes += moreBytes;
        ++taken;
    }
    return taken;
}

std::size_t FtpSession::SendAhead(const std::vector<AheadStep>& steps)
{
    m_afterRename.clear();
    if (m_pipelining == Pipelining::Off || !m_ahead.empty() || m_transferOpen || m_control.Dead())
        return 0;
    // Untried: the probe, two commands, which may end inside a step (the
    // rest goes when asked for).
    const std::size_t limit = SendsTogether() ? kAheadCommands : 2;
    std::vector<std::string> commands;
    char type = m_type;
    const std::size_t taken = AddAheadCommands(steps, limit, !SendsTogether(), commands, type);
    if (commands.size() < 2 && !SendsTogether())
        return 0;
    if (commands.empty() || !SendTogetherAhead(commands))
        return 0;
    return taken;
}

void FtpSession::SendAheadWithNextRename(std::vector<AheadStep> steps)
{
    m_afterRename = std::move(steps);
}

bool FtpSession::Simple(const std::string& verb, const std::string& argument)
{
    const Result<Reply> reply = Run(WithArgument(verb, argument));
    return reply && reply->Class() == 2;
}

bool FtpSession::PrintDirectory(std::string& directory)
{
    const Result<Reply> reply = Run("PWD");
    if (!reply || reply->code != 257)
        return false;
    const auto path = ParsePwdPath(reply->FirstLineText());
    if (!path)
        return false;
    directory = *path;
    m_folder = FolderAfterCwd(std::nullopt, directory);
    return true;
}

// RNFR and RNTO go out together, saving a round trip per rename. After a
// refused RNFR the server answers RNTO with 503 (no rename is pending: every
// RNFR this client sends has its RNTO right behind it), which is read and
// set aside, so the refusal is reported as before.
bool FtpSession::Rename(const std::string& from, const std::string& to, bool transferFollows)
{
    if (m_pipelining == Pipelining::Off)
        return RenameOneByOne(from, to);
    if (m_pipelining == Pipelining::Untried) {
        const Result<std::vector<Reply>> replies = Exchange({"RNFR " + from, "RNTO " + to});
        return replies && Renamed((*replies)[0], (*replies)[1]);
    }
    const Result<std::vector<Reply>> replies = RunBatchNamingPort({"RNFR " + from, "RNTO " + to}, transferFollows, false);
    return replies && Renamed((*replies)[0], (*replies)[1]);
}

// One command at a time, RNTO only after RNFR was accepted.
bool FtpSession::RenameOneByOne(const std::string& from, const std::string& to)
{
    const Result<Reply> rnfr = Run("RNFR " + from);
    if (!rnfr || rnfr->code != 350)
        return false;
    const Result<Reply> rnto = Run("RNTO " + to);
    return rnto && rnto->Class() == 2;
}

// A listening socket whose port is worth naming now for a transfer to come.
std::optional<Fd> FtpSession::PortToName(bool transferFollows)
{
    if (!transferFollows || m_mode.Value() != DataMode::Step::EprtWorks || m_preparedPort)
        return std::nullopt;
    Result<Fd> listener = DataChannel::ListenForServer(m_control);
    if (!listener)
        return std::nullopt;
    return std::move(*listener);
}

// Once an EPSV has started a transfer, the next one may be asked for early;
// a new EPSV replaces a port asked for before and left unused.
bool FtpSession::NamesPassivePortAhead(bool transferFollows) const
{
    return transferFollows && m_mode.Value() == DataMode::Step::EpsvWorks;
}

void FtpSession::KeepPassivePort(const Reply& epsv)
{
    m_preparedPassivePort.reset();
    if (epsv.code != 229)
        return;
    if (const auto port = ParseEpsvPort(epsv.FirstLineText()))
        m_preparedPassivePort = PreparedPassivePort{*port, std::chrono::steady_clock::now()};
}

// The rename's commands in one write, then (when readOnlyAfter) the
// commands that follow them in commands and the steps given by
// SendAheadWithNextRename, left ahead for the callers that ask for them,
// and, when transferFollows allows, the port of the next transfer (EPRT of a
// prepared listener, or EPSV). None of those changes
// what the rename did, whatever its outcome; the port's reply is read here
// and taken off the list. Returns the replies of the first two commands.
Result<std::vector<Reply>> FtpSession::RunBatchNamingPort(std::vector<std::string> commands, bool transferFollows,
                                                          bool readOnlyAfter)
{
    if (const Status ready = Ready(); !ready) {
        m_lastText = ready.error().text;
        return ready.error();
    }
    const auto fail = [this](const Error& error) {
        m_lastText = error.text;
        return error;
    };
    if (const Status dropped = DropAhead(); !dropped)
        return fail(dropped.error());
    if (!readOnlyAfter)
        commands.resize(2);
    char type = m_type;
    if (readOnlyAfter)
        AddAheadCommands(m_afterRename, kAheadCommands, false, commands, type);
    m_afterRename.clear();
    // The port goes last: some servers answer EPRT only once they have
    // connected, after answering what follows it.
    std::optional<Fd> listener = PortToName(transferFollows);
    const bool epsv = !listener && NamesPassivePortAhead(transferFollows);
    if (listener)
        commands.push_back(DataChannel::EprtFor(*listener));
    else if (epsv)
        commands.push_back("EPSV");
    // The port's place among the entries left once RNFR and RNTO are read.
    const std::size_t portAt = commands.size() - 3;
    if (const Status sent = SendTogetherAhead(commands); !sent)
        return fail(sent.error());
    std::vector<Reply> replies;
    for (int i = 0; i < 2; ++i) {
        Result<std::optional<Reply>> taken = TakeAhead();
        if (!taken)
            return fail(taken.error());
        if (!*taken)
            return fail(Error{ERROR_INTERNET_CONNECTION_ABORTED, "The connection was made again."});
        replies.push_back(std::move(**taken));
    }
    m_lastText = replies.back().Text();
    if (!listener && !epsv)
        return replies;
    for (std::size_t i = 0; i <= portAt; ++i)
        if (!m_ahead[i].reply)
            if (const Status read = ReadOwed(m_ahead[i]); !read)
                return fail(read.error());
    const Reply port = std::move(*m_ahead[portAt].reply);
    m_ahead.erase(m_ahead.begin() + static_cast<std::ptrdiff_t>(portAt));
    if (listener && port.Class() == 2)
        m_preparedPort = PreparedPort{std::move(*listener), std::chrono::steady_clock::now()};
    if (epsv)
        KeepPassivePort(port);
    return replies;
}

bool FtpSession::Renamed(const Reply& rnfr, const Reply& rnto)
{
    if (rnfr.code != 350) {
        m_lastText = rnfr.Text();
        return false;
    }
    m_lastText = rnto.Text();
    return rnto.Class() == 2;
}

// The look-up is a query of the name after the rename, whatever its outcome,
// so sending it ahead changes nothing but the waiting. It stays ahead for
// the Find that follows; any other command drops it.
bool FtpSession::RenameAndLookUp(const std::string& from, const std::string& to, bool transferFollows)
{
    if (!SendsTogether()) {
        const bool renamed = Rename(from, to, false);
        const std::string text = m_lastText;
        SendAhead({AheadStep{AheadStep::Kind::LookUp, to}});
        m_lastText = text;
        return renamed;
    }
    char type = m_type;
    std::vector<std::string> commands = {"RNFR " + from, "RNTO " + to};
    for (std::string& c : LookUpCommands(to, type))
        commands.push_back(std::move(c));
    const Result<std::vector<Reply>> replies = RunBatchNamingPort(commands, transferFollows, true);
    return replies && Renamed((*replies)[0], (*replies)[1]);
}

Status FtpSession::SetType(char type)
{
    if (m_type == type)
        return {};
    Result<Reply> reply = Run(std::string("TYPE ") + type);
    if (!reply)
        return reply.error();
    if (reply->Class() != 2)
        return ReplyError(*reply);
    m_type = type;
    return {};
}

void FtpSession::SwitchToPassive(const std::string& why)
{
    if (!m_mode.Passive())
        m_mode.Change(DataMode::Step::Epsv, "passive from now on: " + why);
    m_preparedPort.reset();
}

Result<DataChannel> FtpSession::StartTransfer(const std::string& command)
{
    if (const Status ready = Ready(); !ready)
        return ready.error();
    if (const Status dropped = DropAhead(); !dropped) {
        m_lastText = dropped.error().text;
        return dropped.error();
    }
    // Each kind of retry can happen once: what it answers is gone after it.
    Retry retry = Retry::No;
    Result<DataChannel> started = StartTransferOnce(command, retry);
    for (int retries = 0; !started && retry != Retry::No && retries < 3; ++retries) {
        if (retry == Retry::Passive)
            SwitchToPassive(started.error().text);
        if (retry == Retry::CommandAlone) {
            m_mode.Change(DataMode::Step::EpsvAlone, started.error().text);
        }
        started = StartTransferOnce(command, retry);
    }
    if (!started)
        m_lastText = started.error().text;
    return started;
}

// The port named ahead while it is fresh, else one named now.
Result<DataChannel> FtpSession::OpenActive(bool& prepared)
{
    std::optional<PreparedPort> port = std::move(m_preparedPort);
    m_preparedPort.reset();
    prepared = port && std::chrono::steady_clock::now() - port->named < kPreparedPortLife;
    if (prepared)
        return DataChannel::WithNamedPort(std::move(port->listener));
    return DataChannel::OpenActive(m_control, m_mode);
}

// The server's port asked for ahead while it is fresh (the command goes
// first, the connection is made while it travels), else EPSV or PASV now;
// the command goes along with EPSV only while pipelining works.
Result<DataChannel> FtpSession::OpenPassive(const std::string& command, bool& prepared)
{
    std::optional<PreparedPassivePort> port = m_preparedPassivePort;
    m_preparedPassivePort.reset();
    prepared = port && std::chrono::steady_clock::now() - port->named < kPreparedPortLife;
    if (prepared)
        return DataChannel::ConnectPassive(m_control, port->port, command);
    return DataChannel::OpenPassive(m_control, m_mode, SendsTogether() ? command : std::string());
}

Result<DataChannel> FtpSession::StartTransferOnce(const std::string& command, Retry& retry)
{
    retry = Retry::No;
    bool prepared = false;
    const bool active = !m_mode.Passive();
    Result<DataChannel> data = active ? OpenActive(prepared) : OpenPassive(command, prepared);
    if (!data) {
        if (active && m_mode.Passive())
            retry = Retry::Passive;  // the server refused active mode
        return data.error();
    }
    int refusal = 0;
    if (const Status started = WaitForStart(*data, command, refusal); !started) {
        if (refusal == 425 && prepared)
            retry = Retry::FreshPort;
        else if (refusal == 425 && data->Active())
            retry = Retry::Passive;
        else if (refusal == 425 && data->CommandSent())
            retry = Retry::CommandAlone;
        return started.error();
    }
    if (const Status secured = SecureData(*data); !secured)
        return secured.error();
    if (m_mode.Value() == DataMode::Step::Epsv)
        m_mode.Change(DataMode::Step::EpsvWorks, "a transfer started through EPSV");
    return data;
}

// Sends command (unless it went out with EPSV) and waits, on the control
// and the data socket together, until both the preliminary reply has come
// and the data connection is made. Servers do these in either order. A
// reply that is already buffered counts as much as one on the socket, and
// every reply that arrives is read, so a readable control socket never
// makes the wait spin: a final reply before the data connection (a 425, or
// even a 2xx) ends the wait as that reply's error, and a closed control
// connection ends it as the lost connection. A waiting data connection is
// taken first, so a quick "150, 226" after a short transfer still counts.
Status FtpSession::WaitForStart(DataChannel& data, const std::string& command, int& refusal)
{
    if (!data.CommandSent())
        if (const Status sent = m_control.Send(command); !sent)
            return sent;
    bool preliminary = false;
    while (!preliminary || !data.Connected()) {
        if (!data.Connected() && data.ListeningFd() >= 0) {
            Result<bool> accepted = data.AcceptWaiting(m_control);
            if (!accepted)
                return accepted.error();
            if (*accepted)
                continue;
        }
        if (m_control.ReplyWaiting() || m_control.Dead()) {
            Result<Reply> reply = m_control.ReadReply();
            if (!reply) {
                m_lastText = reply.error().text;
                return reply.error();
            }
            m_lastText = reply->Text();
            if (reply->Class() != 1) {
                refusal = reply->code;
                return ReplyError(*reply);
            }
            preliminary = true;
            continue;
        }
        if (const Status s = AwaitEvent(data, preliminary, command); !s)
            return s;
    }
    return {};
}

Status FtpSession::AwaitEvent(DataChannel& data, bool preliminary, const std::string& command)
{
    pollfd fds[2] = {{m_control.SocketFd(), POLLIN, 0}, {data.ListeningFd(), POLLIN, 0}};
    const nfds_t count = data.Connected() ? 1 : 2;
    const Millis timeout = m_control.Options().controlReceiveTimeout;
    int rc;
    do {
        rc = poll(fds, count, static_cast<int>(timeout.count()));
    } while (rc < 0 && errno == EINTR);
    if (rc > 0)
        return {};
    const std::string verb = command.substr(0, command.find(' '));
    const std::string what = preliminary ? "the server did not open the data connection for " + verb
                                         : "no reply to " + verb;
    return m_control.KillWith(ERROR_INTERNET_TIMEOUT, what + " (timed out after " + DescribeTimeout(timeout) + ")");
}

Result<std::unique_ptr<Upload>> FtpSession::Store(const std::string& name, bool ascii)
{
    if (const Status ready = Ready(); !ready) {
        m_lastText = ready.error().text;
        return ready.error();
    }
    if (const Status typed = SetType(ascii ? 'A' : 'I'); !typed)
        return typed.error();
    Result<DataChannel> data = StartTransfer("STOR " + name);
    if (!data)
        return data.error();
    m_transferOpen = true;
    return std::make_unique<Upload>(shared_from_this(), std::move(*data), ascii);
}

Result<std::string> FtpSession::ReceiveListing(const std::string& command)
{
    Result<DataChannel> data = StartTransfer(command);
    if (!data)
        return data.error();
    bool truncated = false;
    Result<std::string> text = data->ReceiveAll(m_control.Options().dataReceiveTimeout, kListingLimit, truncated);
    data->Close(DataCloseWait());
    if (!text && text.error().code == ERROR_INTERNET_TIMEOUT)
        return m_control.KillWith(ERROR_INTERNET_TIMEOUT, "the listing did not arrive (" + text.error().text + ")");
    Result<Reply> final = m_control.FinalReply();
    if (!final)
        return final.error();
    m_lastText = final->Text();
    if (!text)
        return text.error();
    if (final->Class() != 2)
        return ReplyError(*final);
    return text;
}

Result<std::vector<RemoteEntry>> FtpSession::Find(const std::string& name)
{
    if (m_features.mlst && !name.empty())
        return FindByMlst(name);
    if (LooksUpBySizeAndTime(name))
        return FindBySizeAndTime(name);
    return FindByList(name);
}

Result<std::vector<RemoteEntry>> FtpSession::FindByMlst(const std::string& name)
{
    Result<Reply> reply = Run("MLST " + name);
    if (!reply)
        return reply.error();
    std::vector<RemoteEntry> found;
    if (reply->Class() != 2)
        return found;
    for (std::size_t i = 1; i + 1 < reply->lines.size(); ++i) {
        if (auto entry = ParseMlstLine(reply->lines[i])) {
            entry->name = name;  // the server may answer with a full path
            found.push_back(std::move(*entry));
            break;
        }
    }
    return found;
}

bool FtpSession::LooksUpBySizeAndTime(const std::string& name) const
{
    return !m_features.mlst && m_features.mdtm && m_features.size && !name.empty() && !StartsWithTimestamp(name);
}

Result<std::vector<RemoteEntry>> FtpSession::FindBySizeAndTime(const std::string& name)
{
    // Servers refuse SIZE in ASCII mode.
    if (const Status typed = SetType('I'); !typed)
        return typed.error();
    // Two independent queries: sent together, one round trip.
    Result<std::vector<Reply>> replies = Exchange({"SIZE " + name, "MDTM " + name});
    if (!replies)
        return replies.error();
    return EntryFromSizeAndTime(name, (*replies)[0], (*replies)[1]);
}

// Not found unless both replies are 213 with a value; the last text is the
// reply that decided.
std::vector<RemoteEntry> FtpSession::EntryFromSizeAndTime(const std::string& name, const Reply& size,
                                                          const Reply& time)
{
    std::vector<RemoteEntry> found;
    const auto bytes = size.code == 213 ? ParseDecimal(size.FirstLineText()) : std::nullopt;
    m_lastText = bytes ? time.Text() : size.Text();
    if (!bytes)
        return found;
    const auto seconds = time.code == 213 ? ParseFtpTime(time.FirstLineText()) : std::nullopt;
    if (!seconds)
        return found;
    RemoteEntry e;
    e.name = name;
    e.size = *bytes;
    e.hasSize = true;
    e.mtime = *seconds;
    e.hasTime = true;
    found.push_back(std::move(e));
    return found;
}

Result<std::vector<RemoteEntry>> FtpSession::FindByList(const std::string& name)
{
    const bool whole = NeedsWholeListing(name);
    Result<std::string> text = ReceiveListing(whole ? "LIST" : "LIST " + name);
    if (!text) {
        if (m_control.Dead())
            return text.error();
        return std::vector<RemoteEntry>{};  // the server refused: not found
    }
    return Named(ParseListing(*text, static_cast<std::int64_t>(std::time(nullptr))), name);
}

Result<std::optional<Reply>> FtpSession::EarlyTransferReply()
{
    if (!m_control.ReplyWaiting())
        return std::optional<Reply>();
    Result<Reply> reply = m_control.FinalReply();
    if (!reply)
        return reply.error();
    return std::optional<Reply>(std::move(*reply));
}

Result<Reply> FtpSession::TransferReply()
{
    return m_control.FinalReply();
}

Status FtpSession::EndTransfer(const Result<Reply>& final)
{
    if (!final)
        return final.error();
    m_lastText = final->Text();
    if (final->Class() != 2)
        return ReplyError(*final);
    m_transferOpen = false;
    return {};
}

void FtpSession::AbandonTransfer(const Error& error)
{
    m_lastText = error.text;
    m_transferOpen = false;
}

Error FtpSession::TransferStalled(const std::string& why)
{
    return m_control.KillWith(ERROR_INTERNET_TIMEOUT, "the data connection stalled (" + why + ")");
}

void FtpSession::Quit()
{
    m_preparedPort.reset();
    m_preparedPassivePort.reset();
    // QUIT's reply is waited for (the server then closes in good order),
    // whatever it says.
    if (!m_control.Dead() && !m_transferOpen && DropAhead())
        static_cast<void>(m_control.Command("QUIT"));
    m_control.Kill(Error{ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The connection is closed."});
}

}  // namespace ftp
