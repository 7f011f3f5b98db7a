// The TLS test servers start and demand TLS (checked with curl), and our
// transport carries a real FTP dialogue with vsftpd, whose data connections
// must resume the control connection's session.

#include "platform/ftp/ReplyReader.h"
#include "platform/ftp/TlsTransport.h"
#include "tests/servers/TlsServers.h"
#include "tests/support/Program.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

namespace {

using ftp::Millis;
using ftp::TlsTransport;

constexpr Millis kTimeout{10000};
constexpr const char* kCurl = "/usr/bin/curl";

ftp::Fd ConnectLoopback(std::uint16_t port)
{
    ftp::SocketAddress address;
    auto* in = reinterpret_cast<sockaddr_in*>(&address.storage);
    in->sin_family = AF_INET;
    in->sin_port = htons(port);
    in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.length = sizeof(sockaddr_in);
    ftp::Result<ftp::Fd> fd = ftp::ConnectTo(address, kTimeout);
    if (!fd)
        throw std::runtime_error("cannot connect: " + fd.error().text);
    return std::move(*fd);
}

// curl's URL for a server: ftp:// with --ssl-reqd for explicit TLS, ftps://
// for implicit.
std::vector<std::string> Curl(const std::string& scheme, const test::FtpServer& server,
                              const std::vector<std::string>& more)
{
    std::vector<std::string> argv = {kCurl, "-s", "-S", "-k", "--max-time", "20"};
    if (scheme == "ftp")
        argv.push_back("--ssl-reqd");
    argv.insert(argv.end(), more.begin(), more.end());
    argv.push_back(scheme + "://" + server.Address() + "/" + server.UploadFolder() +
                   (server.UploadFolder().empty() ? "" : "/") + "hello.txt");
    return argv;
}

class FtpOverTls {
public:
    explicit FtpOverTls(std::unique_ptr<ftp::Transport> transport) : m_transport(std::move(transport)) {}

    ftp::Reply Read()
    {
        ftp::Reply reply;
        std::string error;
        char buffer[4096];
        while (m_reader.Next(reply, error) == ftp::ReplyReader::State::NeedMore) {
            const auto got = m_transport->Receive(buffer, sizeof buffer, kTimeout);
            if (!got || *got == 0)
                throw std::runtime_error("control connection: " + (got ? "ended" : got.error().text));
            m_reader.Feed(std::string_view(buffer, *got));
        }
        return reply;
    }
    ftp::Reply Command(const std::string& command)
    {
        const std::string line = command + "\r\n";
        if (!m_transport->Send(line.data(), line.size(), kTimeout))
            throw std::runtime_error("cannot send " + command);
        return Read();
    }
    void StartTls(std::shared_ptr<ftp::TlsContext> context)
    {
        auto* plain = static_cast<ftp::PlainTransport*>(m_transport.get());
        auto tls = TlsTransport::Handshake(std::move(context), ftp::Fd(dup(plain->SocketFd())),
                                           TlsTransport::Role::Control, kTimeout);
        if (!tls)
            throw std::runtime_error(tls.error().text);
        m_transport = std::move(*tls);
    }
    ftp::Transport& Transport() { return *m_transport; }

private:
    std::unique_ptr<ftp::Transport> m_transport;
    ftp::ReplyReader m_reader;
};

std::uint16_t EpsvPort(const ftp::Reply& reply)
{
    const std::string text = reply.FirstLineText();
    const std::size_t open = text.find("(|||");
    return static_cast<std::uint16_t>(std::stoi(text.substr(open + 4)));
}

class TlsServersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_cert = new test::TestCertificate(); }
    static void TearDownTestSuite()
    {
        delete s_cert;
        s_cert = nullptr;
    }
    static test::TestCertificate* s_cert;
};

test::TestCertificate* TlsServersTest::s_cert = nullptr;

// pyftpdlib logs in over TLS and refuses a login without it. (curl secures
// a data connection before it sends the transfer command, which pyftpdlib
// does not take: the upload is UploadThreeFiles's.)
TEST_F(TlsServersTest, PyftpdlibDemandsTlsForTheLogin)
{
    test::PyFtpdTlsServer server(*s_cert);
    test::WriteFile((server.Root() / "hello.txt").string(), "hello\n");
    const std::string user = server.User() + ":" + server.Password();
    const test::ProgramResult head = test::RunProgram(Curl("ftp", server, {"-I", "--user", user}));
    EXPECT_EQ(head.status, 0) << head.err;
    EXPECT_NE(head.out.find("Content-Length: 6"), std::string::npos) << head.out;
    const std::vector<std::string> commands = server.Commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0].rfind("AUTH ", 0), 0u);
    EXPECT_NE(std::find(commands.begin(), commands.end(), "PROT P"), commands.end());
    std::vector<std::string> plain = Curl("ftp", server, {"-I", "--user", user});
    plain.erase(std::find(plain.begin(), plain.end(), std::string("--ssl-reqd")));
    const test::ProgramResult refused = test::RunProgram(plain);
    EXPECT_NE(refused.status, 0);
}

