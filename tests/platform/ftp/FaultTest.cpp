// Faults a real server cannot be made to show, against a scripted server.
// Each test states the exact command sequence the client must send; the
// replies arrive in random chunk sizes. Time-outs are made short through
// SetOption where a test waits for one.

#include "tests/platform/ftp/ScriptedServer.h"
#include "tests/servers/TestServers.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpFileFind.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

using Commands = std::vector<std::string>;
using test::ScriptedServer;
using test::ScriptedSession;

const Commands kLogin = {"USER bob", "PASS secret", "FEAT"};

// Login() with a FEAT that offers SIZE and MDTM (look-ups by name).
void LoginWithSizeAndMdtm(ScriptedSession& s)
{
    s.LoginOffering(" MDTM\r\n SIZE\r\n");
}

// Reads count commands before answering any: a client that waited for a
// reply in between makes the script fail.
void ReadTogether(ScriptedSession& s, int count)
{
    for (int i = 0; i < count; ++i)
        s.Read();
}

// A 229 naming a fresh passive listener of the script.
void OfferEpsvPort(ScriptedSession& s)
{
    s.Reply("229 Entering Extended Passive Mode (|||" + std::to_string(s.ListenPassive()) + "|)");
}

// One passive transfer once EPSV was read: the port, the data connection,
// STOR (unless read with EPSV), the data and the final reply.
std::string ServePassiveStore(ScriptedSession& s, bool storRead)
{
    OfferEpsvPort(s);
    s.AcceptData();
    if (!storRead)
        s.Read();
    s.Reply("150 Ok to send data.");
    std::string data = s.ReceiveData();
    s.Reply("226 Transfer complete.");
    return data;
}

// A 227 naming host (PASV's four numbers) and port.
std::string PasvReply(const std::string& host, std::uint16_t port)
{
    return "227 Entering Passive Mode (" + host + "," + std::to_string(port / 256) + "," + std::to_string(port % 256) +
           ").";
}

// The first write of several commands on a connection is the client's
// probe of pipelining: a rename, answered at once.
const Commands kProbe = {"RNFR p", "RNTO q"};
void ServeProbe(ScriptedSession& s)
{
    ReadTogether(s, 2);
    s.Reply("350 Ready for RNTO.");
    s.Reply("250 Rename successful.");
}

Commands Then(Commands first, const Commands& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

class FaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 0);
        m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 3000);
        m_session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 3000);
    }

    std::unique_ptr<CFtpConnection> Connect(ScriptedServer& server, bool passive = false)
    {
        return std::unique_ptr<CFtpConnection>(m_session.GetFtpConnection(server.Address(), "bob", "secret", 0, passive));
    }

    // The error text GetFtpConnection raises (empty when it connects).
    std::string ConnectError(ScriptedServer& server)
    {
        try {
            Connect(server);
        } catch (const CInternetException& e) {
            return e.ErrorText();
        }
        return {};
    }

    static void Store(CFtpConnection& c, const std::string& name, const std::string& bytes,
                      std::uint32_t type = FTP_TRANSFER_TYPE_BINARY)
    {
        std::unique_ptr<CInternetFile> file(c.OpenFile(name, GENERIC_WRITE, type, 1));
        for (std::size_t at = 0; at < bytes.size(); at += 1024)
            file->Write(bytes.data() + at, static_cast<unsigned>(std::min<std::size_t>(1024, bytes.size() - at)));
        file->Close();
    }

    static std::string StoreError(CFtpConnection& c, const std::string& name, const std::string& bytes)
    {
        try {
            Store(c, name, bytes);
        } catch (const CInternetException& e) {
            return e.ErrorText();
        }
        return {};
    }

    static void Finished(ScriptedServer& server, const Commands& expected)
    {
        server.Finish();
        EXPECT_EQ(server.Commands(), expected);
        EXPECT_EQ(server.Failures(), Commands{});
    }

    CInternetSession m_session;
};

