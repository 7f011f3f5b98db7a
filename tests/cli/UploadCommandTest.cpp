// `tessarine upload` used as a new user would: a site made, uploaded,
// changed and uploaded again; a dry run; Ctrl+C half way; the exit statuses.

#include "tests/support/Program.h"

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/servers/ServerAccount.h"
#include "tests/servers/TestServers.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct SiteFile {
    std::string name;
    std::string webFolder;
};

// A site of local files and its configuration file, written as the program writes it.
class Site {
public:
    Site(const test::FtpServer& server, const std::vector<SiteFile>& files, const std::string& base = "")
    {
        m_doc.m_servers.push_back(test::ServerAccount(server, base));
        for (const SiteFile& file : files) {
            test::WriteFile(Local(file.name), "content of " + file.name + "\n");
            FileEntry added;
            added.m_strFileName = Local(file.name);
            added.m_strWebFolder = file.webFolder;
            added.m_wFlags = CTessarineDoc::IsAsciiTextFile(added.m_strFileName) ? FILE_ASCII : 0;
            m_doc.m_files.push_back(added);
        }
        Save();
    }

    std::string Local(const std::string& name) const { return m_dir.file("site/" + name); }
    std::string Config() const { return m_dir.file("site.tsn"); }
    void Save() { ASSERT_TRUE(SaveDocumentFile(m_doc, Config())); }
    // The file entries as the configuration file now holds them.
    std::vector<FileEntry> LoadFiles() const
    {
        CTessarineDoc doc;
        test::ScriptedMessageBox quiet;
        EXPECT_EQ(OpenDocumentFile(doc, Config()), OpenOutcome::opened);
        return doc.m_files;
    }

private:
    test::TempDir m_dir{"tessarine-cli-site"};
    CTessarineDoc m_doc;
};

std::vector<SiteFile> TwentyNestedFiles()
{
    std::vector<SiteFile> files;
    const char* folders[] = {"", "css", "img", "img/icons", "docs/2024/notes"};
    for (int i = 0; i < 20; ++i) {
        const std::string folder = folders[i % 5];
        const char* ext = i % 3 == 0 ? ".html" : i % 3 == 1 ? ".css" : ".gif";
        files.push_back({"f" + std::to_string(i) + ext, folder});
    }
    return files;
}

// Lines of text that end with suffix.
int CountLinesEndingWith(const std::string& text, const std::string& suffix)
{
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.ends_with(suffix) ? 1 : 0;
    return count;
}

std::size_t CountWrites(const test::FtpServer& server)
{
    std::size_t count = 0;
    for (const char* verb : {"MKD", "STOR", "RNFR", "RNTO", "DELE"})
        count += server.CommandsStartingWith(verb).size();
    return count;
}

TEST(UploadCommand, ANewUsersSiteIsSentAndThenOnlyTheChangedFile)
{
    test::PyFtpdServer server;
    Site site(server, TwentyNestedFiles(), "www");

    const test::ProgramResult first = test::RunTool({"upload", site.Config()});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(CountLinesEndingWith(first.out, ", sent"), 20) << first.out;
    EXPECT_EQ(first.err, "Upload complete.\n");
    EXPECT_EQ(test::ReadFile((server.Root() / "www/docs/2024/notes/f4.css").string()), "content of f4.css\n");
    EXPECT_NE(site.LoadFiles()[4].m_timeLocal.GetTime(), 0);

    test::WriteFile(site.Local("f7.css"), "changed, and longer than before\n");
    server.ClearCommands();
    const test::ProgramResult second = test::RunTool({"upload", site.Config()});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(CountLinesEndingWith(second.out, ", sent"), 1) << second.out;
    // Unchanged files have no line of their own by default; the summary counts them.
    EXPECT_EQ(CountLinesEndingWith(second.out, ", unchanged"), 0);
    EXPECT_NE(second.out.find(": 1 sent (32 B), 19 unchanged, 0 skipped, 0 errors in "), std::string::npos)
        << second.out;
    EXPECT_NE(second.out.find("f7.css -> www/img/f7.css, 32 bytes, sent"), std::string::npos) << second.out;
    EXPECT_EQ(server.CommandsStartingWith("STOR").size(), 1u);
    EXPECT_EQ(test::ReadFile((server.Root() / "www/img/f7.css").string()), "changed, and longer than before\n");
}

