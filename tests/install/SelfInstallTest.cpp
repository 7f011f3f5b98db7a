// The installer's flows in this process, with scripted windows, the test's
// own registry store and folders, and a recording program standing in for
// the copies the flows start.

#include "tests/install/InstallTestFixture.h"

using namespace test;

TEST_F(SelfInstallTest, StatusCheckDecidesBetweenNormalStartHandOverAndInstallation)
{
    const std::string other = MakeCopy("installed");
    const std::string document = dir.file("my \"best\" site.tsn");
    struct Row {
        const char* name;
        std::string version, folder, commandLine;
        bool ends;
        std::vector<std::string> events;   // the first of them
        std::vector<std::string> started;  // the hand-over's arguments; empty: none
    };
    const Row rows[] = {
        {"nothing registered", "", "", "", true, {"caption Setup", Question("install a new copy")}, {}},
        {"nothing registered, /install", "", "", "/install", true, {"caption Setup", Question("install a new copy")}, {}},
        {"the installed copy", "1.01", source, "", false, {}, {}},
        {"the installed copy with a document", "1.01", source, QuoteArgument(document), false, {}, {}},
        {"the installed copy, folder without its slash", "1.01", source.substr(0, source.size() - 1), "", false, {}, {}},
        {"re-install", "1.01", source, "/install", true, {"caption Setup", Question("re-install the same version")}, {}},
        {"another version", "0.99", other, "", true, {"caption Setup", Question("install a different version")}, {}},
        {"same version elsewhere hands over", "1.01", other, QuoteArgument(document), true, {}, {document}},
        {"same version elsewhere, no arguments", "1.01", other, "", true, {}, {}},
        {"same version in a missing folder", "1.01", dir.file("gone") + "/", "", true,
         {"caption Setup", Question("re-install the same version")}, {}},
        {"same version, relative folder: never itself", "1.01", "dist/", "", true,
         {"caption Setup", Question("re-install the same version")}, {}},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        if (!row.version.empty())
            Register(row.version, row.folder);
        windows.events.clear();
        const std::string record = ExpectStart("record" + std::to_string(++n));
        EXPECT_EQ(Copy(source)->Execute(row.commandLine), row.ends);
        const std::vector<std::string> first(windows.events.begin(),
                                             windows.events.begin() + std::min(windows.events.size(), std::size_t(2)));
        EXPECT_EQ(first, row.events);
        if (row.events.empty() && row.ends) {
            test::ProcessRecord started;
            ASSERT_TRUE(test::ReadProcessRecord(record, started));
            EXPECT_EQ(started.exe, other + "Tessup");
            EXPECT_EQ(started.args, row.started);
        }
    }
}

TEST_F(SelfInstallTest, FirstStageAsksCopiesIntoANewFolderAndStartsTheSecondStage)
{
    fs::remove(source + "Readme.txt");
    Register("0.99", "");
    RegistryCreateKey(HKEY_CURRENT_USER, kSelfInstallKey);
    windows.boxAnswers = {IDYES};
    const std::string destination = dir.file("opt") + "/three/levels";
    windows.destination = destination;
    const std::string record = ExpectStart("second-stage");
    EXPECT_TRUE(Copy(source, "1.02")->Execute("/install"));
    const std::string installed = destination + "/";
    EXPECT_EQ(windows.events, (std::vector<std::string>{
                                  "caption Setup", Question("install a new copy"), "close [CMainFrame] Tessarine Tessarine 0",
                                  "license " + source,
                                  "destination  from " + source + " Tessarine Readme.txt Tessup Tessup.hlp Tessup.cnt",
                                  "message Installing the program...", "message closed"}));
    test::ProcessRecord started;
    ASSERT_TRUE(test::ReadProcessRecord(record, started));
    EXPECT_EQ(started.exe, installed + "Tessup");
    EXPECT_EQ(started.args, std::vector<std::string>{"/installstep2"});
    EXPECT_EQ(started.cwd + "/", installed);
    EXPECT_FALSE(fs::exists(installed + "Readme.txt"));  // missing at the source: skipped
    EXPECT_EQ(test::ReadFile(installed + "Tessup.cnt"), ":Base Tessup.hlp\n");
    EXPECT_EQ(fs::status(installed + "Tessup").permissions(), fs::status(source + "Tessup").permissions());
    EXPECT_EQ(fs::directory_iterator(installed) == fs::directory_iterator(), false);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Version"), "1.02");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSelfInstallKey));
    // The second stage writes the rest: nothing of it comes from here.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(SelfInstallTest, EachRefusalEndsTheInstallationThereWithoutChanges)
{
    struct Row {
        const char* name;
        int answer;
        bool cancelClosing, declineLicense;
        std::size_t events;
    };
    const Row rows[] = {
        {"No to the question", IDNO, false, false, 2},
        {"Cancel while closing copies", IDYES, true, false, 3},
        {"licence declined", IDYES, false, true, 4},
        {"destination cancelled", IDYES, false, false, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        windows = {};
        windows.boxAnswers = {row.answer};
        windows.cancelClosing = row.cancelClosing;
        windows.declineLicense = row.declineLicense;
        EXPECT_TRUE(Copy(source)->Execute("/install"));
        EXPECT_EQ(windows.events.size(), row.events);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSelfInstallKey));
    }
}

