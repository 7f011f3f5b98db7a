// The transport under the channels: TLS against a peer of our own that
// behaves or misbehaves on purpose (tls_peer.py), with a certificate the
// test makes; the plain socket beside it.

#include "platform/ftp/TlsTransport.h"
#include "tests/servers/TlsServers.h"
#include "tests/support/Program.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <signal.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using ftp::Millis;
using ftp::TlsContext;
using ftp::TlsTransport;
using Clock = std::chrono::steady_clock;
using Role = TlsTransport::Role;

constexpr Millis kTimeout{5000};
constexpr Millis kShort{400};

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

std::shared_ptr<TlsContext> Context(const std::string& host)
{
    auto context = TlsContext::Create(host);
    if (!context)
        throw std::runtime_error(context.error().text);
    return *context;
}

ftp::Result<std::unique_ptr<TlsTransport>> Open(const std::shared_ptr<TlsContext>& context, std::uint16_t port,
                                                Role role = Role::Control, Millis timeout = kTimeout)
{
    return TlsTransport::Handshake(context, ConnectLoopback(port), role, timeout);
}

// Receives until the text holds a line end (or an error or the end).
std::string ReceiveLine(ftp::Transport& transport)
{
    std::string text;
    char buffer[256];
    while (text.find('\n') == std::string::npos) {
        const auto got = transport.Receive(buffer, sizeof buffer, kTimeout);
        if (!got || *got == 0)
            break;
        text.append(buffer, *got);
    }
    return text;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The trust store for one test: SSL_CERT_FILE, read when a context is made.
class TrustedFile {
public:
    explicit TrustedFile(const std::string& path) { setenv("SSL_CERT_FILE", path.c_str(), 1); }
    ~TrustedFile() { unsetenv("SSL_CERT_FILE"); }
};

class TlsTransportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_cert = new test::TestCertificate(); }
    static void TearDownTestSuite()
    {
        delete s_cert;
        s_cert = nullptr;
    }
    static test::TestCertificate* s_cert;
};

test::TestCertificate* TlsTransportTest::s_cert = nullptr;

// The name as written is what is verified and sent as SNI; an IP address
// sends none and is checked against the certificate's IP entries. The
// system's store does not know the test's certificate: it is reported, not
// refused, with its fingerprint as openssl prints it.
TEST_F(TlsTransportTest, VerifiesTheNameAsWrittenAndReportsWhatFails)
{
    struct Case {
        std::string host;
        bool trusted;  // the test's certificate in the trust store
        bool verified;
        std::string reason;
        std::string sni;
    };
    const Case cases[] = {
        {"localhost", false, false, "self-signed certificate", "localhost"},
        {"127.0.0.1", false, false, "self-signed certificate", "none"},
        {"localhost", true, true, "", "localhost"},
        {"127.0.0.1", true, true, "", "none"},
        {"ftp.example.org", true, false, "hostname mismatch", "ftp.example.org"},
        {"127.0.0.2", true, false, "IP address mismatch", "none"},
    };
    test::TlsPeer peer(*s_cert, "echo");
    for (const Case& c : cases) {
        std::optional<TrustedFile> trust;
        if (c.trusted)
            trust.emplace(s_cert->CertPath());
        auto tls = Open(Context(c.host), peer.Port());
        ASSERT_TRUE(tls) << c.host << ": " << tls.error().text;
        const ftp::CertificateReport& report = (*tls)->Certificate();
        EXPECT_EQ(report.verified, c.verified) << c.host;
        EXPECT_EQ(report.reason, c.reason) << c.host;
        EXPECT_EQ(report.fingerprint, s_cert->Fingerprint()) << c.host;
        EXPECT_EQ(ReceiveLine(**tls), "220 ready\r\n") << c.host;
        const std::string line = "NOOP " + c.host + "\r\n";
        ASSERT_TRUE((*tls)->Send(line.data(), line.size(), kTimeout)) << c.host;
        EXPECT_EQ(ReceiveLine(**tls), line) << c.host;
        EXPECT_TRUE((*tls)->Shutdown(kTimeout)) << c.host;
        EXPECT_TRUE(Contains(peer.Log(), "sni " + c.sni)) << c.host;
    }
    const auto log = peer.Log();
    EXPECT_TRUE(Contains(log, "client certificate none"));
    EXPECT_FALSE(Contains(log, "client certificate some"));
}

