// The upload run with commands sent ahead: against a scripted server that
// answers each command by a small table of replies (in random chunks), the
// exact command sequence the run sends; against vsftpd, that a run with and
// without pipelining sends the same commands for each file.

#include "tests/platform/ftp/ScriptedServer.h"
#include "tests/upload/UploadTestSupport.h"

#include "model/FileStatus.h"
#include "platform/framework/MessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

namespace {

using Commands = std::vector<std::string>;
using test::ScriptedServer;
using test::ScriptedSession;

constexpr std::int32_t kRemoteTime = 1704110400;  // 2024-01-01 12:00 UTC
const char* const kRemoteTimeReply = "213 20240101120000";

ServerEntry Account(ScriptedServer& server, const std::string& baseFolder)
{
    ServerEntry entry;
    entry.m_strServerName = server.Address();
    entry.m_strUserName = "bob";
    entry.m_strPassword = "secret";
    entry.m_strBaseFolder = baseFolder;
    return entry;
}

class PipelinedUpload : public testing::Test {
protected:
    PipelinedUpload() { site.ui.options.passive = true; }

    // A local file whose upload record says it was sent as remoteSize bytes
    // at kRemoteTime and has not changed here since.
    void AddSentFile(const std::string& name, const std::string& webFolder, DWORD remoteSize)
    {
        site.AddFile(name, "local", webFolder);
        FileEntry& entry = site.doc.m_files.back();
        const auto status = GetLocalFileStatus(entry.m_strFileName);
        entry.m_timeLocal = status->m_mtime;
        entry.m_dwLocalSize = status->m_size;
        entry.m_timeRemote = CTime(kRemoteTime);
        entry.m_dwRemoteSize = remoteSize;
    }

    static Commands Sent(ScriptedServer& server)
    {
        server.Finish();
        EXPECT_EQ(server.Failures(), Commands{});
        return server.Commands();
    }

