#include "platform/ftp/FtpSession.h"

#include "platform/ftp/ListingParser.h"
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

FtpSession::FtpSession(ControlChannel control, bool passive) : m_control(std::move(control)), m_passive(passive)
{
}

Result<std::shared_ptr<FtpSession>> FtpSession::Open(const ServerAddress& server, const LoginData& login,
                                                     bool passive, const SessionOptions& options, TraceSink trace)
{
    Result<Fd> fd = ConnectToServer(server, options, trace);
    if (!fd)
        return fd.error();
    std::shared_ptr<FtpSession> session(
        new FtpSession(ControlChannel(std::move(*fd), server.Name(), options, std::move(trace)), passive));
    if (const Status s = session->Login(login); !s)
        return s.error();
    if (const Status s = session->ReadFeatures(); !s)
        return s.error();
    return session;
}

Status FtpSession::Login(const LoginData& login)
{
    Result<Reply> greeting = m_control.FinalReply();
    if (!greeting)
        return greeting.error();
    if (greeting->Class() != 2)
        return ReplyError(*greeting);
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
    return {};
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
    m_lookedUp.reset();
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
    Result<Reply> reply = m_control.Command(command);
    m_lastText = reply ? reply->Text() : reply.error().text;
    return reply;
}

// The last text is the reply to the last command, or the error; callers set
// it to an earlier reply's text when that one decided.
Result<std::vector<Reply>> FtpSession::RunBatch(const std::vector<std::string>& commands)
{
    if (const Status ready = Ready(); !ready) {
        m_lastText = ready.error().text;
        return ready.error();
    }
    Result<std::vector<Reply>> replies = m_control.CommandBatch(commands);
    m_lastText = replies ? replies->back().Text() : replies.error().text;
    return replies;
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
    return true;
}

// RNFR and RNTO go out together, saving a round trip per rename. After a
// refused RNFR the server answers RNTO with 503 (no rename is pending: every
// RNFR this client sends has its RNTO right behind it), which is read and
// set aside, so the refusal is reported as before.
bool FtpSession::Rename(const std::string& from, const std::string& to, bool transferFollows)
{
    const Result<std::vector<Reply>> replies = RunBatchNamingPort({"RNFR " + from, "RNTO " + to}, transferFollows);
    return replies && Renamed((*replies)[0], (*replies)[1]);
}

// A listening socket whose port is worth naming now for a transfer to come.
std::optional<Fd> FtpSession::PortToName(bool transferFollows)
{
    if (!transferFollows || m_passive || !m_modes.eprtWorks || m_preparedPort)
        return std::nullopt;
    Result<Fd> listener = DataChannel::ListenForServer(m_control);
    if (!listener)
        return std::nullopt;
    return std::move(*listener);
}

// RunBatch, with the EPRT of a prepared port behind the commands when
// transferFollows allows one. EPRT changes nothing the earlier commands
// did, whatever their outcome; its reply is read and taken off the list.
Result<std::vector<Reply>> FtpSession::RunBatchNamingPort(std::vector<std::string> commands, bool transferFollows)
{
    std::optional<Fd> listener = PortToName(transferFollows);
    if (listener)
        commands.push_back(DataChannel::EprtFor(*listener));
    Result<std::vector<Reply>> replies = RunBatch(commands);
    if (!replies || !listener)
        return replies;
    if (replies->back().Class() == 2)
        m_preparedPort = PreparedPort{std::move(*listener), std::chrono::steady_clock::now()};
    replies->pop_back();
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
// so sending it ahead changes nothing but the waiting.
bool FtpSession::RenameAndLookUp(const std::string& from, const std::string& to, bool transferFollows)
{
    if (!LooksUpBySizeAndTime(to) || m_type != 'I')
        return Rename(from, to, transferFollows);
    const Result<std::vector<Reply>> replies =
        RunBatchNamingPort({"RNFR " + from, "RNTO " + to, "SIZE " + to, "MDTM " + to}, transferFollows);
    if (!replies)
        return false;
    const std::vector<Reply>& r = *replies;
    LookedUp ahead{to, EntryFromSizeAndTime(to, r[2], r[3]), m_lastText};
    const bool renamed = Renamed(r[0], r[1]);
    m_lookedUp = std::move(ahead);
    return renamed;
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
    m_control.Note("* passive mode from now on: " + why);
    m_passive = true;
    m_preparedPort.reset();
}

Result<DataChannel> FtpSession::StartTransfer(const std::string& command)
{
    if (const Status ready = Ready(); !ready)
        return ready.error();
    // Each kind of retry can happen once: what it answers is gone after it.
    Retry retry = Retry::No;
    Result<DataChannel> started = StartTransferOnce(command, retry);
    for (int retries = 0; !started && retry != Retry::No && retries < 3; ++retries) {
        if (retry == Retry::Passive)
            SwitchToPassive(started.error().text);
        if (retry == Retry::CommandAlone) {
            m_control.Note("* transfer commands no longer sent along with EPSV: " + started.error().text);
            m_modes.epsvWorks = false;
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
    return DataChannel::OpenActive(m_control, m_modes);
}

Result<DataChannel> FtpSession::StartTransferOnce(const std::string& command, Retry& retry)
{
    retry = Retry::No;
    bool prepared = false;
    Result<DataChannel> data =
        m_passive ? DataChannel::OpenPassive(m_control, m_modes, command) : OpenActive(prepared);
    if (!data) {
        if (!m_passive && m_modes.activeRefused)
            retry = Retry::Passive;
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
    if (m_passive && !m_modes.epsvRefused)
        m_modes.epsvWorks = true;
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
    Result<std::string> text = data->ReceiveAll(m_control.Options().dataReceiveTimeout, kListingLimit);
    data->Close();
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
    if (m_lookedUp) {
        LookedUp ahead = std::move(*m_lookedUp);
        m_lookedUp.reset();
        if (ahead.name == name) {
            m_lastText = ahead.lastText;
            return std::move(ahead.found);
        }
    }
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
    Result<std::vector<Reply>> replies = RunBatch({"SIZE " + name, "MDTM " + name});
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

void FtpSession::Quit()
{
    m_lookedUp.reset();
    m_preparedPort.reset();
    if (!m_control.Dead() && !m_transferOpen)
        m_control.Command("QUIT");
    m_control.Kill(Error{ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The connection is closed."});
}

}  // namespace ftp
