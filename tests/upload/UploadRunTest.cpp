// The upload run against real servers, checked on the servers' disks and in
// their command logs; every message compared with its designed text and style.

#include "tests/upload/UploadTestSupport.h"

#include "common/RegistryHelpers.h"
#include "model/FileStatus.h"
#include "upload/RunLock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using test::ShownMessage;

namespace {

const std::string kHtml = "<html>\n<body>Hello</body>\n</html>\n";

std::vector<ShownMessage> Complete()
{
    return {{kAppCaption, test::kUploadComplete, test::kNoticeStyle}};
}

// Names in folder on disk that are temporary upload names.
std::vector<std::string> TemporaryFilesBelow(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (name.rfind("OrviktsnTemp", 0) == 0 || name.rfind("OrviktsnOld", 0) == 0)
            found.push_back(fs::relative(item.path(), folder).string());
    }
    return found;
}

std::size_t CountStarting(const std::vector<std::string>& commands, const std::string& prefix)
{
    return std::count_if(commands.begin(), commands.end(),
                         [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
}

// Commands that change something on the server.
std::size_t CountWrites(const std::vector<std::string>& commands)
{
    std::size_t count = 0;
    for (const char* verb : {"MKD", "STOR", "RNFR", "RNTO", "DELE", "RMD"})
        count += CountStarting(commands, verb);
    return count;
}

class UploadRun : public ::testing::TestWithParam<bool> {
protected:
    UploadRun() { site.ui.options.passive = GetParam(); }
    test::UploadFixture site;
};

INSTANTIATE_TEST_SUITE_P(Modes, UploadRun, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "passive" : "active"; });

TEST_P(UploadRun, FirstRunCreatesFoldersAndSendsThenASecondRunSendsNothing)
{
    test::PyFtpdServer server;
    site.AddServer(server, "www");
    site.AddFile("index.html", kHtml, "", true);
    site.AddFile("icon.gif", std::string(3000, '\x89'), "images/icons");
    site.AddFile("README", "plain text\n", "docs");
    site.AddFile("empty.txt", "", "docs", true);

    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    EXPECT_TRUE(site.doc.IsModified());
    const fs::path www = server.Root() / "www";
    EXPECT_EQ(test::ReadFile((www / "index.html").string()), kHtml);
    EXPECT_EQ(test::ReadFile((www / "images/icons/icon.gif").string()), std::string(3000, '\x89'));
    EXPECT_EQ(test::ReadFile((www / "docs/README").string()), "plain text\n");
    EXPECT_TRUE(fs::is_regular_file(www / "docs/empty.txt"));
    EXPECT_EQ(fs::file_size(www / "docs/empty.txt"), 0u);
    EXPECT_EQ(TemporaryFilesBelow(server.Root()), std::vector<std::string>{});
    const auto commands = server.Commands();
    EXPECT_EQ(CountStarting(commands, "STOR OrviktsnTemp.html"), 1u);
    EXPECT_EQ(CountStarting(commands, "STOR OrviktsnTemp.gif"), 1u);
    EXPECT_EQ(CountStarting(commands, "STOR OrviktsnTemp"), 4u);  // README's has no extension
    EXPECT_EQ(CountStarting(commands, "RNTO README"), 1u);
    // The gif went out in the designed blocks; the progress followed them.
    const std::vector<std::int64_t> gifBlocks = {1024, 2048, 3000};
    EXPECT_NE(std::search(site.ui.bytesSent.begin(), site.ui.bytesSent.end(), gifBlocks.begin(), gifBlocks.end()),
              site.ui.bytesSent.end());

    for (const FileEntry& file : site.doc.m_files) {
        const auto local = GetLocalFileStatus(file.m_strFileName);
        ASSERT_TRUE(local);
        EXPECT_EQ(file.m_timeLocal, local->m_mtime) << file.m_strFileName;
        EXPECT_EQ(file.m_dwLocalSize, local->m_size) << file.m_strFileName;
        EXPECT_EQ(file.m_dwRemoteSize, local->m_size) << file.m_strFileName;
        EXPECT_NE(file.m_timeRemote.GetTime(), 0) << file.m_strFileName;
    }

    server.ClearCommands();
    site.box.Clear();
    site.doc.SetModifiedFlag(false);
    site.ui.outcomes.clear();
    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    EXPECT_TRUE(site.doc.IsModified());
    EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>(4, UploadOutcome::Unchanged));
    EXPECT_EQ(CountWrites(server.Commands()), 0u);
    EXPECT_EQ(CountStarting(server.Commands(), "PASV") + CountStarting(server.Commands(), "EPSV") +
                  CountStarting(server.Commands(), "PORT") + CountStarting(server.Commands(), "EPRT"),
              0u)
        << "an unchanged file must cost no data connection";
}