TEST(UploadCommand, ADryRunSendsAndSavesNothing)
{
    test::PyFtpdServer server;
    Site site(server, TwentyNestedFiles(), "www");
    const std::string before = test::ReadFile(site.Config());
    const test::ProgramResult result = test::RunTool({"upload", site.Config(), "--dry-run"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(CountLinesEndingWith(result.out, ", would send"), 20) << result.out;
    EXPECT_EQ(CountWrites(server), 0u);
    EXPECT_FALSE(fs::exists(server.Root() / "www"));
    EXPECT_EQ(test::ReadFile(site.Config()), before);
}

TEST(UploadCommand, TheExitStatusTellsACleanRunFromOneThatWentOnOrStopped)
{
    struct Case {
        std::vector<std::string> flags;
        int status;
        bool secondSent;
    };
    const Case cases[] = {
        {{"--yes"}, 1, true},
        {{"--no"}, 6, false},
        {{}, 6, false},  // no terminal: questions are answered No
    };
    for (const Case& c : cases) {
        test::PyFtpdServer server;
        Site site(server, {{"gone.html", ""}, {"here.html", ""}});
        fs::remove(site.Local("gone.html"));
        std::vector<std::string> args = {"upload", site.Config()};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const test::ProgramResult result = test::RunTool(args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(site.Local("gone.html") + "\nError opening file.\n\n"
                                  "Do you want to continue uploading files?\n"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("Not uploaded:\n  " + server.Address() + ": " + site.Local("gone.html")),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(fs::exists(server.Root() / "here.html"), c.secondSent);
        EXPECT_EQ(site.LoadFiles()[1].m_timeLocal.GetTime() != 0, c.secondSent);
    }
}

TEST(UploadCommand, NoSaveLeavesTheConfigurationAsItWas)
{
    test::PyFtpdServer server;
    Site site(server, {{"index.html", ""}});
    const std::string before = test::ReadFile(site.Config());
    EXPECT_EQ(test::RunTool({"upload", "--no-save", site.Config()}).status, 0);
    EXPECT_TRUE(fs::exists(server.Root() / "index.html"));
    EXPECT_EQ(test::ReadFile(site.Config()), before);
}

TEST(UploadCommand, UsageAndLoadFailures)
{
    EXPECT_EQ(test::RunTool({"upload"}).status, 2);
    EXPECT_EQ(test::RunTool({"upload", "a.tsn", "--yes", "--no"}).status, 2);
    test::TempDir dir;
    const std::string empty = dir.file("empty.tsn");
    ASSERT_EQ(test::RunTool({"new", empty}).status, 0);
    const test::ProgramResult nothing = test::RunTool({"upload", empty});
    EXPECT_EQ(nothing.status, 4);
    EXPECT_EQ(nothing.err, "tessarine: " + empty +
                               ": nothing to upload: a configuration needs at least one server and one file\n");
    const test::ProgramResult missing = test::RunTool({"upload", "/nonexistent/site.tsn"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "tessarine: /nonexistent/site.tsn was not found.\n");
}

// Waits (without a deadline of its own: ctest's time-out ends a hang) until
// the server holds path.
void WaitUntilExists(const fs::path& path)
{
    std::error_code error;
    while (!fs::exists(path, error))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST(UploadCommand, CtrlCStopsTheRunTheDesignedWayAndASecondRunIsRefusedMeanwhile)
{
    // pyftpdlib lets the first two seconds' worth of a transfer through at
    // once and then holds the connection: six files of 80 KiB at 32 KiB/s
    // take about two seconds each.
    test::PyFtpdOptions serverOptions;
    serverOptions.uploadBytesPerSecond = 32 * 1024;
    test::PyFtpdServer server(serverOptions);
    std::vector<SiteFile> files;
    for (int i = 0; i < 6; ++i)
        files.push_back({"f" + std::to_string(i) + ".gif", ""});
    Site site(server, files);
    for (const SiteFile& file : files)
        test::WriteFile(site.Local(file.name), std::string(80 * 1024, 'g'));
    test::Program running(test::ToolCommand({"upload", site.Config()}));
    WaitUntilExists(server.Root() / "f0.gif");

    const test::ProgramResult second = test::RunTool({"upload", site.Config()});
    EXPECT_EQ(second.status, 6);
    EXPECT_EQ(second.err, site.Config() + "\nThis web site configuration is in use by another run or edit.\n\n"
                                          "Try again when it has ended.\n");

    running.Signal(SIGINT);
    EXPECT_EQ(running.Wait(), 6) << running.Stderr();
    EXPECT_EQ(running.Stderr(), "");
    const int sent = CountLinesEndingWith(running.Stdout(), ", sent");
    EXPECT_GE(sent, 1);
    EXPECT_LT(sent, 6);
    // Saved with what was sent: a record for each file sent, none for the rest.
    int recorded = 0;
    for (const FileEntry& file : site.LoadFiles())
        recorded += file.m_timeLocal.GetTime() != 0 ? 1 : 0;
    EXPECT_EQ(recorded, sent);
}

TEST(UploadCommand, AFailedSaveIsAnErrorAndLeavesTheOldFileWhole)
{
    test::PyFtpdOptions serverOptions;
    serverOptions.uploadBytesPerSecond = 32 * 1024;
    test::PyFtpdServer server(serverOptions);
    Site site(server, {{"a.gif", ""}, {"b.gif", ""}});
    test::WriteFile(site.Local("a.gif"), std::string(80 * 1024, 'a'));
    test::WriteFile(site.Local("b.gif"), std::string(80 * 1024, 'b'));
    const std::string before = test::ReadFile(site.Config());
    test::Program running(test::ToolCommand({"upload", site.Config()}));
    WaitUntilExists(server.Root() / "a.gif");
    // While b.gif is on its way, the configuration's folder becomes a file.
    const fs::path folder = fs::path(site.Config()).parent_path();
    const fs::path moved = folder.string() + ".moved";
    fs::rename(folder, moved);
    test::WriteFile(folder.string(), "not a folder");
    EXPECT_EQ(running.Wait(), 5) << running.Stderr();
    EXPECT_NE(running.Stderr().find("site.tsn"), std::string::npos) << running.Stderr();
    EXPECT_EQ(test::ReadFile((moved / "site.tsn").string()), before);
    fs::remove(folder);
    fs::rename(moved, folder);
}

}  // namespace