TEST_F(FaultTest, GreetingThatNeverComesTimesOut)
{
    m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 300);
    ScriptedServer server([](ScriptedSession& s) { s.Read(); });
    EXPECT_EQ(ConnectError(server), "FTP server " + server.Address() + ": no reply (timed out after 300 ms).");
    Finished(server, {});
}

TEST_F(FaultTest, ReplyThatStopsHalfWayTimesOut)
{
    m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 300);
    ScriptedServer server([](ScriptedSession& s) {
        s.Raw("220-Welcome\r\n220 Rea");
        s.Read();
    });
    EXPECT_EQ(ConnectError(server), "FTP server " + server.Address() + ": no reply (timed out after 300 ms).");
    Finished(server, {});
}

TEST_F(FaultTest, BrokenRepliesAreErrorsNotHangs)
{
    struct Case {
        const char* name;
        std::string greeting;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"over-long line", "220 " + std::string(9000, 'x') + "\r\n", "reply line longer than 8192 bytes"},
        {"over-long unfinished line", "220 " + std::string(9000, 'x'), "reply line longer than 8192 bytes"},
        {"not FTP", "HTTP/1.1 400 Bad Request\r\n\r\n", "not an FTP reply"},
        {"closed mid-reply", "220-Hello\r\n", "the server closed the connection"},
    };
    for (const Case& c : cases) {
        ScriptedServer server([&](ScriptedSession& s) {
            s.Offer(c.greeting);
            s.CloseControl();
        });
        EXPECT_EQ(ConnectError(server), "FTP server " + server.Address() + ": " + c.expected + ".") << c.name;
        Finished(server, {});
    }
}

TEST_F(FaultTest, MultiLineGreetingAndAccountLogin)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Raw("220-Welcome\r\n220-to the\r\n server of\r\n220 tests.\r\n");
        s.Read();
        s.Reply("331 Password required.");
        s.Read();
        s.Reply("332 Account required.");
        s.Read();
        s.Reply("230 Logged in.");
        s.Read();
        s.Raw("211-Features:\r\n MDTM\r\n SIZE\r\n211 End\r\n");
        s.Read();
        s.Reply("257 \"/home/b\"\"ob\" is the current folder.");
    });
    std::vector<std::string> trace;
    m_session.SetTrace([&](const std::string& line) { trace.push_back(line); });
    auto c = Connect(server);
    std::string folder;
    EXPECT_TRUE(c->GetCurrentDirectory(folder));
    EXPECT_EQ(folder, "/home/b\"ob");
    c.reset();
    Finished(server, {"USER bob", "PASS secret", "ACCT secret", "FEAT", "PWD", "QUIT"});
    // The trace shows every command, never the password.
    std::vector<std::string> sent;
    for (const std::string& line : trace) {
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
        if (line.rfind("> ", 0) == 0)
            sent.push_back(line.substr(2));
    }
    EXPECT_EQ(sent, (Commands{"USER bob", "PASS ****", "ACCT ****", "FEAT", "PWD", "QUIT"}));
}

TEST_F(FaultTest, RefusedLoginGivesTheReplyAsItCame)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Reply("220 Ready.");
        s.Read();
        s.Reply("331 Password required.");
        s.Read();
        s.Raw("530-Login incorrect.\r\n530 Try again later.\r\n");
    });
    EXPECT_EQ(ConnectError(server), "530-Login incorrect.\n530 Try again later.");
    Finished(server, {"USER bob", "PASS secret"});
}

TEST_F(FaultTest, RefusedConnectionNamesTheHost)
{
    const std::string address = "127.0.0.1:" + std::to_string(test::FreeTcpPort());
    try {
        std::unique_ptr<CFtpConnection> c(m_session.GetFtpConnection(address, "bob", "secret", 0, false));
        ADD_FAILURE() << "connected";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.ErrorText(), "Cannot connect to " + address + ": Connection refused");
        EXPECT_EQ(e.m_dwError, ERROR_INTERNET_CANNOT_CONNECT);
    }
}

