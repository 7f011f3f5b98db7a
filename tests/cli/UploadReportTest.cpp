// What `tessarine upload` prints for one run with a file sent, one unchanged
// and one skipped after a question, in each of its output forms, against a
// real server; and the summary's figures per server and for the run.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/servers/ServerAccount.h"
#include "tests/servers/TestServers.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace {

// The time and rate of a summary line vary from run to run.
std::string WithoutTimes(const std::string& text)
{
    static const std::regex times(" in [0-9.]+ s, [0-9.]+ [KMG]?i?B/s");
    static const std::regex jsonTimes("\"(elapsedMs|bytesPerSecond)\": [0-9]+");
    return std::regex_replace(std::regex_replace(text, times, " in T"), jsonTimes, "\"$1\": T");
}

class UploadReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTessarineDoc doc;
        doc.m_servers.push_back(test::ServerAccount(server, ""));
        for (const char* name : {"kept.html", "changed.html", "gone.html"}) {
            test::WriteFile(Local(name), std::string("first ") + name + "\n");
            FileEntry entry;
            entry.m_strFileName = Local(name);
            entry.m_wFlags = FILE_ASCII;
            doc.m_files.push_back(entry);
        }
        ASSERT_TRUE(SaveDocumentFile(doc, Config()));
        const test::ProgramResult first = test::RunTool({"upload", Config()});
        ASSERT_EQ(first.status, 0) << first.err;
        test::WriteFile(Local("changed.html"), "changed, and longer than before\n");
        fs::remove(Local("gone.html"));
    }
    std::string Local(const std::string& name) const { return dir.file(name); }
    std::string Config() const { return dir.file("site.tsn"); }
    std::string Line(const std::string& name, int bytes, const char* outcome) const
    {
        return server.Address() + ": " + Local(name) + " -> " + name + ", " + std::to_string(bytes) + " bytes, " +
               outcome + "\n";
    }

    test::PyFtpdServer server;
    test::TempDir dir{"tessarine-cli-report"};
};

TEST_F(UploadReportTest, EachOutputFormShowsWhatItPromises)
{
    const std::string sent = Line("changed.html", 32, "sent");
    const std::string skipped = Line("gone.html", 0, "skipped");
    const std::string summary = server.Address() + ": 1 sent (32 B), 1 unchanged, 1 skipped, 0 errors in T\n"
                                                   "Total: 1 sent (32 B), 1 unchanged, 1 skipped, 0 errors in T\n";
    struct Case {
        std::vector<std::string> flags;
        std::string out;
        bool notice;  // "Upload complete." on standard error
    };
    const Case cases[] = {
        {{}, sent + skipped + summary, true},
        {{"-v"}, Line("kept.html", 16, "unchanged") + sent + skipped + summary, true},
        {{"--quiet"}, skipped + summary, false},
        {{"--dry-run"}, Line("changed.html", 32, "would send") + skipped +
                            server.Address() + ": 1 would be sent (32 B), 1 unchanged, 1 skipped, 0 errors in 0.0 s\n"
                            "Total: 1 would be sent (32 B), 1 unchanged, 1 skipped, 0 errors in 0.0 s\n",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags.empty() ? "default" : c.flags[0]);
        std::vector<std::string> args = {"upload", Config(), "--no-save", "--yes"};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const test::ProgramResult result = test::RunTool(args);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_EQ(std::regex_replace(WithoutTimes(result.out), std::regex("in [0-9]\\.[0-9] s\n"), "in 0.0 s\n"),
                  c.out);
        // Problems and questions stay on standard error in every form.
        EXPECT_NE(result.err.find("Error opening file.\n\nDo you want to continue uploading files?\n"),
                  std::string::npos);
        EXPECT_NE(result.err.find("Not uploaded:\n  " + server.Address() + ": " + Local("gone.html")),
                  std::string::npos);
        EXPECT_EQ(result.err.find("Upload complete.\n") != std::string::npos, c.notice) << result.err;
    }
}

