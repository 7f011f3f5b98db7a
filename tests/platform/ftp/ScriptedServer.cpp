#include "tests/platform/ftp/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <stdexcept>

namespace test {

namespace {

struct ScriptFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A numeric IPv4 or IPv6 address with a port.
sockaddr_storage Address(const std::string& host, std::uint16_t port, socklen_t& length)
{
    sockaddr_storage storage{};
    if (host.find(':') != std::string::npos) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        inet_pton(AF_INET6, host.c_str(), &a->sin6_addr);
        length = sizeof(sockaddr_in6);
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        inet_pton(AF_INET, host.c_str(), &a->sin_addr);
        length = sizeof(sockaddr_in);
    }
    return storage;
}

std::uint16_t PortOf(const sockaddr_storage& s)
{
    return ntohs(s.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&s)->sin6_port
                                         : reinterpret_cast<const sockaddr_in*>(&s)->sin_port);
}

int ListenOn(const std::string& host, std::uint16_t& port)
{
    socklen_t len = 0;
    sockaddr_storage a = Address(host, 0, len);
    const int fd = socket(a.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(fd);
        throw std::runtime_error("scripted server: cannot listen on " + host);
    }
    port = PortOf(a);
    return fd;
}

bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(ScriptedSession::kWait.count())) > 0;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// The host and port an "EPRT |1|h|p|" or "PORT h1,h2,h3,h4,p1,p2" names.
std::pair<std::string, std::uint16_t> PortTarget(const std::string& command)
{
    if (command.rfind("EPRT ", 0) == 0) {
        const char d = command[5];
        const std::size_t a = command.find(d, 6), b = command.find(d, a + 1), c = command.find(d, b + 1);
        return {command.substr(a + 1, b - a - 1), static_cast<std::uint16_t>(std::stoi(command.substr(b + 1, c - b - 1)))};
    }
    std::vector<int> n;
    std::size_t at = 5;
    while (at < command.size()) {
        const std::size_t comma = command.find(',', at);
        n.push_back(std::stoi(command.substr(at, comma - at)));
        at = comma == std::string::npos ? command.size() : comma + 1;
    }
    if (n.size() != 6)
        throw ScriptFailure("bad PORT command: " + command);
    return {std::to_string(n[0]) + "." + std::to_string(n[1]) + "." + std::to_string(n[2]) + "." + std::to_string(n[3]),
            static_cast<std::uint16_t>(n[4] * 256 + n[5])};
}

}  // namespace

void ScriptedSession::Fail(const std::string& what)
{
    throw ScriptFailure(what);
}

bool ScriptedSession::SendChunks(const std::string& bytes)
{
    std::minstd_rand random(m_seed++);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min<std::size_t>(1 + random() % 7, bytes.size() - at);
        if (send(m_control, bytes.data() + at, n, MSG_NOSIGNAL) != static_cast<ssize_t>(n))
            return false;
        at += n;
        if (bytes.size() < 4096)
            usleep(50);
    }
    return true;
}

void ScriptedSession::Reply(const std::string& text)
{
    if (!SendChunks(text + "\r\n"))
        Fail("cannot send a reply");
}

void ScriptedSession::Raw(const std::string& bytes)
{
    if (!SendChunks(bytes))
        Fail("cannot send a reply");
}