TEST_F(FaultTest, PasswordWithALineBreakIsNeverSent)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Reply("220 Ready.");
        s.Read();
        s.Reply("331 Password required.");
    });
    try {
        std::unique_ptr<CFtpConnection> c(m_session.GetFtpConnection(server.Address(), "bob", "pw\r\nDELE x", 0, false));
        ADD_FAILURE() << "connected";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.ErrorText(), "The password contains a line break or a zero byte; it was not sent.");
    }
    Finished(server, {"USER bob"});
}

TEST_F(FaultTest, ConnectTimeOutIsRetriedThenNamed)
{
    // A listener with a full backlog drops further connection requests.
    std::uint16_t port = 0;
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        connect(fillers.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    m_session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 200);
    m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 2);
    m_session.SetOption(INTERNET_OPTION_CONNECT_BACKOFF, 10);
    const std::string address = "127.0.0.1:" + std::to_string(port);
    try {
        std::unique_ptr<CFtpConnection> c(m_session.GetFtpConnection(address, "bob", "secret", 0, false));
        ADD_FAILURE() << "connected";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.ErrorText(), "Cannot connect to " + address + ": timed out after 200 ms");
        EXPECT_EQ(e.m_dwError, ERROR_INTERNET_TIMEOUT);
    }
    for (int fd : fillers)
        close(fd);
    close(listener);
}

TEST_F(FaultTest, Ipv6ServerWithEprt)
{
    if (!ScriptedServer::CanListenOn("::1"))
        GTEST_SKIP() << "no IPv6 loopback here";
    std::string active;
    ScriptedServer server(
        [&](ScriptedSession& s) {
            s.Login();
            s.Read();
            s.Reply("200 Binary.");
            active = s.Read();
            s.Reply("200 EPRT ok.");
            s.Read();
            s.ConnectActive(active);
            s.Reply("150 Ok to send data.");
            s.ReceiveData();
            s.Reply("226 Transfer complete.");
        },
        "::1");
    EXPECT_EQ(server.Address().substr(0, 6), "[::1]:");
    auto c = Connect(server);
    Store(*c, "v6", "data");
    c.reset();
    server.Finish();
    EXPECT_EQ(active.substr(0, 12), "EPRT |2|::1|");
    Commands sent = server.Commands();
    ASSERT_GE(sent.size(), 5u);
    sent[4] = "EPRT";
    EXPECT_EQ(sent, Then(kLogin, {"TYPE I", "EPRT", "STOR v6", "QUIT"}));
}

TEST_F(FaultTest, PasvAddressIsIgnoredForTheControlConnectionsPeer)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        s.Reply("500 EPSV not understood.");
        const std::uint16_t port = s.ListenPassive();
        s.Read();
        s.Reply(PasvReply("10,9,8,7", port));
        s.AcceptData();
        s.Read();
        s.Reply("150 Ok to send data.");
        if (s.ReceiveData() != "payload")
            throw std::runtime_error("wrong data");
        s.Reply("226 Transfer complete.");
    });
    auto c = Connect(server, true);
    Store(*c, "x.bin", "payload");
    c.reset();
    Finished(server, Then(kLogin, {"TYPE I", "EPSV", "PASV", "STOR x.bin", "QUIT"}));
}

TEST_F(FaultTest, RefusedEprtFallsBackToPortThenToPassive)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        s.Reply("500 EPRT not understood.");
        const std::string port = s.Read();
        s.Reply("200 PORT ok.");
        s.Read();
        s.ConnectActive(port);
        s.Reply("150 Ok to send data.");
        s.ReceiveData();
        s.Reply("226 Transfer complete.");
        // Second file: EPRT is not tried again; now PORT is refused too.
        s.Read();
        s.Reply("500 PORT not allowed.");
        s.Read();
        ServePassiveStore(s, false);
        // Third file: passive from the start.
        s.Read();
        ServePassiveStore(s, false);
    });
    auto c = Connect(server);
    Store(*c, "a", "1");
    EXPECT_FALSE(c->IsPassive());
    Store(*c, "b", "2");
    EXPECT_TRUE(c->IsPassive());
    Store(*c, "c", "3");
    c.reset();
    server.Finish();
    Commands sent = server.Commands();
    ASSERT_GE(sent.size(), 6u);
    EXPECT_EQ(sent[4].substr(0, 12), "EPRT |1|127.");
    EXPECT_EQ(sent[5].substr(0, 13), "PORT 127,0,0,");
    sent[4] = "EPRT";
    sent[5] = "PORT";
    if (sent.size() > 7)
        sent[7] = sent[7].substr(0, 4);
    EXPECT_EQ(sent, Then(kLogin, {"TYPE I", "EPRT", "PORT", "STOR a", "PORT", "EPSV", "STOR b", "EPSV", "STOR c", "QUIT"}));
    EXPECT_EQ(server.Failures(), Commands{});
}