    test::UploadFixture site;
};

const Commands kLogin = {"USER bob", "PASS secret", "FEAT", "PWD"};

Commands Then(Commands first, const Commands& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// Two files of one target name in one folder, both unchanged here: their
// look-ups go ahead in one write. The server says the first has changed, so
// it is sent, and the second one's answer, read before that, is not used:
// the second is asked again after the rename.
TEST_F(PipelinedUpload, ALookUpAheadOfAFileOfTheSameNameIsAskedAgainAfterTheSend)
{
    test::TableScript table;
    table.replies["SIZE zero.gif"] = {"213 5"};
    table.replies["MDTM zero.gif"] = {kRemoteTimeReply};
    // Ahead for the first a.gif (changed), ahead for the second (would say
    // changed too), after the rename, and asked again for the second.
    table.replies["SIZE a.gif"] = {"213 999", "213 1", "213 5", "213 5"};
    table.replies["MDTM a.gif"] = {kRemoteTimeReply, kRemoteTimeReply, kRemoteTimeReply, kRemoteTimeReply};
    ScriptedServer server(std::ref(table));
    site.doc.m_servers.push_back(Account(server, ""));
    AddSentFile("zero.gif", "", 5);
    AddSentFile("one/a.gif", "www", 5);
    AddSentFile("two/a.gif", "www", 5);
    site.Upload();
    EXPECT_EQ(site.ui.OutcomeList(),
              (std::vector<UploadOutcome>{UploadOutcome::Unchanged, UploadOutcome::Sent, UploadOutcome::Unchanged}));
    EXPECT_EQ(site.Texts(), Commands{test::kUploadComplete});
    EXPECT_EQ(Sent(server),
              Then(kLogin, {// the probe: two commands
                            "CWD /", "TYPE I", "SIZE zero.gif", "MDTM zero.gif",
                            // the next stretch in one write
                            "CWD /www", "SIZE a.gif", "MDTM a.gif", "SIZE a.gif", "MDTM a.gif",
                            // the first a.gif is sent
                            "EPSV", "STOR OrviktsnTemp.gif", "RNFR OrviktsnTemp.gif", "RNTO a.gif", "SIZE a.gif",
                            "MDTM a.gif",
                            // the second is asked again; the EPSV named ahead goes unused
                            "SIZE a.gif", "MDTM a.gif", "EPSV", "QUIT"}));
}

// One CWD to the absolute folder; when it fails, the designed two steps
// (sent together), so that the designed question comes as designed.
TEST_F(PipelinedUpload, AFailedCombinedFolderChangeFallsBackToTheTwoDesignedSteps)
{
    struct Case {
        const char* name;
        std::deque<std::string> rootReplies;
        Commands texts;
        Commands commands;
    };
    const Case cases[] = {
        {"the folder is made",
         {"250 Directory changed."},
         {test::kUploadComplete},
         {"CWD /www/new", "CWD /", "CWD www/new", "MKD www", "CWD www", "CWD /", "MKD www/new", "CWD www/new", "TYPE I",
          "EPSV", "STOR OrviktsnTemp.html", "RNFR OrviktsnTemp.html", "RNTO page.html", "SIZE page.html",
          "MDTM page.html", "QUIT"}},
        {"the root is refused",
         {"550 No."},
         {"Error setting folder to the <root>." + test::kContinueFiles, test::kUploadComplete},
         {"CWD /www/new", "CWD /", "CWD www/new", "QUIT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::UploadFixture fresh;
        fresh.ui.options.passive = true;
        test::TableScript table;
        table.replies["CWD /www/new"] = {"550 No such folder."};
        table.replies["CWD /"] = c.rootReplies;
        table.replies["CWD www/new"] = {"550 No such folder."};
        table.replies["MKD www"] = {"550 Exists."};
        ScriptedServer server(std::ref(table));
        fresh.doc.m_servers.push_back(Account(server, "www"));
        fresh.box.Answer(IDYES);
        fresh.AddFile("page.html", "<p>", "new");
        fresh.Upload();
        EXPECT_EQ(fresh.Texts(), c.texts);
        EXPECT_EQ(Sent(server), Then(kLogin, c.commands));
    }
}

// The next file's EPSV goes with the rename. A refused rename asks its
// question before anything else that changes the server is sent: No stops
// the run there; Yes goes on, and the next STOR uses the port named ahead.
TEST_F(PipelinedUpload, ARenameRefusedWithTheNextEpsvSentAsksBeforeAnythingElseChanges)
{
    const Commands firstTwo = {"CWD /", "TYPE I", "EPSV", "STOR OrviktsnTemp.gif", "RNFR OrviktsnTemp.gif",
                               "RNTO a.gif", "SIZE a.gif", "MDTM a.gif", "EPSV", "STOR OrviktsnTemp.gif",
                               "RNFR OrviktsnTemp.gif", "RNTO b.gif", "SIZE b.gif", "MDTM b.gif", "EPSV"};
    struct Case {
        int answer;
        Commands rest;
    };
    const Case cases[] = {
        {IDNO, {"QUIT"}},
        {IDYES,
         {"CWD /", "STOR OrviktsnTemp.gif", "RNFR OrviktsnTemp.gif", "RNTO c.gif", "SIZE c.gif", "MDTM c.gif",
          "QUIT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer == IDNO ? "No" : "Yes");
        test::UploadFixture run;
        run.ui.options.passive = true;
        test::TableScript table;
        table.replies["RNTO b.gif"] = {"553 Rename refused."};
        ScriptedServer server(std::ref(table));
        run.doc.m_servers.push_back(Account(server, ""));
        for (const char* name : {"a.gif", "b.gif", "c.gif"})
            run.AddFile(name, "data", "");
        run.box.Answer(c.answer);
        run.Upload();
        EXPECT_EQ(run.Texts().at(0), test::kRenameQuestion);
        EXPECT_EQ(Sent(server), Then(kLogin, Then(firstTwo, c.rest)));
    }
}

// vsftpd's command log of a first upload into new folders and of a run with
// two files changed, with and without pipelining: the same commands in the
// same order, but for the EPSV named ahead (one per rename that has a file
// after it).
TEST(PipelinedUploadOnVsftpd, SendsTheSameCommandsAsOneCommandAtATime)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    const auto withoutEpsv = [](Commands commands) {
        commands.erase(std::remove(commands.begin(), commands.end(), "EPSV"), commands.end());
        return commands;
    };
    std::vector<Commands> logs;
    for (const bool pipelining : {false, true}) {
        SCOPED_TRACE(pipelining ? "pipelining" : "one at a time");
        test::VsftpdServer server;
        test::UploadFixture site;
        site.ui.options.passive = true;
        site.ui.options.noPipelining = !pipelining;
        site.AddServer(server, "pub/site");
        const char* folders[] = {"", "css", "img", "img/icons"};
        for (int i = 0; i < 12; ++i)
            site.AddFile("f" + std::to_string(i) + ".gif", "content " + std::to_string(i), folders[i % 4]);
        site.Upload();
        for (const int changed : {3, 8})
            test::WriteFile(site.doc.m_files[changed].m_strFileName, "changed, and longer");
        site.ui.outcomes.clear();
        site.Upload();
        const std::vector<UploadOutcome> outcomes = site.ui.OutcomeList();
        EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), UploadOutcome::Sent), 2);
        EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), UploadOutcome::Unchanged), 10);
        logs.push_back(server.Commands());
    }
    EXPECT_EQ(withoutEpsv(logs[1]), withoutEpsv(logs[0]));
    EXPECT_GT(std::count(logs[1].begin(), logs[1].end(), "EPSV"), std::count(logs[0].begin(), logs[0].end(), "EPSV"));
    EXPECT_GT(logs[0].size(), 100u);
}

}  // namespace