void ScriptedSession::Whole(const std::string& bytes)
{
    if (send(m_control, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
        Fail("cannot send a reply");
}

bool ScriptedSession::CommandComes()
{
    return m_pending.find("\r\n") != std::string::npos || Readable(m_control);
}

void ScriptedSession::TryConnectActive(const std::string& portCommand)
{
    try {
        ConnectActive(portCommand);
    } catch (const ScriptFailure&) {
        CloseFd(m_data);
    }
}

void ScriptedSession::Offer(const std::string& bytes)
{
    SendChunks(bytes);
}

std::string ScriptedSession::Read()
{
    for (;;) {
        const std::size_t end = m_pending.find("\r\n");
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 2);
            std::lock_guard<std::mutex> lock(*m_mutex);
            m_commands->push_back(line);
            return line;
        }
        char buffer[4096];
        if (!Readable(m_control))
            Fail("no command came");
        const ssize_t n = recv(m_control, buffer, sizeof buffer, 0);
        if (n <= 0)
            Fail("the client closed the control connection");
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string ScriptedSession::ReadDroppingTheRest()
{
    const std::string first = Read();
    for (;;) {
        pollfd p{m_control, POLLIN, 0};
        if (m_pending.empty() && poll(&p, 1, 200) <= 0)
            break;
        if (m_pending.find("\r\n") == std::string::npos) {
            char buffer[4096];
            const ssize_t n = recv(m_control, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            m_pending.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        const std::size_t end = m_pending.find("\r\n");
        std::lock_guard<std::mutex> lock(*m_mutex);
        m_commands->push_back("dropped: " + m_pending.substr(0, end));
        m_pending.erase(0, end + 2);
    }
    return first;
}

void ScriptedSession::AcceptNextControl()
{
    // The old connection stays open until the new one came: the client
    // must give it up on its own.
    if (!Readable(m_serverListen))
        Fail("the client did not connect again");
    CloseFd(m_control);
    m_pending.clear();
    m_control = accept4(m_serverListen, nullptr, nullptr, SOCK_CLOEXEC);
    const int one = 1;
    setsockopt(m_control, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void ScriptedSession::Login()
{
    Reply("220 Scripted server ready.");
    Read();
    Reply("331 Password required.");
    Read();
    Reply("230 Logged in.");
    Read();
    Reply("502 FEAT not implemented.");
}

void ScriptedSession::LoginOffering(const std::string& features)
{
    Reply("220 Ready.");
    Read();
    Reply("331 Password required.");
    Read();
    Reply("230 Logged in.");
    Read();
    Raw("211-Features:\r\n" + features + "211 End\r\n");
}

std::uint16_t ScriptedSession::ListenPassive()
{
    CloseFd(m_listen);
    std::uint16_t port = 0;
    m_listen = ListenOn(m_host, port);
    return port;
}

void ScriptedSession::AcceptData()
{
    if (!Readable(m_listen))
        Fail("the client did not open the data connection");
    CloseFd(m_data);
    m_data = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
}

void ScriptedSession::ConnectActive(const std::string& portCommand, const char* from)
{
    const auto [host, port] = PortTarget(portCommand);
    CloseFd(m_data);
    socklen_t localLength = 0, targetLength = 0;
    sockaddr_storage local = Address(host.find(':') != std::string::npos ? "::1" : from, 0, localLength);
    sockaddr_storage target = Address(host, port, targetLength);
    m_data = socket(target.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (bind(m_data, reinterpret_cast<sockaddr*>(&local), localLength) != 0 ||
        connect(m_data, reinterpret_cast<sockaddr*>(&target), targetLength) != 0)
        Fail("cannot connect to the client's port");
}

bool ScriptedSession::DataClosedByClient()
{
    char c;
    return Readable(m_data) && recv(m_data, &c, 1, 0) <= 0;
}

std::string ScriptedSession::ReceiveSomeData(std::size_t n)
{
    std::string data;
    char buffer[65536];
    while (data.size() < n) {
        if (!Readable(m_data))
            Fail("no data came");
        const ssize_t got = recv(m_data, buffer, std::min(sizeof buffer, n - data.size()), 0);
        if (got <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return data;
}

std::string ScriptedSession::ReceiveData()
{
    std::string data;
    for (;;) {
        const std::string more = ReceiveSomeData(65536);
        if (more.empty())
            return data;
        data += more;
    }
}

void ScriptedSession::SendData(const std::string& bytes)
{
    if (send(m_data, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
        Fail("cannot send data");
}

void ScriptedSession::CloseData()
{
    CloseFd(m_data);
}

void ScriptedSession::CloseControl()
{
    CloseFd(m_control);
}

void TableScript::operator()(ScriptedSession& s)
{
    s.LoginOffering(features);
    for (;;) {
        const std::string command = s.Read();
        if (command == "QUIT") {
            s.Reply("221 Goodbye.");
            return;
        }
        Answer(s, command);
    }
}

void TableScript::Answer(ScriptedSession& s, const std::string& command)
{
    auto exact = replies.find(command);
    if (exact != replies.end() && !exact->second.empty()) {
        s.Reply(exact->second.front());
        exact->second.pop_front();
        return;
    }
    const std::string verb = command.substr(0, command.find(' '));
    if (verb == "EPSV") {
        s.Reply("229 Entering Extended Passive Mode (|||" + std::to_string(s.ListenPassive()) + "|)");
    } else if (verb == "STOR") {
        s.AcceptData();
        s.Reply("150 Ok to send data.");
        s.ReceiveData();
        s.Reply("226 Transfer complete.");
    } else {
        static const std::map<std::string, std::string> defaults = {
            {"PWD", "257 \"/\" is the current directory."}, {"CWD", "250 Directory changed."},
            {"TYPE", "200 Binary."}, {"MKD", "257 Created."}, {"RNFR", "350 Ready for RNTO."},
            {"RNTO", "250 Renamed."}, {"DELE", "250 Deleted."}, {"SIZE", "550 No such file."},
            {"MDTM", "550 No such file."}};
        const auto d = defaults.find(verb);
        s.Reply(d != defaults.end() ? d->second : "502 Not in the table.");
    }
}

bool ScriptedServer::CanListenOn(const std::string& host)
{
    try {
        std::uint16_t port = 0;
        close(ListenOn(host, port));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

ScriptedServer::ScriptedServer(Script script, std::string host) : m_host(std::move(host))
{
    m_listen = ListenOn(m_host, m_port);
    m_thread = std::thread([this, s = std::move(script)] { Run(s); });
}

ScriptedServer::~ScriptedServer()
{
    Finish();
}

std::string ScriptedServer::Address() const
{
    const bool v6 = m_host.find(':') != std::string::npos;
    return (v6 ? "[" + m_host + "]" : m_host) + ":" + std::to_string(m_port);
}

void ScriptedServer::Run(Script script)
{
    ScriptedSession s;
    s.m_host = m_host;
    s.m_commands = &m_commands;
    s.m_mutex = &m_mutex;
    s.m_serverListen = m_listen;
    try {
        if (!Readable(m_listen))
            throw ScriptFailure("the client did not connect");
        s.m_control = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        const int one = 1;
        setsockopt(s.m_control, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        script(s);
        // Whatever the client still says, until it closes.
        while (s.m_control >= 0) {
            const std::string line = s.Read();
            s.Reply(line == "QUIT" ? "221 Goodbye." : "502 Not in the script.");
        }
    } catch (const ScriptFailure& e) {
        const std::string what = e.what();
        if (what != "the client closed the control connection") {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failures.push_back(what);
        }
    }
    CloseFd(s.m_data);
    CloseFd(s.m_listen);
    CloseFd(s.m_control);
}

void ScriptedServer::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    CloseFd(m_listen);
}

std::vector<std::string> ScriptedServer::Commands()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

std::vector<std::string> ScriptedServer::Failures()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failures;
}

}  // namespace test