TEST_P(UploadRun, FilesOfOneFolderCostNoFolderCommandsAfterTheFirst)
{
    test::PyFtpdServer server;
    site.AddServer(server, "www");
    for (const char* name : {"a.html", "b.html", "c.html"})
        site.AddFile(name, kHtml, "docs", true);
    site.Upload();
    server.ClearCommands();
    site.Upload();
    const auto commands = server.Commands();
    // One CWD, to the folder's absolute path (the login folder is "/").
    EXPECT_EQ(CountStarting(commands, "CWD"), 1u);
    EXPECT_EQ(CountStarting(commands, "MLST"), 3u);
}

struct ServerKind {
    const char* name;
    bool vsftpd;
};

class UploadOnEachServer : public ::testing::TestWithParam<ServerKind> {
protected:
    void SetUp() override
    {
        if (GetParam().vsftpd) {
            if (!test::VsftpdServer::Available())
                GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
            server = std::make_unique<test::VsftpdServer>();
        } else {
            server = std::make_unique<test::PyFtpdServer>();
        }
    }
    // The base folder text for folder below the server's writable area.
    std::string Base(const std::string& folder) const
    {
        const std::string area = server->UploadFolder();
        return area.empty() ? folder : area + "/" + folder;
    }
    test::UploadFixture site;
    std::unique_ptr<test::FtpServer> server;
};