TEST_F(SelfInstallTest, DestinationThatIsTheSourceOrALinkToItRegistersInThisProcess)
{
    fs::create_directory_symlink(source, dir.file("link to dist"));
    for (const std::string& destination : {source, dir.file("link to dist"), dir.file("link to dist") + "/./"}) {
        SCOPED_TRACE(destination);
        SetUp();
        windows = {};
        windows.boxAnswers = {IDYES};
        windows.destination = destination;
        EXPECT_FALSE(Copy(source)->Execute(""));
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory"), source);
        EXPECT_EQ(windows.events.back(), "message closed");
        EXPECT_TRUE(fs::exists(ShortcutFolder() + "/Tessarine.desktop"));
    }
}

TEST_F(SelfInstallTest, CopyAndStartFailuresSayWhyAndRegisterNothing)
{
    test::WriteFile(dir.file("a file"), "not a folder");
    struct Row {
        const char* name;
        std::string destination;
        bool renameProgram;
        std::string last;
    };
    const Row rows[] = {
        {"a destination under a regular file", dir.file("a file") + "/Tessarine",
         false, "error Error copying the file Readme.txt. | Not a directory"},
        {"a program file of another name is not installed", dir.file("renamed"), true,
         "box " + std::to_string(MB_OK | MB_ICONEXCLAMATION) + " Error running the newly installed program."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        windows = {};
        windows.boxAnswers = {IDYES};
        windows.destination = row.destination;
        if (row.renameProgram)
            fs::rename(source + "Tessup", source + "Tessup-1.01");
        EXPECT_TRUE(Copy(source)->Execute("/install"));
        ASSERT_GE(windows.events.size(), 2u);
        EXPECT_EQ(windows.events[windows.events.size() - 2], row.last);
        EXPECT_EQ(windows.events.back(), "message closed");
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSelfInstallKey));
    }
}

TEST_F(SelfInstallTest, UpgradeReplacesTheProgramFileOfARunningInstalledCopy)
{
    const std::string installed = dir.file("installed") + "/";
    fs::create_directories(installed);
    fs::copy_file("/bin/sleep", installed + "Tessup");
    test::Program running({installed + "Tessup", "30"});
    Register("0.99", installed);
    windows.boxAnswers = {IDYES};
    windows.destination = "";  // as proposed: the registered folder
    ExpectStart("upgrade");
    EXPECT_TRUE(Copy(source)->Execute(""));
    EXPECT_EQ(windows.events[1], Question("install a different version"));
    EXPECT_EQ(test::ReadFile(installed + "Tessup"), test::ReadFile(source + "Tessup"));
    EXPECT_EQ(test::ReadFile(installed + "Readme.txt"), "read me\n");
    running.Signal(SIGTERM);
    EXPECT_EQ(running.Wait(), 128 + SIGTERM);  // it ran on its old file until now
}

TEST(InstallFiles, ACopyOntoItselfThroughALinkLeavesTheFileWhole)
{
    test::TempDir dir;
    test::WriteFile(dir.file("a/Tessup"), "program");
    fs::create_directory_symlink(dir.file("a"), dir.file("b"));
    fs::create_hard_link(dir.file("a/Tessup"), dir.file("a/hard"));
    for (const std::string& target : {dir.file("b/Tessup"), dir.file("a/hard")}) {
        const CopyResult result = CopyInstallFile(dir.file("a/Tessup"), target);
        EXPECT_FALSE(result.copied);
        EXPECT_EQ(result.error, 0);
        EXPECT_EQ(test::ReadFile(dir.file("a/Tessup")), "program");
    }
    EXPECT_EQ(CopyInstallFile(dir.file("a"), dir.file("c")).error, EISDIR);
    EXPECT_EQ(CopyInstallFile(dir.file("missing"), dir.file("c")).error, ENOENT);
    EXPECT_TRUE(SameFolder(dir.file("b") + "/", dir.file("a")));
    EXPECT_FALSE(SameFolder(dir.file("a"), dir.file("A")));
    EXPECT_FALSE(SameFolder("", ""));
}