TEST_F(UploadReportTest, JsonIsOneObjectALineAndTheHumanSummaryMovesToStandardError)
{
    const test::ProgramResult result = test::RunTool({"upload", Config(), "--json", "--yes"});
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string head = "{\"type\": \"file\", \"server\": \"" + server.Address() + "\", \"localPath\": \"";
    EXPECT_EQ(WithoutTimes(result.out),
              head + Local("kept.html") + "\", \"destination\": \"kept.html\", \"bytes\": 16, \"outcome\": \"unchanged\"}\n" +
                  head + Local("changed.html") +
                  "\", \"destination\": \"changed.html\", \"bytes\": 32, \"outcome\": \"sent\"}\n" + head +
                  Local("gone.html") + "\", \"destination\": \"gone.html\", \"bytes\": 0, \"outcome\": \"skipped\", "
                  "\"error\": \"" + Local("gone.html") + "\\nError opening file.\"}\n"
                  "{\"type\": \"summary\", \"sent\": 1, \"sentBytes\": 32, \"unchanged\": 1, \"skipped\": 1, "
                  "\"errors\": 0, \"stopped\": 0, \"wouldSend\": 0, \"wouldSendBytes\": 0, \"elapsedMs\": T, "
                  "\"bytesPerSecond\": T, \"servers\": [{\"server\": \"" + server.Address() +
                  "\", \"sent\": 1, \"sentBytes\": 32, \"unchanged\": 1, \"skipped\": 1, \"errors\": 0, "
                  "\"stopped\": 0, \"wouldSend\": 0, \"wouldSendBytes\": 0, \"elapsedMs\": T}], \"exitStatus\": 1, "
                  "\"exitMeaning\": \"upload completed, but files were skipped\"}\n");
    EXPECT_NE(WithoutTimes(result.err).find("Total: 1 sent (32 B), 1 unchanged, 1 skipped, 0 errors in T\n"),
              std::string::npos)
        << result.err;
    // Saved as a normal run: the next run has only the skipped file left.
    EXPECT_NE(test::RunTool({"upload", Config(), "--yes"}).out.find("0 sent (0 B), 2 unchanged, 1 skipped"),
              std::string::npos);
}

TEST(UploadSummaryFigures, OneLinePerServerAndOneForTheRun)
{
    test::PyFtpdServer refusing;
    test::PyFtpdServer second;
    test::TempDir dir("tessarine-cli-report");
    CTessarineDoc doc;
    doc.m_servers.push_back(test::ServerAccount(refusing, ""));
    doc.m_servers[0].m_strPassword = "not the password";
    doc.m_servers.push_back(test::ServerAccount(second, "www"));
    for (const auto& [name, size] : {std::pair{"a.gif", 3000}, std::pair{"b.gif", 2 * 1024 * 1024}}) {
        test::WriteFile(dir.file(name), std::string(static_cast<std::size_t>(size), 'x'));
        FileEntry entry;
        entry.m_strFileName = dir.file(name);
        doc.m_files.push_back(entry);
    }
    ASSERT_TRUE(SaveDocumentFile(doc, dir.file("site.tsn")));
    const test::ProgramResult result = test::RunTool({"upload", dir.file("site.tsn"), "--yes", "--json"});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(WithoutTimes(result.err).find(
                  refusing.Address() + ": 0 sent (0 B), 0 unchanged, 0 skipped, 0 errors in T, stopped by a server error\n" +
                  second.Address() +
                  ": 2 sent (2.0 MiB), 0 unchanged, 0 skipped, 0 errors in T\n"
                  "Total: 2 sent (2.0 MiB), 0 unchanged, 0 skipped, 0 errors in T\n"),
              std::string::npos)
        << result.err;
    // The refused login is the first server's own problem, with its text.
    std::smatch match;
    ASSERT_TRUE(std::regex_search(result.out, match,
                                  std::regex("\\{\"server\": \"" + refusing.Address() +
                                             "\", \"sent\": 0, [^}]*, \"error\": \"([^\"]+)\"\\}")))
        << result.out;
    EXPECT_NE(match[1].str().find("530"), std::string::npos) << match[1];
    EXPECT_NE(result.out.find("\"sentBytes\": 2100152, \"unchanged\": 0"), std::string::npos) << result.out;
    EXPECT_TRUE(fs::exists(second.Root() / "www/b.gif"));
}

}  // namespace