// Data connections resume the control connection's session, under TLS 1.3
// (where the ticket comes after the handshake, with the first reply) as
// under 1.2; a data connection's own tickets never replace it.
TEST_F(TlsTransportTest, DataConnectionsResumeTheControlSession)
{
    for (const char* version : {"TLSv1.3", "TLSv1.2"}) {
        test::TlsPeer peer(*s_cert, "echo", std::string(version) == "TLSv1.2" ? "TLSv1_2" : "");
        auto context = Context("localhost");
        auto control = Open(context, peer.Port());
        ASSERT_TRUE(control) << control.error().text;
        EXPECT_EQ((*control)->Version(), version);
        EXPECT_EQ(ReceiveLine(**control), "220 ready\r\n");
        EXPECT_TRUE(context->HasControlSession()) << version;
        for (int i = 0; i < 3; ++i) {
            auto data = Open(context, peer.Port(), Role::Data);
            ASSERT_TRUE(data) << version << ": " << data.error().text;
            EXPECT_TRUE((*data)->Resumed()) << version << " data connection " << i;
            EXPECT_EQ((*data)->Certificate().fingerprint, s_cert->Fingerprint());
            EXPECT_EQ(ReceiveLine(**data), "220 ready\r\n");
            EXPECT_TRUE((*data)->Shutdown(kTimeout));
        }
        EXPECT_TRUE((*control)->Shutdown(kTimeout));
        const auto log = peer.Log();
        EXPECT_EQ(std::count(log.begin(), log.end(), "resumed 1"), 3) << version;
    }
}