// vsftpd takes an upload over TLS, explicit and implicit, refuses a client
// that will not speak it, and logs the TLS commands it was sent.
TEST_F(TlsServersTest, VsftpdDemandsAndSpeaksTls)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    struct Case {
        std::string name;
        std::function<std::unique_ptr<test::FtpServer>()> start;
        std::string scheme;  // curl's
        std::vector<std::string> tlsCommands;
    };
    const std::vector<Case> cases = {
        {"vsftpd explicit",
         [] { return std::make_unique<test::VsftpdTlsServer>(*s_cert, test::TlsMode::Explicit); }, "ftp",
         {"AUTH", "PBSZ 0", "PROT P"}},
        {"vsftpd implicit",
         [] { return std::make_unique<test::VsftpdTlsServer>(*s_cert, test::TlsMode::Implicit); }, "ftps",
         {"PBSZ 0", "PROT P"}},
    };
    test::TempDir dir;
    test::WriteFile(dir.file("hello.txt"), "hello over TLS\n");
    for (const Case& c : cases) {
        std::unique_ptr<test::FtpServer> server = c.start();
        std::vector<std::string> upload;
        upload.insert(upload.end(), {"-T", dir.file("hello.txt")});
        const test::ProgramResult sent = test::RunProgram(Curl(c.scheme, *server, upload));
        EXPECT_EQ(sent.status, 0) << c.name << ": " << sent.err;
        EXPECT_EQ(test::ReadFile((server->UploadRoot() / "hello.txt").string()), "hello over TLS\n") << c.name;
        const std::vector<std::string> commands = server->Commands();
        for (const std::string& command : c.tlsCommands)
            EXPECT_TRUE(std::any_of(commands.begin(), commands.end(),
                                    [&](const std::string& sent) { return sent.rfind(command, 0) == 0; }))
                << c.name << " lacks " << command;
        if (c.scheme == "ftp") {
            // Plain FTP is turned away at the login.
            std::vector<std::string> plain = Curl(c.scheme, *server, {});
            plain.erase(std::find(plain.begin(), plain.end(), std::string("--ssl-reqd")));
            EXPECT_NE(test::RunProgram(plain).status, 0) << c.name;
        }
    }
}

// Logs in over TLS (AUTH TLS first for explicit TLS, the login and PROT P
// inside TLS) and stores three files, each over a passive data connection
// that must resume the control connection's session.
// The data connection's handshake follows the STOR: vsftpd starts TLS on
// it only once it handles the command (a handshake before it waits out the
// time-out) and pyftpdlib drops a data connection secured before it.
void UploadThreeFiles(const test::FtpServer& server, test::TlsMode mode)
{
    const std::string what = server.Address();
    auto context = ftp::TlsContext::Create("127.0.0.1");
    ASSERT_TRUE(context);
    FtpOverTls ftp(std::make_unique<ftp::PlainTransport>(ConnectLoopback(server.Port())));
    if (mode == test::TlsMode::Implicit) {
        ftp.StartTls(*context);
        EXPECT_EQ(ftp.Read().code, 220);
    } else {
        EXPECT_EQ(ftp.Read().code, 220);
        EXPECT_EQ(ftp.Command("AUTH TLS").code, 234);
        ftp.StartTls(*context);
    }
    const ftp::Reply user = ftp.Command("USER " + server.User());
    if (user.code == 331) {
        EXPECT_EQ(ftp.Command("PASS " + server.Password()).code, 230);
    } else {
        EXPECT_EQ(user.code, 230) << user.Text();
    }
    EXPECT_EQ(ftp.Command("PBSZ 0").code, 200);
    EXPECT_EQ(ftp.Command("PROT P").code, 200);
    EXPECT_EQ(ftp.Command("TYPE I").code, 200);
    if (!server.UploadFolder().empty()) {
        EXPECT_EQ(ftp.Command("CWD " + server.UploadFolder()).code, 250);
    }
    for (int i = 0; i < 3; ++i) {
        const std::string name = "file" + std::to_string(i) + ".bin";
        const std::string bytes(100000 + i, static_cast<char>('a' + i));
        const ftp::Reply epsv = ftp.Command("EPSV");
        ASSERT_EQ(epsv.code, 229) << epsv.Text();
        ftp::Fd data = ConnectLoopback(EpsvPort(epsv));
        const std::string stor = "STOR " + name + "\r\n";
        ASSERT_TRUE(ftp.Transport().Send(stor.data(), stor.size(), kTimeout));
        auto tls = TlsTransport::Handshake(*context, std::move(data), TlsTransport::Role::Data, kTimeout);
        ASSERT_TRUE(tls) << what << ": " << tls.error().text;
        EXPECT_TRUE((*tls)->Resumed()) << what << " " << name;
        EXPECT_EQ(ftp.Read().Class(), 1) << what;
        ASSERT_TRUE((*tls)->Send(bytes.data(), bytes.size(), kTimeout));
        EXPECT_TRUE((*tls)->Shutdown(kTimeout)) << what << " " << name;
        const ftp::Reply done = ftp.Read();
        EXPECT_EQ(done.code, 226) << what << ": " << done.Text();
        EXPECT_EQ(test::ReadFile((server.UploadRoot() / name).string()), bytes) << what << " " << name;
    }
    EXPECT_EQ(ftp.Command("QUIT").code, 221);
    const std::vector<std::string> commands = server.Commands();
    ASSERT_FALSE(commands.empty());
    if (mode == test::TlsMode::Explicit) {
        EXPECT_EQ(commands.front(), "AUTH TLS") << what;  // nothing before it
    }
}

// vsftpd checks the resumption (require_ssl_reuse=YES: a full handshake
// gets 522).
TEST_F(TlsServersTest, TheServersTakeFilesOverResumedDataConnections)
{
    test::PyFtpdTlsServer py(*s_cert);
    UploadThreeFiles(py, test::TlsMode::Explicit);
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    for (test::TlsMode mode : {test::TlsMode::Explicit, test::TlsMode::Implicit}) {
        test::VsftpdTlsServer vs(*s_cert, mode);
        UploadThreeFiles(vs, mode);
    }
}

}  // namespace