TEST_F(FaultTest, StorRefusedInActiveModeIsSeenAtOnce)
{
    // The server never connects; the refusal must not wait for an accept.
    m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 60000);
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        s.Reply("200 EPRT ok.");
        s.Read();
        s.Reply("553 Could not create file.");
    });
    auto c = Connect(server);
    EXPECT_EQ(StoreError(*c, "x", "data"), "553 Could not create file.");
    EXPECT_EQ(c->GetLastReplyText(), "553 Could not create file.");
    EXPECT_TRUE(c->SetCurrentDirectory("www") == false);  // 502 from the script's tail
    c.reset();
    server.Finish();
    Commands sent = server.Commands();
    ASSERT_GE(sent.size(), 5u);
    sent[4] = sent[4].substr(0, 4);
    EXPECT_EQ(sent, Then(kLogin, {"TYPE I", "EPRT", "STOR x", "CWD www", "QUIT"}));
}

TEST_F(FaultTest, Reply425InActiveModeRetriesPassive)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        s.Reply("200 EPRT ok.");
        s.Read();
        s.Reply("425 Failed to establish connection.");
        s.Read();
        if (ServePassiveStore(s, false) != "abc")
            throw std::runtime_error("wrong data");
    });
    auto c = Connect(server);
    Store(*c, "x", "abc");
    EXPECT_TRUE(c->IsPassive());
    c.reset();
    server.Finish();
    Commands sent = server.Commands();
    ASSERT_GE(sent.size(), 5u);
    sent[4] = sent[4].substr(0, 4);
    EXPECT_EQ(sent, Then(kLogin, {"TYPE I", "EPRT", "STOR x", "EPSV", "STOR x", "QUIT"}));
    EXPECT_EQ(server.Failures(), Commands{});
}

TEST_F(FaultTest, OnceEpsvWorkedTheTransferCommandGoesWithItUntilA425)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        ServeProbe(s);
        s.Read();
        s.Reply("200 Binary.");
        s.Read();  // EPSV alone
        ServePassiveStore(s, false);
        ReadTogether(s, 2);  // EPSV and STOR b in one write
        ServePassiveStore(s, true);
        // A server that does not wait for the data connection.
        ReadTogether(s, 2);
        OfferEpsvPort(s);
        s.Reply("425 Can't open data connection.");
        s.Read();  // EPSV again, and from now on alone
        ServePassiveStore(s, false);
        s.Read();
        if (ServePassiveStore(s, false) != "4")
            throw std::runtime_error("wrong data");
    });
    auto c = Connect(server, true);
    EXPECT_TRUE(c->Rename("p", "q"));
    for (const char* name : {"a", "b", "c"})
        Store(*c, name, "x");
    Store(*c, "d", "4");
    c.reset();
    Finished(server, Then(Then(kLogin, kProbe), {"TYPE I", "EPSV", "STOR a", "EPSV", "STOR b", "EPSV", "STOR c", "EPSV", "STOR c",
                                   "EPSV", "STOR d", "QUIT"}));
}

TEST_F(FaultTest, EpsvWithoutAPortWhileTheTransferCommandWaitsEndsTheConnection)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        ServeProbe(s);
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        ServePassiveStore(s, false);
        ReadTogether(s, 2);
        s.Reply("229 Entering Extended Passive Mode.");
    });
    auto c = Connect(server, true);
    EXPECT_TRUE(c->Rename("p", "q"));
    Store(*c, "a", "first");
    EXPECT_EQ(StoreError(*c, "b", "second"),
              "FTP server " + server.Address() + ": the reply to EPSV named no port (229 Entering Extended Passive Mode.).");
    EXPECT_FALSE(c->SetCurrentDirectory("www"));  // at once: the connection is dead
    c.reset();
    Finished(server, Then(Then(kLogin, kProbe), {"TYPE I", "EPSV", "STOR a", "EPSV", "STOR b"}));
}