// A data connection that cannot resume (another server) must show the
// control connection's certificate, or it is refused.
TEST_F(TlsTransportTest, AFullDataHandshakeNeedsTheControlCertificate)
{
    test::TestCertificate other;
    test::TlsPeer first(*s_cert, "echo");
    test::TlsPeer second(other, "echo");
    auto context = Context("localhost");
    auto control = Open(context, first.Port());
    ASSERT_TRUE(control);
    EXPECT_EQ(ReceiveLine(**control), "220 ready\r\n");
    auto data = Open(context, second.Port(), Role::Data);
    ASSERT_FALSE(data);
    EXPECT_EQ(data.error().code, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_EQ(data.error().text, "the data connection's certificate is not the control connection's");
}

// A broken or hostile peer: a clear error within the time-out, never a hang
// and never a usable connection.
TEST_F(TlsTransportTest, ABrokenHandshakeFailsClearlyWithinTheTimeout)
{
    struct Case {
        std::string behaviour;
        std::uint32_t code;
        std::string text;  // the error text begins so
    };
    const Case cases[] = {
        {"cut", ERROR_INTERNET_SECURE_FAILURE,
         "the TLS handshake failed: the server closed the connection without ending TLS"},
        {"garbage", ERROR_INTERNET_SECURE_FAILURE, "the TLS handshake failed: "},
        {"silent", ERROR_INTERNET_TIMEOUT, "the TLS handshake timed out after 400 ms"},
    };
    for (const Case& c : cases) {
        test::TlsPeer peer(*s_cert, c.behaviour);
        const auto start = Clock::now();
        auto tls = Open(Context("localhost"), peer.Port(), Role::Control, kShort);
        const auto took = Clock::now() - start;
        ASSERT_FALSE(tls) << c.behaviour;
        EXPECT_EQ(tls.error().code, c.code) << c.behaviour << ": " << tls.error().text;
        EXPECT_EQ(tls.error().text.rfind(c.text, 0), 0u) << c.behaviour << ": " << tls.error().text;
        EXPECT_LT(took, std::chrono::seconds(3)) << c.behaviour;
    }
}

// The end of a stream: the peer's close-notify is the only clean end; a TCP
// end without it is an error marked as truncated; a peer that never answers
// ours costs the bounded wait and no more.
TEST_F(TlsTransportTest, EndsAreCleanOnlyWithCloseNotify)
{
    {
        test::TlsPeer peer(*s_cert, "drop-after");
        auto tls = Open(Context("localhost"), peer.Port());
        ASSERT_TRUE(tls);
        char buffer[16];
        std::string got;
        ftp::Result<std::size_t> n = std::size_t{0};
        while ((n = (*tls)->Receive(buffer, sizeof buffer, kTimeout)) && *n > 0)
            got.append(buffer, *n);
        EXPECT_EQ(got, "data");
        ASSERT_FALSE(n);
        EXPECT_TRUE((*tls)->TruncatedEnd());
        EXPECT_EQ(n.error().text, "TLS receive failed: the server closed the connection without ending TLS");
    }
    {
        test::TlsPeer peer(*s_cert, "hold-close");
        auto tls = Open(Context("localhost"), peer.Port());
        ASSERT_TRUE(tls);
        EXPECT_EQ(ReceiveLine(**tls), "220 ready\r\n");
        const auto start = Clock::now();
        const ftp::Status ended = (*tls)->Shutdown(kShort);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
        ASSERT_FALSE(ended);
        EXPECT_EQ(ended.error().text, "the server did not end TLS (timed out after 400 ms)");
        EXPECT_EQ((*tls)->SocketFd(), -1);
        char c;
        EXPECT_FALSE((*tls)->Receive(&c, 1, kShort));
    }
}

// A server asking for a renegotiation (TLS 1.2; openssl s_server reads "r"
// from its input once a client is in) is refused: the client has it off, and
// the server's end of the connection is a clear error at once.
TEST_F(TlsTransportTest, ARenegotiationIsRefusedWithoutAHang)
{
    const std::uint16_t port = test::FreeTcpPort();
    // s_server reads its input only once a client is in; each command must
    // come in a read of its own, and the input must stay open meanwhile.
    const std::string serve = "/usr/bin/openssl s_server -tls1_2 -accept 127.0.0.1:" + std::to_string(port) +
                              " -cert " + s_cert->CertPath() + " -key " + s_cert->KeyPath() + " -naccept 1";
    test::Program server({"/bin/sh", "-c", "(sleep 0.3; echo r; sleep 0.3; echo after; sleep 5) | " + serve});
    std::unique_ptr<TlsTransport> tls;
    for (int i = 0; i < 200 && !tls; ++i) {
        try {
            auto opened = Open(Context("localhost"), port);
            ASSERT_TRUE(opened) << opened.error().text;
            tls = std::move(*opened);
        } catch (const std::runtime_error&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // not listening yet
        }
    }
    ASSERT_TRUE(tls);
    const auto start = Clock::now();
    std::string got;
    char buffer[64];
    ftp::Result<std::size_t> n = std::size_t{0};
    while (got.find('\n') == std::string::npos && (n = tls->Receive(buffer, sizeof buffer, kTimeout)) && *n > 0)
        got.append(buffer, *n);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(got, "");  // nothing after the refused renegotiation is taken for data
    ASSERT_FALSE(n);
    EXPECT_EQ(n.error().code, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_EQ(n.error().text.rfind("TLS receive failed: ", 0), 0u) << n.error().text;
    // The server says why: our client's refusal.
    const auto said = [&] { return server.Stdout() + server.Stderr(); };
    for (int i = 0; i < 100 && said().find("no renegotiation") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(said().find("no renegotiation"), std::string::npos) << said();
    server.Signal(SIGTERM);
}

// A socket readable only for records without data (TLS 1.3 tickets) says
// so: nothing ready, and a receive waits out its time-out instead of
// returning early or spinning. The close after it is clean.
TEST_F(TlsTransportTest, RecordsWithoutDataAreNoReply)
{
    test::TlsPeer peer(*s_cert, "ticket-only");
    auto context = Context("localhost");
    auto tls = Open(context, peer.Port());
    ASSERT_TRUE(tls);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the tickets arrive
    EXPECT_FALSE((*tls)->ReceiveReady());
    EXPECT_EQ((*tls)->Buffered(), 0u);
    EXPECT_TRUE(context->HasControlSession());
    char c;
    const auto start = Clock::now();
    const auto got = (*tls)->Receive(&c, 1, kShort);
    EXPECT_GE(Clock::now() - start, kShort / 2);  // waited: no early return on the tickets
    ASSERT_FALSE(got);
    EXPECT_EQ(got.error().code, ERROR_INTERNET_TIMEOUT);
    EXPECT_TRUE((*tls)->Shutdown(kTimeout));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(Contains(peer.Log(), "clean end 1"));
}

// Buffered bytes are what a poll of the socket cannot see.
TEST_F(TlsTransportTest, BufferedBytesAreCountedBeforeTheSocketIsPolled)
{
    test::TlsPeer peer(*s_cert, "echo");
    auto tls = Open(Context("localhost"), peer.Port());
    ASSERT_TRUE(tls);
    EXPECT_EQ(ReceiveLine(**tls), "220 ready\r\n");
    const std::string line = "0123456789\r\n";
    ASSERT_TRUE((*tls)->Send(line.data(), line.size(), kTimeout));
    char first[2];
    ASSERT_TRUE((*tls)->Receive(first, sizeof first, kTimeout));
    EXPECT_EQ((*tls)->Buffered(), line.size() - 2);
    EXPECT_TRUE((*tls)->ReceiveReady());
    EXPECT_TRUE((*tls)->Shutdown(kTimeout));
}

TEST(PlainTransport, PassesBytesAndClosesAfterReadingWhatCame)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0);
    ftp::PlainTransport ours{ftp::Fd(fds[0])};
    ftp::Fd theirs(fds[1]);
    ASSERT_TRUE(ours.Send("abc", 3, kTimeout));
    char buffer[8];
    EXPECT_EQ(recv(theirs.Get(), buffer, sizeof buffer, 0), 3);
    EXPECT_FALSE(ours.ReceiveReady());
    EXPECT_EQ(send(theirs.Get(), "xy", 2, 0), 2);
    EXPECT_TRUE(ours.ReceiveReady());
    EXPECT_EQ(ours.Buffered(), 0u);
    EXPECT_TRUE(ours.Shutdown(kTimeout));
    EXPECT_EQ(ours.SocketFd(), -1);
    EXPECT_EQ(recv(theirs.Get(), buffer, sizeof buffer, 0), 0);  // a FIN, no reset: "xy" was read
    EXPECT_FALSE(ours.Send("a", 1, kTimeout));
}

}  // namespace
