#include "tests/servers/TlsServers.h"

#include "tests/support/Program.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <thread>

namespace test {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kOpenssl = "/usr/bin/openssl";
constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kStartLimit = std::chrono::seconds(15);

void MustRun(const std::vector<std::string>& argv)
{
    const ProgramResult r = RunProgram(argv);
    if (r.status != 0)
        throw std::runtime_error(argv[0] + " " + argv[1] + " failed: " + r.err);
}

// True once something accepts TCP connections on 127.0.0.1:port (an
// implicit-TLS server says nothing before the client's hello).
bool Accepts(std::uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

PyFtpdOptions WithCertificate(PyFtpdOptions options, const TestCertificate& certificate)
{
    options.tlsCertificate = certificate.CombinedPath();
    return options;
}

}  // namespace

TestCertificate::TestCertificate(const std::string& commonName, const std::vector<std::string>& altNames)
{
    std::string san = "subjectAltName=";
    for (std::size_t i = 0; i < altNames.size(); ++i)
        san += (i ? "," : "") + altNames[i];
    // An EC key: made in milliseconds where RSA takes a noticeable while.
    MustRun({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-keyout", KeyPath(), "-out", CertPath(), "-days", "2", "-subj", "/CN=" + commonName, "-addext", san});
    WriteFile(CombinedPath(), ReadFile(KeyPath()) + ReadFile(CertPath()));
    const ProgramResult r = RunProgram({kOpenssl, "x509", "-in", CertPath(), "-noout", "-fingerprint", "-sha256"});
    const std::size_t equals = r.out.find('=');
    if (r.status != 0 || equals == std::string::npos)
        throw std::runtime_error("openssl x509 -fingerprint failed: " + r.err);
    m_fingerprint = r.out.substr(equals + 1, r.out.find_last_not_of("\r\n") - equals);
}

VsftpdTlsServer::VsftpdTlsServer(const TestCertificate& certificate, TlsMode mode, std::string extraConfig)
    : m_mode(mode), m_extraConfig(std::move(extraConfig))
{
    if (!VsftpdServer::Available())
        throw std::runtime_error(VsftpdServer::WhyUnavailable());
    m_user = "anonymous";
    m_uploadFolder = "pub";
    m_root = m_dir.path() / "root";
    m_log = m_dir.path() / "vsftpd.log";
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
        if (TryStart(certificate, FreeTcpPort()))
            return;
    throw std::runtime_error("vsftpd with TLS did not start\n" + ReadFile(m_dir.file("output.log")));
}

bool VsftpdTlsServer::TryStart(const TestCertificate& certificate, std::uint16_t port)
{
    const std::string config = m_dir.file("vsftpd.conf");
    {
        std::ofstream out(config, std::ios::trunc);
        out << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port << "\n"
            << "background=NO\n"
            << "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\n"
            << "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
            << "anon_other_write_enable=YES\nanon_umask=022\n"
            << "anon_root=" << m_root.string() << "\n"
            << "secure_chroot_dir=" << (m_dir.path() / "empty").string() << "\n"
            << "seccomp_sandbox=NO\n"
            << "pasv_enable=YES\npasv_min_port=20000\npasv_max_port=29999\n"
            << "port_enable=YES\nconnect_from_port_20=NO\n"
            << "xferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\n"
            << "vsftpd_log_file=" << m_log.string() << "\n"
            << "syslog_enable=NO\nuse_localtime=NO\nmax_clients=100\nmax_per_ip=100\n"
            // TLS for the login and every data connection, each data
            // connection resuming the control connection's session; a
            // client certificate asked for (the default) but not needed.
            << "ssl_enable=YES\nallow_anon_ssl=YES\n"
            << "force_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n"
            << "require_ssl_reuse=YES\nssl_request_cert=YES\nrequire_cert=NO\nvalidate_cert=NO\n"
            << "ssl_tlsv1=YES\nssl_sslv2=NO\nssl_sslv3=NO\nssl_ciphers=HIGH\ndebug_ssl=YES\n"
            << "rsa_cert_file=" << certificate.CertPath() << "\n"
            << "rsa_private_key_file=" << certificate.KeyPath() << "\n"
            << "implicit_ssl=" << (m_mode == TlsMode::Implicit ? "YES" : "NO") << "\n"
            << m_extraConfig;
    }
    m_process = std::make_unique<ServerProcess>(std::vector<std::string>{kVsftpd, config}, m_dir.file("output.log"));
    const auto limit = Clock::now() + kStartLimit;
    while (m_process->Running() && Clock::now() < limit) {
        if (Accepts(port)) {
            m_port = port;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_process.reset();
    return false;
}

std::vector<std::string> VsftpdTlsServer::Commands() const
{
    // Lines look like: ... FTP command: Client "127.0.0.1", "CWD pub"
    static const std::string marker = "FTP command: Client \"";
    std::vector<std::string> commands;
    for (const std::string& line : Lines(ReadFile(m_log.string()))) {
        const std::size_t at = line.find(marker);
        const std::size_t open = at == std::string::npos ? at : line.find(", \"", at + marker.size());
        if (open != std::string::npos && line.size() >= open + 4)
            commands.push_back(line.substr(open + 3, line.size() - open - 4));
    }
    commands.erase(commands.begin(),
                   commands.begin() + static_cast<std::ptrdiff_t>(std::min(m_skipCommands, commands.size())));
    return commands;
}

std::string VsftpdTlsServer::Url() const
{
    return (m_mode == TlsMode::Implicit ? "ftps://" : "ftpes://") + Address();
}

PyFtpdTlsServer::PyFtpdTlsServer(const TestCertificate& certificate, PyFtpdOptions options)
    : PyFtpdServer(WithCertificate(std::move(options), certificate))
{
}

TlsPeer::TlsPeer(const TestCertificate& certificate, const std::string& behaviour, const std::string& maxVersion)
{
    const std::string portFile = m_dir.file("port");
    const std::string output = m_dir.file("output.log");
    m_process = std::make_unique<ServerProcess>(
        std::vector<std::string>{kPython, TESSARINE_TLS_PEER_SCRIPT, "--cert", certificate.CertPath(), "--key",
                                 certificate.KeyPath(), "--port-file", portFile, "--log", m_dir.file("peer.log"),
                                 "--behaviour", behaviour, "--max-version", maxVersion},
        output);
    const auto limit = Clock::now() + kStartLimit;
    while (!fs::exists(portFile)) {
        if (!m_process->Running() || Clock::now() > limit)
            throw std::runtime_error("tls_peer.py did not start\n" + ReadFile(output));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_port = static_cast<std::uint16_t>(std::stoi(ReadFile(portFile)));
}

std::vector<std::string> TlsPeer::Log() const
{
    return Lines(ReadFile(m_dir.file("peer.log")));
}

}  // namespace test