TEST_F(FaultTest, RefusedEpsvWithTheTransferCommandBehindItFallsBackToPasv)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        ServeProbe(s);
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        ServePassiveStore(s, false);
        ReadTogether(s, 2);
        s.Reply("500 EPSV disabled.");
        s.Reply("425 Use PORT or PASV first.");
        const std::uint16_t port = s.ListenPassive();
        s.Read();
        s.Reply(PasvReply("127,0,0,1", port));
        s.AcceptData();
        s.Read();
        s.Reply("150 Ok to send data.");
        if (s.ReceiveData() != "second")
            throw std::runtime_error("wrong data");
        s.Reply("226 Transfer complete.");
    });
    auto c = Connect(server, true);
    EXPECT_TRUE(c->Rename("p", "q"));
    Store(*c, "a", "first");
    Store(*c, "b", "second");
    c.reset();
    Finished(server,
             Then(Then(kLogin, kProbe), {"TYPE I", "EPSV", "STOR a", "EPSV", "STOR b", "PASV", "STOR b", "QUIT"}));
}

TEST_F(FaultTest, ErrorAfterACleanCloseIsNotSuccess)
{
    for (const std::string reply : {"451 Local error in processing.", "552 Disk full."}) {
        ScriptedServer server([&](ScriptedSession& s) {
            s.Login();
            s.Read();
            s.Reply("200 Binary.");
            s.Read();
            OfferEpsvPort(s);
            s.AcceptData();
            s.Read();
            s.Reply("150 Ok to send data.");
            s.ReceiveData();
            s.Reply(reply);
        });
        auto c = Connect(server, true);
        EXPECT_EQ(StoreError(*c, "x", std::string(5000, 'z')), reply);
        c.reset();
        Finished(server, Then(kLogin, {"TYPE I", "EPSV", "STOR x", "QUIT"}));
    }
}

TEST_F(FaultTest, DataConnectionFromAnotherAddressIsRefused)
{
    bool refused = false;
    ScriptedServer server([&](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        const std::string port = s.Read();
        s.Reply("200 EPRT ok.");
        s.Read();
        s.Reply("150 Ok to send data.");
        s.ConnectActive(port, "127.0.0.2");
        refused = s.DataClosedByClient();
        s.ConnectActive(port, "127.0.0.1");
        if (s.ReceiveData() != "real")
            throw std::runtime_error("wrong data");
        s.Reply("226 Transfer complete.");
    });
    auto c = Connect(server);
    Store(*c, "x", "real");
    c.reset();
    server.Finish();
    EXPECT_TRUE(refused);
    EXPECT_EQ(server.Failures(), Commands{});
}

TEST_F(FaultTest, ConnectionClosedDuringStorIsAnErrorAndTheConnectionIsDead)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 Binary.");
        s.Read();
        OfferEpsvPort(s);
        s.AcceptData();
        s.Read();
        s.Reply("150 Ok to send data.");
        s.ReceiveSomeData(10000);
        s.CloseData();
        s.CloseControl();
    });
    auto c = Connect(server, true);
    const std::string error = StoreError(*c, "x", std::string(4 << 20, 'q'));
    EXPECT_EQ(error, "FTP server " + server.Address() + ": the server closed the connection.");
    EXPECT_FALSE(c->SetCurrentDirectory("www"));
    EXPECT_EQ(c->GetLastReplyText(), error);
    c.reset();
    Finished(server, Then(kLogin, {"TYPE I", "EPSV", "STOR x"}));
}

