#include "tests/servers/TestServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace test {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kStartLimit = std::chrono::seconds(15);
constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr const char* kPython = "/usr/bin/python3";

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ReadLines(const fs::path& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

// True once something accepts on 127.0.0.1:port and sends a first byte.
bool Answers(std::uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_in addr = Loopback(port);
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (ok) {
        timeval tv{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        char c;
        ok = recv(fd, &c, 1, 0) == 1;
    }
    close(fd);
    return ok;
}

std::runtime_error StartFailure(const std::string& what, const fs::path& output)
{
    return std::runtime_error(what + "\n" + ReadText(output));
}

}  // namespace

std::uint16_t FreeTcpPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = Loopback(0);
    socklen_t len = sizeof addr;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("no free TCP port");
    }
    close(fd);
    return ntohs(addr.sin_port);
}

ServerProcess::ServerProcess(const std::vector<std::string>& argv, const std::string& logPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int rc = posix_spawn(&m_pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0]);
}

ServerProcess::~ServerProcess()
{
    Stop();
}

// The child is never reaped before Stop: while it is unreaped (running or
// a zombie) its pid, and so its process group, cannot be given to another
// process, so signalling the group can never reach a stranger.
bool ServerProcess::Running()
{
    if (m_pid <= 0)
        return false;
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;  // reaped elsewhere: nothing to say about it
    return info.si_pid == 0;
}

void ServerProcess::Stop()
{
    if (m_pid <= 0)
        return;
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        m_pid = -1;  // someone else reaped it: its group id may be reused
        return;
    }
    kill(-m_pid, SIGTERM);
    const auto limit = Clock::now() + std::chrono::seconds(3);
    while (Running() && Clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Session processes of the group may outlive their parent.
    kill(-m_pid, SIGKILL);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
}

std::string FtpServer::Address() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

void FtpServer::ClearCommands()
{
    m_skipCommands = 0;
    m_skipCommands = Commands().size();
}

std::vector<std::string> FtpServer::CommandsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& c : Commands())
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c);
    return out;
}

PyFtpdServer::PyFtpdServer(const PyFtpdOptions& options)
{
    m_user = options.user;
    m_password = options.password;
    m_root = m_dir.path() / "root";
    m_log = m_dir.path() / "commands.log";
    fs::create_directories(m_root / options.home);
    const fs::path portFile = m_dir.path() / "port";
    const fs::path output = m_dir.path() / "output.log";

    std::vector<std::string> removed = options.removeCommands;
    if (!options.mlst)
        removed.push_back("MLST");
    if (!options.mdtm)
        removed.push_back("MDTM");
    if (!options.size)
        removed.push_back("SIZE");
    std::string removeArg;
    for (const std::string& c : removed)
        removeArg += (removeArg.empty() ? "" : ",") + c;

    std::vector<std::string> argv = {kPython, TESSARINE_PYFTPD_SCRIPT, "--root", m_root.string(),
                                     "--port-file", portFile.string(), "--log", m_log.string(),
                                     "--user", m_user, "--password", m_password, "--home", options.home,
                                     "--remove", removeArg};
    if (options.refuseRenameOverExisting)
        argv.push_back("--refuse-rename-over-existing");
    if (options.refuseRename)
        argv.push_back("--refuse-rename");
    if (!options.refuseRenameFrom.empty()) {
        argv.push_back("--refuse-rename-from");
        argv.push_back(options.refuseRenameFrom);
    }
    if (options.refuseFirstRenames > 0) {
        argv.push_back("--refuse-first-renames");
        argv.push_back(std::to_string(options.refuseFirstRenames));
    }
    if (!options.dropOnceOn.empty()) {
        argv.push_back("--drop-once-on");
        argv.push_back(options.dropOnceOn);
    }
    if (!options.renameReply.empty()) {
        argv.push_back("--rename-reply");
        argv.push_back(options.renameReply);
    }
    if (!options.refuseRenameOnto.empty())
        argv.insert(argv.end(), {"--refuse-rename-onto", options.refuseRenameOnto});
    if (!options.loginFolder.empty()) {
        fs::create_directories(m_root / options.loginFolder.substr(1));
        argv.push_back("--login-folder");
        argv.push_back(options.loginFolder);
    }
    if (options.uploadBytesPerSecond > 0) {
        argv.push_back("--upload-limit");
        argv.push_back(std::to_string(options.uploadBytesPerSecond));
    }
    if (!options.tlsCertificate.empty())
        argv.insert(argv.end(), {"--tls-certificate", options.tlsCertificate});
    m_process = std::make_unique<ServerProcess>(argv, output.string());

    const auto limit = Clock::now() + kStartLimit;
    while (!fs::exists(portFile)) {
        if (!m_process->Running() || Clock::now() > limit)
            throw StartFailure("pyftpdlib did not start", output);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_port = static_cast<std::uint16_t>(std::stoi(ReadText(portFile)));
}

std::vector<std::string> PyFtpdServer::Commands() const
{
    std::vector<std::string> lines = ReadLines(m_log);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(m_skipCommands, lines.size())));
    return lines;
}

