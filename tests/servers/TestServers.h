#pragma once
// Real FTP servers for tests and benchmarks, each started on a free port of
// 127.0.0.1 in a temporary folder of its own and stopped (with its process
// group) when the object goes. Start one per test suite where you can
// (SetUpTestSuite): a start costs a fraction of a second.
//
//   test::PyFtpdServer server;                        // all features
//   test::PyFtpdOptions options;
//   options.mlst = false;                              // no MLST
//   options.mdtm = options.size = false;               // nor MDTM and SIZE
//   options.refuseRenameOverExisting = true;           // RNTO onto a file: 550
//   test::PyFtpdServer plain(options);
//   session.GetFtpConnection(server.Address(), server.User(), server.Password(), 0, passive);
//   ... server.Root() / "www/index.html" is what arrived on disk;
//   server.Commands() lists the commands received so far ("CWD www", "PASS ******").
//
//   if (!test::VsftpdServer::Available()) GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
//   test::VsftpdServer vs;   // anonymous login (empty user), writable folder vs.UploadFolder()
//
// Both servers answer active (EPRT/PORT) and passive (EPSV/PASV) data
// connections. pyftpdlib stores ASCII uploads with LF line ends, vsftpd as
// sent (CRLF). Constructors throw std::runtime_error when a server cannot
// be started (its output is in the message).

#include "tests/support/TempDir.h"

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace test {

// A child process in a process group of its own, ended (SIGTERM, then
// SIGKILL) with the whole group when the object goes.
class ServerProcess {
public:
    // Starts argv[0] (a full path) with output to logPath. Throws on failure.
    ServerProcess(const std::vector<std::string>& argv, const std::string& logPath);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Running();
    void Stop();

private:
    pid_t m_pid = -1;
};

class FtpServer {
public:
    virtual ~FtpServer() = default;

    std::uint16_t Port() const { return m_port; }
    // "127.0.0.1:port": the server text the client takes.
    std::string Address() const;
    std::string User() const { return m_user; }
    std::string Password() const { return m_password; }
    // The folder the server serves; what the client stores lands below it.
    const std::filesystem::path& Root() const { return m_root; }
    // Folder (relative to the login folder) the client may write in: ""
    // for pyftpdlib (the login folder), "pub" for vsftpd.
    std::string UploadFolder() const { return m_uploadFolder; }
    // Where an upload into UploadFolder() lands on disk.
    std::filesystem::path UploadRoot() const { return m_root / m_uploadFolder; }
    // Every command received since the start or the last ClearCommands, in
    // order, as sent (the password as "PASS ******").
    virtual std::vector<std::string> Commands() const = 0;
    void ClearCommands();
    // The server's own temporary folder (configuration, logs, output.log
    // with what the server printed): for diagnosing a failed start or run.
    const std::filesystem::path& Folder() const { return m_dir.path(); }
    // Commands() that begin with prefix (for example "STOR").
    std::vector<std::string> CommandsStartingWith(const std::string& prefix) const;

protected:
    TempDir m_dir{"tessarine-ftpd"};
    std::filesystem::path m_root;
    std::string m_uploadFolder;
    std::uint16_t m_port = 0;
    std::string m_user;
    std::string m_password;
    std::size_t m_skipCommands = 0;  // commands hidden by ClearCommands
};

struct PyFtpdOptions {
    std::string user = "tester";
    std::string password = "secret";
    std::string home;  // login folder below Root() (created); "" = Root()
    bool mlst = true;  // offer MLST/MLSD
    bool mdtm = true;
    bool size = true;
    std::vector<std::string> removeCommands;  // further commands to refuse (e.g. "EPRT")
    bool refuseRenameOverExisting = false;    // RNTO onto an existing name: 550
    bool refuseRename = false;                // every RNTO: 550
    std::string refuseRenameFrom;             // RNTO of a file whose name begins so: 550
    std::string renameReply;                  // every RNTO answered so, e.g. "450 busy"
    int refuseFirstRenames = 0;               // this many first RNTO: 550
    std::string dropOnceOn;                   // the first command beginning so: connection closed unanswered
    std::string refuseRenameOnto;             // RNTO giving this file name: 550
    std::string loginFolder;                  // PWD after login, e.g. "/home/anna" (below Root(), created); "" = "/"
    unsigned uploadBytesPerSecond = 0;        // STOR receives at most this fast; 0: no limit
    std::string tlsCertificate;               // PEM file with key and certificate: FTP over TLS
                                              // (AUTH TLS) demanded for the login and the data
};

class PyFtpdServer : public FtpServer {
public:
    explicit PyFtpdServer(const PyFtpdOptions& options = {});
    std::vector<std::string> Commands() const override;

private:
    std::filesystem::path m_log;
    std::unique_ptr<ServerProcess> m_process;
};

// vsftpd with an anonymous login (user "anonymous" or empty, no password)
// and the writable folder "pub". Needs to run as root (it chroots).
// Without logCommands it logs transfers only, as vsftpd does by default,
// and Commands() is empty (for timing clients).
class VsftpdServer : public FtpServer {
public:
    // extraConfig: lines appended to the configuration (later lines win),
    // for example a passive address and port range.
    explicit VsftpdServer(bool logCommands = true, std::string extraConfig = {});
    static bool Available();
    static std::string WhyUnavailable();
    std::vector<std::string> Commands() const override;

private:
    bool TryStart(std::uint16_t port);
    void WriteConfig(std::uint16_t port) const;

    std::filesystem::path m_log;
    std::filesystem::path m_config;
    bool m_logCommands;
    std::string m_extraConfig;
    std::unique_ptr<ServerProcess> m_process;
};

// A TCP port of 127.0.0.1 that was free a moment ago.
std::uint16_t FreeTcpPort();

}  // namespace test