TEST_F(FaultTest, ReplyTimeOutKillsTheConnection)
{
    m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 300);
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();  // CWD: never answered
    });
    auto c = Connect(server);
    EXPECT_FALSE(c->SetCurrentDirectory("www"));
    const std::string error = c->GetLastReplyText();
    EXPECT_EQ(error, "FTP server " + server.Address() + ": no reply (timed out after 300 ms).");
    EXPECT_FALSE(c->CreateDirectory("images"));
    EXPECT_EQ(c->GetLastReplyText(), error);
    try {
        std::unique_ptr<CInternetFile> f(c->OpenFile("x", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
        ADD_FAILURE() << "opened";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.ErrorText(), error);
    }
    c.reset();
    Finished(server, Then(kLogin, {"CWD www"}));
}

TEST_F(FaultTest, Reply421KillsTheConnection)
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("421 Timeout, closing control connection.");
    });
    auto c = Connect(server);
    EXPECT_FALSE(c->Remove("x"));
    EXPECT_FALSE(c->Remove("y"));
    EXPECT_EQ(c->GetLastReplyText(), "421 Timeout, closing control connection.");
    c.reset();
    Finished(server, Then(kLogin, {"DELE x"}));
}

TEST_F(FaultTest, AsciiCrlfAcrossABlockBoundaryStaysOneCrlf)
{
    std::string received;
    ScriptedServer server([&](ScriptedSession& s) {
        s.Login();
        s.Read();
        s.Reply("200 ASCII.");
        s.Read();
        received = ServePassiveStore(s, false);
    });
    auto c = Connect(server, true);
    std::string text(1023, 'a');
    text += "\r\nb\nc\r\n\n";
    Store(*c, "t.txt", text, FTP_TRANSFER_TYPE_ASCII);
    c.reset();
    Finished(server, Then(kLogin, {"TYPE A", "EPSV", "STOR t.txt", "QUIT"}));
    EXPECT_EQ(received, std::string(1023, 'a') + "\r\nb\r\nc\r\n\r\n");
}

TEST_F(FaultTest, ListingIsParsedAndOnlyTheExactNameCounts)
{
    const std::string listing =
        "total 3\r\n"
        "-rw-r--r--   1 web  web      777 Mar  3  2021 index.html.bak\r\n"
        "-rw-r--r--   1 web  web     1234 Mar  3  2021 index.html\r\n"
        "garbage line\r\n";
    ScriptedServer server([&](ScriptedSession& s) {
        s.Login();
        s.Read();
        OfferEpsvPort(s);
        s.AcceptData();
        s.Read();
        s.Reply("150 Here comes the listing.");
        s.SendData(listing);
        s.CloseData();
        s.Reply("226 Done.");
    });
    auto c = Connect(server, true);
    CFtpFileFind find(c.get(), 1);
    ASSERT_TRUE(find.FindFile("index.html", INTERNET_FLAG_RELOAD));
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(find.GetLength(), 1234u);
    std::int64_t time = 0;
    EXPECT_TRUE(find.GetLastWriteTime(time));
    EXPECT_EQ(time, 1614729600);  // 2021-03-03 00:00 UTC
    find.Close();
    c.reset();
    Finished(server, Then(kLogin, {"EPSV", "LIST index.html", "QUIT"}));
}

// RNFR and RNTO go out in one write; after a refused RNFR the 503 to RNTO is
// read too, so the next command gets its own reply.
TEST_F(FaultTest, RenameSendsRnfrWithRntoAndStaysInStep)
{
    struct Case {
        const char* rnfr;
        const char* rnto;
        bool renamed;
        const char* lastText;
    };
    const Case cases[] = {
        {"350 Ready for RNTO.", "250 Rename successful.", true, "250 Rename successful."},
        {"550 RNFR command failed.", "503 RNFR required first.", false, "550 RNFR command failed."},
        {"350 Ready for RNTO.", "553 Rename refused.", false, "553 Rename refused."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rnfr + std::string(" / ") + c.rnto);
        ScriptedServer server([&](ScriptedSession& s) {
            s.Login();
            ReadTogether(s, 2);
            s.Reply(c.rnfr);
            s.Reply(c.rnto);
            s.Read();
            s.Reply("250 Deleted.");
        });
        auto connection = Connect(server);
        EXPECT_EQ(connection->Rename("OrviktsnTemp.gif", "a.gif"), c.renamed);
        EXPECT_EQ(connection->GetLastReplyText(), c.lastText);
        EXPECT_TRUE(connection->Remove("b.gif"));
        EXPECT_EQ(connection->GetLastReplyText(), "250 Deleted.");
        connection.reset();
        Finished(server, Then(kLogin, {"RNFR OrviktsnTemp.gif", "RNTO a.gif", "DELE b.gif", "QUIT"}));
    }
}

