// The login folder as servers report it, and the empty folder that an
// unreadable report leaves: a bare "CWD" would send the files to whatever
// folder the server takes it for.

#include "tests/platform/ftp/ScriptedServer.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/InternetSession.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Commands = std::vector<std::string>;
using test::ScriptedServer;
using test::ScriptedSession;

TEST(LoginFolderTest, PwdReplyThenEnteringWhatItGave)
{
    struct Case {
        const char* reply;
        bool read;
        std::string folder;  // empty: nothing can be entered, no CWD goes out
    };
    const std::vector<Case> cases = {
        {"257 \"/home/u\" is the current directory.", true, "/home/u"},
        {"257 /home/u is cwd", true, "/home/u"},
        {"257 is cwd", false, ""},
        {"550 PWD not allowed.", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        ScriptedServer server([&](ScriptedSession& s) {
            s.Login();
            s.Read();
            s.Reply(c.reply);
            if (!c.folder.empty()) {
                s.Read();
                s.Reply("250 Ok.");
            }
        });
        CInternetSession session;
        std::unique_ptr<CFtpConnection> connection(session.GetFtpConnection(server.Address(), "bob", "secret", 0, false));
        std::string folder;
        EXPECT_EQ(connection->GetCurrentDirectory(folder), c.read);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(connection->SetCurrentDirectory(folder), c.read);
        if (!c.read)
            EXPECT_EQ(connection->GetLastReplyText(), "No folder was given; nothing was sent to the server.");
        connection.reset();
        server.Finish();
        Commands expected = {"USER bob", "PASS secret", "FEAT", "PWD"};
        if (c.read)
            expected.push_back("CWD " + c.folder);
        expected.push_back("QUIT");
        EXPECT_EQ(server.Commands(), expected);
        EXPECT_EQ(server.Failures(), Commands{});
    }
}

}  // namespace
