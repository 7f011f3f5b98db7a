// FTP over TLS through the client's own classes, against vsftpd (explicit
// and implicit, passive and active; it demands TLS for the login and every
// data connection and that each resume the control session) and pyftpdlib:
// files stored, a folder made, a name looked up; the certificate checked
// before the login; a server that refuses AUTH TLS; nothing but AUTH TLS
// before the handshake.

#include "tests/platform/ftp/ScriptedServer.h"
#include "tests/servers/TlsServers.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpFileFind.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"
#include "platform/ftp/TlsTransport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

using Commands = std::vector<std::string>;

// The trust store for one test: SSL_CERT_FILE, read when a context is made.
class TrustedFile {
public:
    explicit TrustedFile(const std::string& path) { setenv("SSL_CERT_FILE", path.c_str(), 1); }
    ~TrustedFile() { unsetenv("SSL_CERT_FILE"); }
};

std::string ConnectError(CInternetSession& session, const std::string& url, const std::string& user = {},
                         const std::string& password = {})
{
    try {
        std::unique_ptr<CFtpConnection>(session.GetFtpConnection(url, user, password, 0, true));
    } catch (const CInternetException& e) {
        return e.ErrorText();
    }
    return {};
}

void Store(CFtpConnection& c, const std::string& name, const std::string& bytes)
{
    std::unique_ptr<CInternetFile> file(c.OpenFile(name, GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
    for (std::size_t at = 0; at < bytes.size(); at += 1024)
        file->Write(bytes.data() + at, static_cast<unsigned>(std::min<std::size_t>(1024, bytes.size() - at)));
    file->Close();
}

class TlsSession : public testing::Test {
protected:
    static void SetUpTestSuite() { s_certificate = new test::TestCertificate(); }
    static void TearDownTestSuite()
    {
        delete s_certificate;
        s_certificate = nullptr;
    }

    // Stores files in a new folder, renames one into place and looks it up:
    // the work of an upload run, with every data connection over TLS.
    static void UploadOver(const std::string& url, const test::FtpServer& server, bool passive)
    {
        CInternetSession session;
        std::unique_ptr<CFtpConnection> c(session.GetFtpConnection(url, server.User(), server.Password(), 0, passive));
        ASSERT_TRUE(c);
        if (!server.UploadFolder().empty())
            ASSERT_TRUE(c->SetCurrentDirectory(server.UploadFolder())) << c->GetLastReplyText();
        ASSERT_TRUE(c->CreateDirectory("www")) << c->GetLastReplyText();
        ASSERT_TRUE(c->SetCurrentDirectory("www"));
        const std::string big(300000, 'x');
        for (const std::string& name : {"a.gif", "b.gif"}) {
            Store(*c, "OrviktsnTemp.gif", name == "a.gif" ? big : "small");
            ASSERT_TRUE(c->RenameAndLookUp("OrviktsnTemp.gif", name, true)) << c->GetLastReplyText();
        }
        CFtpFileFind find(c.get(), 1);
        ASSERT_TRUE(find.FindFile("a.gif", INTERNET_FLAG_RELOAD));
        find.FindNextFile();
        EXPECT_EQ(find.GetLength(), big.size());
        find.Close();
        EXPECT_FALSE(c->OffersTls());
        c->Close();
        EXPECT_EQ(test::ReadFile((server.UploadRoot() / "www/a.gif").string()), big);
        EXPECT_EQ(test::ReadFile((server.UploadRoot() / "www/b.gif").string()), "small");
    }

    static test::TestCertificate* s_certificate;
};

test::TestCertificate* TlsSession::s_certificate = nullptr;

TEST_F(TlsSession, VsftpdTakesAnUploadExplicitAndImplicitPassiveAndActive)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    TrustedFile trust(s_certificate->CertPath());
    for (const test::TlsMode mode : {test::TlsMode::Explicit, test::TlsMode::Implicit})
        for (const bool passive : {true, false}) {
            SCOPED_TRACE(std::string(mode == test::TlsMode::Explicit ? "explicit" : "implicit") +
                         (passive ? ", passive" : ", active"));
            test::VsftpdTlsServer server(*s_certificate, mode);
            UploadOver(server.Url(), server, passive);
            const Commands commands = server.Commands();
            ASSERT_FALSE(commands.empty());
            if (mode == test::TlsMode::Explicit) {
                EXPECT_EQ(commands.front(), "AUTH TLS");  // nothing before it
            }
            EXPECT_NE(std::find(commands.begin(), commands.end(), "PROT P"), commands.end());
        }
}

TEST_F(TlsSession, PyftpdlibTakesAnUpload)
{
    TrustedFile trust(s_certificate->CertPath());
    test::PyFtpdTlsServer server(*s_certificate);
    UploadOver(server.Url(), server, true);
    const Commands commands = server.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), "AUTH TLS");
}