// The look-up after a rename travels with it, whether the rename worked or
// not, and the next FindFile of that name is answered from it. SIZE and
// MDTM of a missing name go out together too; the MDTM reply is read all
// the same.
TEST_F(FaultTest, RenameAndLookUpAnswersTheNextFindFromOneRoundTrip)
{
    for (const bool renamed : {true, false}) {
        SCOPED_TRACE(renamed ? "renamed" : "RNFR refused");
        ScriptedServer server([&](ScriptedSession& s) {
            LoginWithSizeAndMdtm(s);
            s.Read();
            s.Reply("200 Switching to Binary mode.");
            ReadTogether(s, 2);
            s.Reply("550 Could not get file size.");
            s.Reply("550 Could not get file modification time.");
            ReadTogether(s, 4);
            s.Reply(renamed ? "350 Ready for RNTO." : "550 RNFR command failed.");
            s.Reply(renamed ? "250 Rename successful." : "503 RNFR required first.");
            s.Reply("213 4096");
            s.Reply("213 20240101120000");
            s.Read();
            s.Reply("250 Deleted.");
        });
        auto connection = Connect(server);
        {
            CFtpFileFind probe(connection.get(), 1);
            EXPECT_FALSE(probe.FindFile("a.gif", INTERNET_FLAG_RELOAD));
        }
        EXPECT_EQ(connection->RenameAndLookUp("OrviktsnTemp.gif", "a.gif"), renamed);
        CFtpFileFind find(connection.get(), 1);
        ASSERT_TRUE(find.FindFile("a.gif", INTERNET_FLAG_RELOAD));
        find.FindNextFile();
        EXPECT_EQ(find.GetLength(), 4096u);
        std::int64_t time = 0;
        EXPECT_TRUE(find.GetLastWriteTime(time));
        EXPECT_EQ(time, 1704110400);  // 2024-01-01 12:00 UTC
        find.Close();
        EXPECT_TRUE(connection->Remove("b.gif"));
        connection.reset();
        Finished(server, {"USER bob", "PASS secret", "FEAT", "TYPE I", "SIZE a.gif", "MDTM a.gif",
                          "RNFR OrviktsnTemp.gif", "RNTO a.gif", "SIZE a.gif", "MDTM a.gif", "DELE b.gif", "QUIT"});
    }
}

// A look-up sent ahead describes the name only until the next command: after
// one, FindFile asks the server again.
// One active transfer once its STOR was read: the connection to port (an
// EPRT), the data and the final reply (or a refusal instead).
void ServeActiveStore(ScriptedSession& s, const std::string& port, const char* refusal = nullptr)
{
    if (refusal) {
        s.Reply(refusal);
        return;
    }
    s.ConnectActive(port);
    s.Reply("150 Ok to send data.");
    s.ReceiveData();
    s.Reply("226 Transfer complete.");
}

// The replies to RNFR, RNTO, SIZE and MDTM of a rename and look-up.
void ServeRenameAndLookUp(ScriptedSession& s)
{
    s.Reply("350 Ready for RNTO.");
    s.Reply("250 Rename successful.");
    s.Reply("213 1");
    s.Reply("213 20240101120000");
}

// Sent commands with every EPRT's address left out.
Commands WithoutPorts(Commands sent)
{
    for (std::string& c : sent)
        if (c.rfind("EPRT ", 0) == 0)
            c = "EPRT";
    return sent;
}