INSTANTIATE_TEST_SUITE_P(Servers, UploadOnEachServer,
                         ::testing::Values(ServerKind{"pyftpdlib", false}, ServerKind{"vsftpd", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UploadOnEachServer, AnExistingFolderLevelIsEnteredWithoutAQuestion)
{
    fs::create_directories(server->UploadRoot() / "www");
    fs::permissions(server->UploadRoot() / "www", fs::perms::all);
    site.AddServer(*server, Base("www"));
    site.AddFile("icon.gif", "GIF89a", "images/icons");
    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    EXPECT_EQ(test::ReadFile((server->UploadRoot() / "www/images/icons/icon.gif").string()), "GIF89a");
    EXPECT_FALSE(fs::exists(server->UploadRoot() / "www/www"));
}

TEST_P(UploadOnEachServer, AsciiFilesArriveAsTheServerStoresThem)
{
    site.AddServer(*server, Base(""));
    site.AddFile("page.html", "a\nb\n", "", true);
    site.AddFile("data.bin", "a\nb\n", "");
    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    const std::string ascii = test::ReadFile((server->UploadRoot() / "page.html").string());
    EXPECT_EQ(ascii, GetParam().vsftpd ? "a\r\nb\r\n" : "a\nb\n");
    EXPECT_EQ(test::ReadFile((server->UploadRoot() / "data.bin").string()), "a\nb\n");
}

TEST_P(UploadOnEachServer, ALevelThatCanNeitherBeMadeNorEnteredAsksForEachLevel)
{
    fs::create_directories(server->UploadRoot());
    test::WriteFile((server->UploadRoot() / "www").string(), "a file, not a folder");
    site.AddServer(*server, Base("www"));
    site.AddFile("a.gif", "GIF", "images");
    site.AddFile("b.gif", "GIF", "");
    site.box.Answer(IDYES);
    site.box.Answer(IDYES);
    site.box.Answer(IDYES);
    site.Upload();
    const std::string www = Base("www");
    const std::vector<ShownMessage> expected = {
        {kAppCaption, www + "\nError creating folder." + test::kContinueFiles, test::kQuestionStyle},
        {kAppCaption, www + "/images\nError creating folder." + test::kContinueFiles, test::kQuestionStyle},
        {kAppCaption, www + "\nError creating folder." + test::kContinueFiles, test::kQuestionStyle},
        {kAppCaption, test::kUploadComplete, test::kNoticeStyle},
    };
    EXPECT_EQ(site.box.shown(), expected);
    EXPECT_EQ(site.ui.OutcomeList(), (std::vector<UploadOutcome>{UploadOutcome::Skipped, UploadOutcome::Skipped}));
}

TEST(UploadRunFolders, NoToAFolderQuestionStopsAtOnce)
{
    test::PyFtpdServer server;
    test::UploadFixture site;
    test::WriteFile((server.Root() / "www").string(), "a file");
    site.AddServer(server, "www");
    site.AddFile("a.gif", "GIF", "images/icons");
    site.AddFile("b.gif", "GIF", "");
    site.box.Answer(IDNO);
    site.Upload();
    EXPECT_EQ(site.Texts(), std::vector<std::string>{"www\nError creating folder." + test::kContinueFiles});
    EXPECT_EQ(CountStarting(server.Commands(), "MKD"), 1u);
    EXPECT_EQ(CountStarting(server.Commands(), "STOR"), 0u);
    EXPECT_TRUE(site.doc.IsModified());
}

TEST(UploadRunFolders, AnAbsoluteBaseFolderIsMadeFromTheTopWhateverTheLoginFolder)
{
    test::PyFtpdOptions serverOptions;
    serverOptions.loginFolder = "/home/anna";
    test::PyFtpdServer server(serverOptions);
    test::UploadFixture site;
    site.AddServer(server, "/site/");
    site.AddFile("index.html", kHtml, "", true);
    site.AddFile("a.gif", "GIF", "images");
    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    EXPECT_EQ(test::ReadFile((server.Root() / "site/index.html").string()), kHtml);
    EXPECT_EQ(test::ReadFile((server.Root() / "site/images/a.gif").string()), "GIF");
    EXPECT_FALSE(fs::exists(server.Root() / "home/anna/site"));
    server.ClearCommands();
    site.Upload();
    EXPECT_EQ(site.ui.outcomes.back().outcome, UploadOutcome::Unchanged);
    EXPECT_EQ(CountWrites(server.Commands()), 0u);
}

TEST(UploadRunFolders, EmptyBaseAndWebFolderSendToTheLoginFolder)
{
    test::PyFtpdOptions serverOptions;
    serverOptions.loginFolder = "/home/anna";
    test::PyFtpdServer server(serverOptions);
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("index.html", kHtml, "", true);
    site.Upload();
    EXPECT_EQ(site.ui.outcomes.at(0).destination, "index.html");
    EXPECT_EQ(test::ReadFile((server.Root() / "home/anna/index.html").string()), kHtml);
}

TEST(UploadRunServers, TwoServersLeaveTheSecondsRemoteValuesInTheRecord)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    // vsftpd keeps CRLF and pyftpdlib LF, so the two listings differ in size.
    test::VsftpdServer first;
    test::PyFtpdServer second;
    test::UploadFixture site;
    site.AddServer(first, first.UploadFolder());
    site.AddServer(second, "");
    site.AddFile("page.html", "a\nb\n", "", true);
    site.Upload();
    EXPECT_EQ(site.box.shown(), Complete());
    EXPECT_EQ(site.doc.m_files[0].m_dwRemoteSize, 4u);
    // The first server's copy does not match the record: it is sent again.
    site.Upload();
    EXPECT_EQ(site.ui.outcomes.at(2).outcome, UploadOutcome::Sent);
    EXPECT_EQ(site.ui.outcomes.at(2).server, first.Address());
}

TEST(UploadRunServers, ARefusedLoginAsksAboutTheRemainingSitesOrStopsOnTheLast)
{
    struct Case {
        const char* name;
        int servers;  // the first is refused
        int answer;
        bool secondReceives;
        bool complete;
    };
    const Case cases[] = {
        {"two servers, Yes", 2, IDYES, true, true},
        {"two servers, No", 2, IDNO, false, false},
        {"one server", 1, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyFtpdOptions refusingOptions;
        refusingOptions.password = "right";
        test::PyFtpdServer refusing(refusingOptions);
        test::PyFtpdServer good;
        test::UploadFixture site;
        site.AddServer(refusing, "");
        site.doc.m_servers[0].m_strPassword = "wrong";
        if (c.servers == 2)
            site.AddServer(good, "");
        site.AddFile("index.html", kHtml, "", true);
        if (c.answer)
            site.box.Answer(c.answer);
        site.Upload();
        ASSERT_FALSE(site.box.shown().empty());
        const ShownMessage& first = site.box.shown()[0];
        EXPECT_EQ(first.text.substr(0, 4), "530 ");
        if (c.servers == 2) {
            EXPECT_EQ(first.style, test::kQuestionStyle);
            EXPECT_TRUE(first.text.ends_with(test::kContinueSites)) << first.text;
        } else {
            EXPECT_EQ(first.style, test::kErrorStyle);
            EXPECT_EQ(first.text.find('\n'), std::string::npos) << first.text;
        }
        EXPECT_EQ(fs::exists(good.Root() / "index.html"), c.secondReceives);
        EXPECT_EQ(site.box.shown().back().text == test::kUploadComplete, c.complete);
        EXPECT_EQ(site.box.shown().size(), c.complete ? 2u : 1u);
        EXPECT_TRUE(site.doc.IsModified());
    }
}

TEST(UploadRunServers, AnErrorOnTheLastFileEndsTheRunThoughServersRemain)
{
    test::PyFtpdOptions noStorOptions;
    noStorOptions.removeCommands = {"STOR"};
    test::PyFtpdServer noStor(noStorOptions);
    test::PyFtpdServer untouched;
    test::UploadFixture site;
    site.AddServer(noStor, "");
    site.AddServer(untouched, "");
    site.AddFile("a.html", kHtml, "", true);
    site.AddFile("b.html", kHtml, "", true);
    site.box.Answer(IDYES);
    site.Upload();
    ASSERT_EQ(site.box.shown().size(), 2u);
    EXPECT_TRUE(site.box.shown()[0].text.ends_with(test::kContinueFiles));
    EXPECT_EQ(site.box.shown()[0].style, test::kQuestionStyle);
    EXPECT_EQ(site.box.shown()[1].style, test::kErrorStyle);
    EXPECT_EQ(site.box.shown()[1].text.find("Do you want"), std::string::npos);
    EXPECT_EQ(site.ui.servers, std::vector<std::string>{noStor.Address()});
    EXPECT_TRUE(untouched.Commands().empty());
    EXPECT_EQ(CountStarting(noStor.Commands(), "DELE OrviktsnTemp.html"), 2u);
    EXPECT_EQ(site.doc.m_files[0].m_timeLocal.GetTime(), 0);
}

TEST(UploadRunFiles, ALocalFileThatCannotBeOpenedAsksAndYesGoesOn)
{
    for (const int answer : {IDYES, IDNO}) {
        test::PyFtpdServer server;
        test::UploadFixture site;
        site.AddServer(server, "");
        site.AddFile("gone.html", kHtml, "", true);
        fs::remove(site.LocalPath("gone.html"));
        site.AddFile("here.html", kHtml, "", true);
        site.box.Answer(answer);
        site.Upload();
        std::vector<std::string> expected = {site.LocalPath("gone.html") + "\nError opening file." +
                                             test::kContinueFiles};
        if (answer == IDYES)
            expected.push_back(test::kUploadComplete);
        EXPECT_EQ(site.Texts(), expected);
        EXPECT_EQ(fs::exists(server.Root() / "here.html"), answer == IDYES);
        if (answer == IDNO) {
            EXPECT_EQ(server.Commands().back(), "QUIT");
        }
    }
}

TEST(UploadRunFiles, CancelMidFileLeavesTheTemporaryFileAndTheRecord)
{
    test::PyFtpdServer server;
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("big.bin", std::string(1 << 20, 'x'), "");
    site.AddFile("after.html", kHtml, "", true);
    site.ui.cancelAtBytes = 300 * 1024;
    site.Upload();
    EXPECT_EQ(site.Texts(), std::vector<std::string>{});
    EXPECT_TRUE(site.doc.IsModified());
    EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>{UploadOutcome::Stopped});
    EXPECT_EQ(fs::file_size(server.Root() / "OrviktsnTemp.bin"), 300u * 1024);
    EXPECT_FALSE(fs::exists(server.Root() / "big.bin"));
    EXPECT_FALSE(fs::exists(server.Root() / "after.html"));
    EXPECT_EQ(CountStarting(server.Commands(), "RNFR") + CountStarting(server.Commands(), "DELE"), 0u);
    EXPECT_EQ(site.doc.m_files[0].m_timeLocal.GetTime(), 0);
    EXPECT_EQ(site.doc.m_files[0].m_dwLocalSize, 0u);
}

TEST(UploadRunFiles, AQuitMessageStopsTheRunSilently)
{
    test::PyFtpdServer server;
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("a.html", kHtml, "", true);
    site.AddFile("b.html", kHtml, "", true);
    // Pumps: the server's pass, a.html's pass, its one block and its end of
    // file, then b.html's pass.
    site.ui.quitAtPump = 5;
    site.Upload();
    EXPECT_EQ(site.Texts(), std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(server.Root() / "a.html"));
    EXPECT_FALSE(fs::exists(server.Root() / "b.html"));
}

TEST(UploadRunRename, ARenameRefusedOverAnExistingFileMovesTheOldOneAside)
{
    test::PyFtpdOptions serverOptions;
    serverOptions.refuseRenameOverExisting = true;
    test::PyFtpdServer server(serverOptions);
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("index.html", "version 1\n", "", true);
    site.Upload();
    test::WriteFile(site.LocalPath("index.html"), "version 2, longer\n");
    server.ClearCommands();
    site.Upload();
    EXPECT_EQ(site.Texts(), (std::vector<std::string>{test::kUploadComplete, test::kUploadComplete}));
    EXPECT_EQ(test::ReadFile((server.Root() / "index.html").string()), "version 2, longer\n");
    EXPECT_EQ(TemporaryFilesBelow(server.Root()), std::vector<std::string>{});
    EXPECT_EQ(site.doc.m_files[0].m_dwLocalSize, 18u);
    const auto commands = server.CommandsStartingWith("RN");
    const std::vector<std::string> expected = {"RNFR OrviktsnTemp.html", "RNTO index.html",
                                               "RNFR index.html",        "RNTO OrviktsnOld.html",
                                               "RNFR OrviktsnTemp.html", "RNTO index.html"};
    EXPECT_EQ(commands, expected);
}

TEST(UploadRunRename, AServerRefusingEveryRenameNeverLosesTheLiveFile)
{
    test::PyFtpdOptions serverOptions;
    serverOptions.refuseRename = true;
    test::PyFtpdServer server(serverOptions);
    test::UploadFixture site;
    test::WriteFile((server.Root() / "index.html").string(), "live\n");
    site.AddServer(server, "");
    site.AddFile("index.html", "new\n", "", true);
    site.box.Answer(IDYES);
    site.Upload();
    EXPECT_EQ(site.Texts(), (std::vector<std::string>{test::kRenameQuestion, test::kUploadComplete}));
    EXPECT_EQ(site.box.shown()[0].style, test::kQuestionStyle);
    EXPECT_EQ(test::ReadFile((server.Root() / "index.html").string()), "live\n");
    EXPECT_EQ(test::ReadFile((server.Root() / "OrviktsnTemp.html").string()), "new\n");
    EXPECT_FALSE(fs::exists(server.Root() / "OrviktsnOld.html"));
    EXPECT_EQ(site.doc.m_files[0].m_timeLocal.GetTime(), 0);
    EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>{UploadOutcome::Skipped});
}