bool VsftpdServer::Available()
{
    return WhyUnavailable().empty();
}

std::string VsftpdServer::WhyUnavailable()
{
    if (access(kVsftpd, X_OK) != 0)
        return std::string(kVsftpd) + " is not installed";
    if (geteuid() != 0)
        return "vsftpd needs root for its anonymous area";
    return {};
}

VsftpdServer::VsftpdServer(bool logCommands, std::string extraConfig)
    : m_logCommands(logCommands), m_extraConfig(std::move(extraConfig))
{
    if (!Available())
        throw std::runtime_error(WhyUnavailable());
    m_user = "anonymous";
    m_uploadFolder = "pub";
    m_root = m_dir.path() / "root";
    m_log = m_dir.path() / "vsftpd.log";
    m_config = m_dir.path() / "vsftpd.conf";
    // vsftpd refuses a writable anonymous root: the root is root's, 0755;
    // only pub is open to the anonymous user.
    fs::create_directories(m_root / m_uploadFolder);
    fs::create_directories(m_dir.path() / "empty");
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& p : {m_dir.path(), m_root, m_dir.path() / "empty"})
        fs::permissions(p, open, fs::perm_options::replace);
    fs::permissions(m_root / m_uploadFolder, fs::perms::all, fs::perm_options::replace);

    for (int attempt = 0; attempt < 5; ++attempt)
        if (TryStart(FreeTcpPort()))
            return;
    throw StartFailure("vsftpd did not start", m_dir.path() / "output.log");
}

bool VsftpdServer::TryStart(std::uint16_t port)
{
    WriteConfig(port);
    m_process = std::make_unique<ServerProcess>(std::vector<std::string>{kVsftpd, m_config.string()},
                                                (m_dir.path() / "output.log").string());
    const auto limit = Clock::now() + kStartLimit;
    while (m_process->Running() && Clock::now() < limit) {
        if (Answers(port)) {
            m_port = port;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_process.reset();
    return false;
}

void VsftpdServer::WriteConfig(std::uint16_t port) const
{
    std::ofstream out(m_config, std::ios::trunc);
    out << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
        << "listen_port=" << port << "\n"
        << "background=NO\n"
        << "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\n"
        << "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
        << "anon_other_write_enable=YES\nanon_umask=022\n"
        << "anon_root=" << m_root.string() << "\n"
        << "secure_chroot_dir=" << (m_dir.path() / "empty").string() << "\n"
        << "seccomp_sandbox=NO\n"
        // Passive ports below the system's ephemeral range: a busy machine
        // holds thousands of those in TIME_WAIT, and vsftpd gives up when
        // it cannot bind one.
        << "pasv_enable=YES\npasv_min_port=20000\npasv_max_port=29999\n"
        << "port_enable=YES\nconnect_from_port_20=NO\n"
        << "xferlog_enable=YES\nxferlog_std_format=NO\n"
        << "log_ftp_protocol=" << (m_logCommands ? "YES" : "NO") << "\n"
        << "vsftpd_log_file=" << m_log.string() << "\n"
        << "syslog_enable=NO\nuse_localtime=NO\n"
        << "max_clients=100\nmax_per_ip=100\n"
        << m_extraConfig;
}

std::vector<std::string> VsftpdServer::Commands() const
{
    // Lines look like: ... FTP command: Client "127.0.0.1", "CWD pub"
    static const std::string marker = "FTP command: Client \"";
    std::vector<std::string> commands;
    for (const std::string& line : ReadLines(m_log)) {
        const std::size_t at = line.find(marker);
        if (at == std::string::npos)
            continue;
        const std::size_t open = line.find(", \"", at + marker.size());
        if (open == std::string::npos || line.size() < open + 4)
            continue;
        commands.push_back(line.substr(open + 3, line.size() - open - 4));
    }
    commands.erase(commands.begin(),
                   commands.begin() + static_cast<std::ptrdiff_t>(std::min(m_skipCommands, commands.size())));
    return commands;
}

}  // namespace test