// A certificate the system does not trust is never taken by itself: the
// connection ends before the login, naming the fingerprint; a decision
// that accepts it lets the login go on.
TEST_F(TlsSession, AnUntrustedCertificateNeedsADecisionBeforeTheLogin)
{
    test::PyFtpdTlsServer server(*s_certificate);
    CInternetSession session;
    const std::string refused = ConnectError(session, server.Url(), server.User(), server.Password());
    EXPECT_NE(refused.find("The server's certificate is not trusted ("), std::string::npos) << refused;
    EXPECT_NE(refused.find(s_certificate->Fingerprint()), std::string::npos) << refused;
    EXPECT_EQ(server.Commands(), Commands{"AUTH TLS"});
    std::string asked;
    session.SetCertificateCheck([&](const std::string& name, const ftp::CertificateReport& report) -> ftp::Status {
        asked = name + " " + report.fingerprint;
        return {};
    });
    EXPECT_EQ(ConnectError(session, server.Url(), server.User(), server.Password()), "");
    EXPECT_EQ(asked, server.Address() + " " + s_certificate->Fingerprint());
    session.SetCertificateCheck([](const std::string&, const ftp::CertificateReport&) -> ftp::Status {
        return ftp::Error{ERROR_INTERNET_SECURE_FAILURE, "The server's certificate was not accepted."};
    });
    EXPECT_EQ(ConnectError(session, server.Url(), server.User(), server.Password()),
              "The server's certificate was not accepted.");
}

// A plain server: AUTH TLS refused ends the connection with its reply, and
// never falls back to plain FTP; the same server, plain, offers no TLS.
TEST_F(TlsSession, AServerThatRefusesAuthTlsEndsTheConnection)
{
    test::PyFtpdServer server;
    CInternetSession session;
    const std::string error = ConnectError(session, "ftpes://" + server.Address(), server.User(), server.Password());
    EXPECT_EQ(error.substr(0, 4), "500 ") << error;
    EXPECT_EQ(server.Commands(), Commands{"AUTH TLS"});
    std::unique_ptr<CFtpConnection> plain(session.GetFtpConnection(server.Address(), server.User(), server.Password()));
    EXPECT_FALSE(plain->OffersTls());
}

// Plain FTP to a server whose FEAT offers AUTH TLS: the connection says so
// (the tool hints at ftpes://), and it stays plain.
TEST_F(TlsSession, APlainConnectionToAServerOfferingTlsSaysSo)
{
    test::TableScript table;
    table.features = " AUTH TLS\r\n MDTM\r\n SIZE\r\n";
    test::ScriptedServer server(std::ref(table));
    CInternetSession session;
    std::unique_ptr<CFtpConnection> c(session.GetFtpConnection(server.Address(), "bob", "secret"));
    EXPECT_TRUE(c->OffersTls());
    c->Close();
    server.Finish();
    EXPECT_EQ(server.Commands(), (Commands{"USER bob", "PASS secret", "FEAT", "QUIT"}));
}

// A peer that breaks the handshake (cut half way, plain text instead of a
// record, silence) gives a clear error within the time-outs, never a login.
TEST_F(TlsSession, ABrokenHandshakeIsAClearErrorWithinTheTimeOut)
{
    struct Case {
        const char* behaviour;
        const char* says;
    };
    const Case cases[] = {
        {"cut", "TLS handshake failed"},
        {"garbage", "TLS handshake failed"},
        {"silent", "timed out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        test::TlsPeer peer(*s_certificate, c.behaviour);
        CInternetSession session;
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 1500);
        session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 0);
        const std::string address = "127.0.0.1:" + std::to_string(peer.Port());
        const std::string error = ConnectError(session, "ftps://" + address, "bob", "secret");
        EXPECT_NE(error.find("FTP server " + address), std::string::npos) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

}  // namespace
