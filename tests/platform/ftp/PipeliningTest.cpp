// Commands sent ahead, at the session: a server that drops what it reads
// ahead, the folder entered again after CWDs sent ahead were dropped, and
// one command at a time with pipelining off. Each states the exact command
// sequence; replies come in random chunks.

#include "tests/platform/ftp/ScriptedServer.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpFileFind.h"
#include "platform/ftp/InternetSession.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Commands = std::vector<std::string>;
using test::ScriptedServer;
using test::ScriptedSession;

void LoginOfferingSizeAndMdtm(ScriptedSession& s)
{
    s.LoginOffering(" MDTM\r\n SIZE\r\n");
}

class Pipelining : public testing::Test {
protected:
    Pipelining()
    {
        m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 0);
        m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 2000);
    }

    std::unique_ptr<CFtpConnection> Connect(ScriptedServer& server)
    {
        return std::unique_ptr<CFtpConnection>(m_session.GetFtpConnection(server.Address(), "bob", "secret", 0, true));
    }

    static bool Found(CFtpConnection& c, const std::string& name, std::uint64_t& size)
    {
        CFtpFileFind find(&c, 1);
        if (!find.FindFile(name, INTERNET_FLAG_RELOAD))
            return false;
        find.FindNextFile();
        size = find.GetLength();
        return true;
    }

    static Commands Sent(ScriptedServer& server)
    {
        server.Finish();
        EXPECT_EQ(server.Failures(), Commands{});
        return server.Commands();
    }

    CInternetSession m_session;
};

// The first write of two commands is the probe: the server answers only
// the first, so the client gives up on that connection within the probe's
// wait, connects again and from then on sends one command at a time (the
// rename's RNTO only once RNFR was accepted).
TEST_F(Pipelining, AServerThatDropsCommandsSentAheadGetsThemOneAtATimeOnANewConnection)
{
    ScriptedServer server([](ScriptedSession& s) {
        LoginOfferingSizeAndMdtm(s);
        s.Read();
        s.Reply("200 Binary.");
        s.ReadDroppingTheRest();
        s.Reply("213 7");
        s.AcceptNextControl();
        LoginOfferingSizeAndMdtm(s);
        for (const char* reply : {"200 Binary.", "213 7", "213 20240101120000", "550 No such file."}) {
            s.Read();
            s.Reply(reply);
        }
    });
    auto c = Connect(server);
    std::uint64_t size = 0;
    ASSERT_TRUE(Found(*c, "a.gif", size));
    EXPECT_EQ(size, 7u);
    EXPECT_FALSE(c->Rename("gone.gif", "b.gif"));
    EXPECT_EQ(c->GetLastReplyText(), "550 No such file.");
    c.reset();
    EXPECT_EQ(Sent(server), (Commands{"USER bob", "PASS secret", "FEAT", "TYPE I", "SIZE a.gif", "dropped: MDTM a.gif",
                                      "USER bob", "PASS secret", "FEAT", "TYPE I", "SIZE a.gif", "MDTM a.gif",
                                      "RNFR gone.gif", "QUIT"}));
}

// Folder changes and look-ups sent ahead are answered in order; a command
// the caller sends instead drops the rest, and since a dropped CWD moved
// the server to another folder, the caller's folder is entered again first.
TEST_F(Pipelining, DroppedFolderChangesLeaveTheServerInTheCallersFolder)
{
    test::TableScript table;
    table.replies["SIZE f"] = {"213 3"};
    table.replies["MDTM f"] = {"213 20240101120000"};
    ScriptedServer server(std::ref(table));
    auto c = Connect(server);
    std::string root;
    ASSERT_TRUE(c->GetCurrentDirectory(root));
    EXPECT_EQ(c->SendAhead({{true, "/a"}, {false, "f"}}), 1u);  // the probe: CWD and TYPE
    EXPECT_TRUE(c->SetCurrentDirectory("/a"));
    std::uint64_t size = 0;
    EXPECT_TRUE(Found(*c, "f", size));
    EXPECT_EQ(c->SendAhead({{true, "/b"}, {false, "g"}}), 2u);
    EXPECT_TRUE(c->HasCommandsAhead());
    EXPECT_TRUE(c->Remove("x"));
    EXPECT_FALSE(c->HasCommandsAhead());
    c.reset();
    EXPECT_EQ(Sent(server), (Commands{"USER bob", "PASS secret", "FEAT", "PWD", "CWD /a", "TYPE I", "SIZE f", "MDTM f",
                                      "CWD /b", "SIZE g", "MDTM g", "CWD /a", "DELE x", "QUIT"}));
}

// Off: nothing is sent ahead, RNFR and RNTO go one at a time (RNTO not at
// all after a refused RNFR), and so do SIZE and MDTM.
TEST_F(Pipelining, OffSendsOneCommandAtATime)
{
    m_session.SetPipelining(false);
    test::TableScript table;
    table.replies["RNFR a"] = {"550 No such file."};
    ScriptedServer server(std::ref(table));
    auto c = Connect(server);
    EXPECT_EQ(c->SendAhead({{false, "f"}}), 0u);
    EXPECT_FALSE(c->Rename("a", "b"));
    EXPECT_TRUE(c->Rename("c", "d"));
    std::uint64_t size = 0;
    EXPECT_FALSE(Found(*c, "f", size));
    c.reset();
    EXPECT_EQ(Sent(server), (Commands{"USER bob", "PASS secret", "FEAT", "RNFR a", "RNFR c", "RNTO d", "TYPE I",
                                      "SIZE f", "MDTM f", "QUIT"}));
}

}  // namespace