TEST_F(FaultTest, InActiveModeTheNextTransfersPortIsNamedWithTheRename)
{
    for (const bool refusedOnce : {false, true}) {
        SCOPED_TRACE(refusedOnce ? "425 to the port named ahead" : "port named ahead used");
        ScriptedServer server([&](ScriptedSession& s) {
            LoginWithSizeAndMdtm(s);
            ServeProbe(s);
            s.Read();
            s.Reply("200 Binary.");
            std::string port = s.Read();
            s.Reply("200 EPRT ok.");
            s.Read();
            ServeActiveStore(s, port);
            ReadTogether(s, 4);
            port = s.Read();  // in the same write
            ServeRenameAndLookUp(s);
            s.Reply("200 EPRT ok.");
            s.Read();
            if (refusedOnce) {
                // Not passive: a port named afresh.
                ServeActiveStore(s, port, "425 Failed to establish connection.");
                port = s.Read();
                s.Reply("200 EPRT ok.");
                s.Read();
            }
            ServeActiveStore(s, port);
            // The last rename names no port.
            ReadTogether(s, 4);
            ServeRenameAndLookUp(s);
        });
        auto c = Connect(server);
        EXPECT_TRUE(c->Rename("p", "q"));
        Store(*c, "OrviktsnTemp.gif", "a");
        EXPECT_TRUE(c->RenameAndLookUp("OrviktsnTemp.gif", "a.gif", true));
        Store(*c, "OrviktsnTemp.gif", "b");
        EXPECT_FALSE(c->IsPassive());
        EXPECT_TRUE(c->RenameAndLookUp("OrviktsnTemp.gif", "b.gif", false));
        c.reset();
        server.Finish();
        Commands expected = {"USER bob", "PASS secret", "FEAT", "RNFR p", "RNTO q", "TYPE I", "EPRT",
                             "STOR OrviktsnTemp.gif",
                             "RNFR OrviktsnTemp.gif", "RNTO a.gif", "SIZE a.gif", "MDTM a.gif", "EPRT",
                             "STOR OrviktsnTemp.gif"};
        if (refusedOnce)
            expected = Then(expected, {"EPRT", "STOR OrviktsnTemp.gif"});
        expected = Then(expected, {"RNFR OrviktsnTemp.gif", "RNTO b.gif", "SIZE b.gif", "MDTM b.gif", "QUIT"});
        EXPECT_EQ(WithoutPorts(server.Commands()), expected);
        EXPECT_EQ(server.Failures(), Commands{});
    }
}

TEST_F(FaultTest, ALookUpSentAheadIsDroppedByAnyOtherCommand)
{
    ScriptedServer server([](ScriptedSession& s) {
        LoginWithSizeAndMdtm(s);
        s.Read();
        s.Reply("200 Switching to Binary mode.");
        ReadTogether(s, 2);
        s.Reply("550 No.");
        s.Reply("550 No.");
        ReadTogether(s, 4);
        s.Reply("350 Ready for RNTO.");
        s.Reply("250 Rename successful.");
        s.Reply("213 4096");
        s.Reply("213 20240101120000");
        s.Read();
        s.Reply("250 Deleted.");
        ReadTogether(s, 2);
        s.Reply("550 Could not get file size.");
        s.Reply("550 Could not get file modification time.");
    });
    auto connection = Connect(server);
    CFtpFileFind find(connection.get(), 1);
    EXPECT_FALSE(find.FindFile("x", INTERNET_FLAG_RELOAD));
    EXPECT_TRUE(connection->RenameAndLookUp("OrviktsnTemp.gif", "a.gif"));
    EXPECT_TRUE(connection->Remove("a.gif"));
    EXPECT_FALSE(find.FindFile("a.gif", INTERNET_FLAG_RELOAD));
    find.Close();
    connection.reset();
    Finished(server, {"USER bob", "PASS secret", "FEAT", "TYPE I", "SIZE x", "MDTM x", "RNFR OrviktsnTemp.gif",
                      "RNTO a.gif", "SIZE a.gif", "MDTM a.gif", "DELE a.gif", "SIZE a.gif", "MDTM a.gif", "QUIT"});
}

}  // namespace