TEST(UploadRunOptions, ADryRunChangesNothingOnTheServer)
{
    test::PyFtpdServer server;
    test::UploadFixture site;
    site.AddServer(server, "www");
    site.AddFile("index.html", kHtml, "", true);
    site.AddFile("a.gif", "GIF", "images");
    site.ui.options.dryRun = true;
    site.Upload();
    EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>(2, UploadOutcome::WouldSend));
    EXPECT_EQ(CountWrites(server.Commands()), 0u);
    EXPECT_FALSE(fs::exists(server.Root() / "www"));

    site.ui.options.dryRun = false;
    site.Upload();
    test::WriteFile(site.LocalPath("a.gif"), "GIF89a");
    site.ui.options.dryRun = true;
    site.ui.outcomes.clear();
    server.ClearCommands();
    site.Upload();
    EXPECT_EQ(site.ui.OutcomeList(), (std::vector<UploadOutcome>{UploadOutcome::Unchanged, UploadOutcome::WouldSend}));
    EXPECT_EQ(CountWrites(server.Commands()), 0u);
    EXPECT_EQ(test::ReadFile((server.Root() / "www/images/a.gif").string()), "GIF");
}

TEST(UploadRunLockTest, ASecondRunOnALockedConfigurationDoesNotStart)
{
    test::PyFtpdServer server;
    test::UploadFixture site;
    test::TempDir dir;
    const std::string path = dir.file("site.tsn");
    test::WriteFile(path, "KTSN");
    site.doc.SetPathName(path);
    site.AddServer(server, "");
    site.AddFile("index.html", kHtml, "", true);
    CUploadRunLock other;
    ASSERT_EQ(other.Acquire(path), CUploadRunLock::Result::Locked);
    site.Upload();
    const std::vector<ShownMessage> expected = {{kAppCaption, UploadBusyMessage(path), test::kErrorStyle}};
    EXPECT_EQ(site.box.shown(), expected);
    EXPECT_EQ(site.ui.progressesCreated, 0);
    EXPECT_TRUE(server.Commands().empty());
    EXPECT_FALSE(site.doc.IsModified());
    other.Release();
    site.Upload();
    EXPECT_TRUE(fs::exists(server.Root() / "index.html"));
}

}  // namespace

namespace {

TEST(UploadRunOptions, ThePassiveModeSettingTurnsPassiveOnForEveryServer)
{
    const std::string key = "Software\\Orvik\\Tessarine\\Settings";
    ASSERT_TRUE(RegistryCreateKey(HKEY_CURRENT_USER, key));
    ASSERT_TRUE(RegistryWriteDword(HKEY_CURRENT_USER, key, "PassiveMode", 1));
    test::PyFtpdServer server;
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("index.html", kHtml, "", true);
    site.Upload();
    RegistryDeleteValue(HKEY_CURRENT_USER, key, "PassiveMode");
    EXPECT_EQ(site.Texts(), std::vector<std::string>{test::kUploadComplete});
    EXPECT_EQ(server.CommandsStartingWith("EPRT").size() + server.CommandsStartingWith("PORT").size(), 0u);
    EXPECT_EQ(server.CommandsStartingWith("EPSV").size() + server.CommandsStartingWith("PASV").size(), 1u);
}

}  // namespace
