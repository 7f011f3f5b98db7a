// The second installation stage and the uninstallation, in this process.

#include "install/DesktopEntryFile.h"
#include "install/ShortcutIcon.h"
#include "tests/install/InstallTestFixture.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace test;

namespace {

const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\shell folders";

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(SelfInstallTest, SecondStageRegistersTheRunningCopyWithoutAQuestion)
{
    RegistryCreateKey(HKEY_CURRENT_USER, kSelfInstallKey);
    EXPECT_FALSE(Copy(source, "1.01 Beta 3")->Execute("/installstep2"));
    EXPECT_EQ(windows.events, std::vector<std::string>{});
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory"), source);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Version"), "1.01 Beta 3");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSelfInstallKey));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kAppPathKey, ""), source + "Tessup");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kAppPathKey, "Path"), source);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Tessarine 1.01 Beta 3");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "\"" + source + "Tessup\" /uninstall");
    EXPECT_FALSE(fs::exists(AutostartEntryPath("OrvikTessarine")));
    EXPECT_EQ(Names(ShortcutFolder()), (std::vector<std::string>{"Read Me.desktop", "Read Me.png", "Tessarine.desktop",
                                                                  "Tessarine.png", "Uninstall Tessarine.desktop",
                                                                  "Uninstall Tessarine.png"}));
    // The test folder's name holds blanks and quotes: Exec= quotes and
    // escapes them, Path= and Icon= are plain string values.
    std::string execPath;
    for (char c : source + "Tessup")
        execPath += c == '"' ? std::string("\\\\\"") : std::string(1, c);
    EXPECT_EQ(test::ReadFile(ShortcutFolder() + "/Uninstall Tessarine.desktop"),
              "[Desktop Entry]\nType=Application\nName=Uninstall Tessarine\nExec=\"" + execPath
                  + "\" \"/uninstall\"\nPath=" + source + "\nIcon=" + ShortcutFolder()
                  + "/Uninstall Tessarine.png\nTerminal=false\n");
    EXPECT_NE(test::ReadFile(ShortcutFolder() + "/Read Me.desktop").find("Exec=\"xdg-open\" \""), std::string::npos);
    EXPECT_EQ(test::ReadFile(ShortcutFolder() + "/Uninstall Tessarine.png"), ShortcutIconPng(3));
}

TEST_F(SelfInstallTest, WithoutTheProgramsValueTheInstallationCompletesWithoutShortcuts)
{
    RegistryDeleteValue(HKEY_CURRENT_USER, kShellFolders, "Programs");
    EXPECT_FALSE(Copy(source)->Execute("/installstep2"));
    EXPECT_FALSE(fs::exists(ShortcutFolder()));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory"), source);
}

TEST_F(SelfInstallTest, RunAtStartupWritesTheRunValueAndTheAutostartEntryAndRemovesBoth)
{
    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    RegistryCreateKey(HKEY_CURRENT_USER, runKey);
    auto install = Copy(source);
    install->SetRunAtStartup("--minimised \"a b\"", true);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, runKey, "OrvikTessarine"), "\"" + source + "Tessup\" --minimised \"a b\"");
    const std::string entry = test::ReadFile(AutostartEntryPath("OrvikTessarine"));
    EXPECT_NE(entry.find("\" \"--minimised\" \"a b\"\n"), std::string::npos) << entry;
    install->SetRunAtStartup("", false);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, runKey, "OrvikTessarine"), "(none)");
    EXPECT_FALSE(fs::exists(AutostartEntryPath("OrvikTessarine")));
}

TEST_F(SelfInstallTest, UninstallFromTheInstalledCopyRemovesItsFilesShortcutsAndRowsButNotAForeignType)
{
    for (const char* association : {"Tessarine.Document", "Other.Document"}) {
        SCOPED_TRACE(association);
        SetUp();
        windows = {};
        test::WriteFile(source + "License.rtf", "{\\rtf1 licence}");
        test::WriteFile(source + "my own notes.txt", "mine");
        ASSERT_FALSE(Copy(source)->Execute("/installstep2"));
        RegistryCreateKey(HKEY_CLASSES_ROOT, ".tsn\\ShellNew");
        RegistryWriteString(HKEY_CLASSES_ROOT, ".tsn", "", association);
        RegistryCreateKey(HKEY_CLASSES_ROOT, "Tessarine.Document\\shell\\open\\command");
        RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine\\Recent File List");
        const bool foreign = std::string(association) == "Other.Document";
        if (foreign)  // another program of the company keeps the company key
            RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Orvik\\Other Program");
        windows.boxAnswers = {IDYES};
        EXPECT_TRUE(Copy(source)->Execute("/uninstall"));
        EXPECT_EQ(windows.events, (std::vector<std::string>{
                                      "caption Uninstall",
                                      "box " + std::to_string(kQuestion) + " Are you sure you want to uninstall Tessarine?",
                                      "close [CMainFrame] Tessarine Tessarine 0", "message Uninstalling the program...",
                                      "message closed"}));
        EXPECT_EQ(Names(source), std::vector<std::string>{"my own notes.txt"});
        EXPECT_FALSE(fs::exists(ShortcutFolder()));
        for (const auto& [root, key] : std::vector<std::pair<HKEY, std::string>>{
                 {HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine"}, {HKEY_LOCAL_MACHINE, "Software\\Orvik\\Tessarine"},
                 {HKEY_LOCAL_MACHINE, kUninstallKey}, {HKEY_LOCAL_MACHINE, kAppPathKey},
                 {HKEY_CLASSES_ROOT, "Tessarine.Document"}})
            EXPECT_FALSE(KeyExists(root, key)) << key;
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, ".tsn"), foreign);
        EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, "Software\\Orvik"), foreign);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Orvik"));
        EXPECT_EQ(desktopTypeRemovals, 1);
        desktopTypeRemovals = 0;
        EXPECT_EQ(session.requests, 0);  // nothing was busy: no restart to offer
        MakeCopy("dist2");
    }
}

TEST_F(SelfInstallTest, UninstallFromAnotherCopyDeletesNothingInItsFolder)
{
    const std::string installed = MakeCopy("installed");
    struct Row {
        const char* name;
        bool registered;
        int answer;
    };
    for (const Row& row : {Row{"hands over to the registered copy", true, 0},
                           Row{"no registered copy: rows only", false, IDYES}, Row{"and No changes nothing", false, IDNO}}) {
        SCOPED_TRACE(row.name);
        SetUp();
        windows = {};
        ASSERT_FALSE(Copy(installed)->Execute("/installstep2"));
        if (!row.registered)
            RegistryWriteString(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory", dir.file("gone") + "/");
        const std::string record = ExpectStart(std::string("uninstall ") + row.name);
        if (row.answer)
            windows.boxAnswers = {row.answer};
        EXPECT_TRUE(Copy(source)->Execute("/uninstall"));
        EXPECT_EQ(Names(source), (std::vector<std::string>{"Readme.txt", "Tessup", "Tessup.cnt", "Tessup.hlp"}));
        EXPECT_EQ(Names(installed).size(), 4u);
        if (row.registered) {
            test::ProcessRecord started;
            ASSERT_TRUE(test::ReadProcessRecord(record, started));
            EXPECT_EQ(started.exe, installed + "Tessup");
            EXPECT_EQ(started.args, std::vector<std::string>{"/uninstall"});
            EXPECT_EQ(windows.events, std::vector<std::string>{});
        } else if (row.answer == IDYES) {
            EXPECT_EQ(windows.events.at(4), "box " + std::to_string(MB_OK | MB_ICONINFORMATION)
                                                + " No installed files of Tessarine were found.\n\nIts shortcuts and "
                                                  "registry entries have been removed.");
            EXPECT_FALSE(fs::exists(ShortcutFolder()));
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        } else {
            EXPECT_EQ(windows.events.size(), 2u);
            EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        }
    }
}

TEST(WinInit, TheNewestRenameLineIsTheSectionsFirstAndTheRestStaysByteForByte)
{
    const std::string line = "NUL=/opt/Tessarine/Tessup\r\n";
    struct Row {
        const char* name;
        std::string before, after;
    };
    const Row rows[] = {
        {"missing file", "", "[Rename]\r\n" + line},
        {"no section", "[Other]\r\nx=y\r\n", "[Other]\r\nx=y\r\n[Rename]\r\n" + line},
        {"no section, no final line break", "[Other]\nx=y", "[Other]\nx=y\r\n[Rename]\r\n" + line},
        {"section first", "[Rename]\r\nNUL=/old\r\n[Other]\r\n", "[Rename]\r\n" + line + "NUL=/old\r\n[Other]\r\n"},
        {"section later", "[A]\r\n[Rename]\r\nNUL=/old\r\n", "[A]\r\n[Rename]\r\n" + line + "NUL=/old\r\n"},
        {"header without line break", "[Rename]", "[Rename]\r\n" + line},
        {"case matters", "[rename]\r\n", "[rename]\r\n[Rename]\r\n" + line},
    };
    for (const Row& row : rows)
        EXPECT_EQ(InsertRenameLine(row.before, line), row.after) << row.name;
}

TEST(WinInit, MoveFileAtRebootRecordsCanonicalPathsInTheStateFolder)
{
    test::TempDir dir;
    fs::remove_all(StateFolder());
    test::WriteFile(dir.file("a/Tessup"), "x");
    fs::create_directory_symlink(dir.file("a"), dir.file("link"));
    EXPECT_TRUE(MoveFileAtReboot(dir.file("link/Tessup")));
    EXPECT_TRUE(MoveFileAtReboot(dir.file("a/Tessup"), "/new/name"));
    EXPECT_FALSE(MoveFileAtReboot(dir.file("missing")));
    const std::string canonical = fs::canonical(dir.file("a/Tessup")).string();
    EXPECT_EQ(test::ReadFile(StateFolder() + "/WinInit.Ini"),
              "[Rename]\r\n/new/name=" + canonical + "\r\nNUL=" + canonical + "\r\n");
    EXPECT_FALSE(DeleteInstalledFile(dir.file("missing")));
    EXPECT_FALSE(DeleteInstalledFile(dir.file("a/Tessup")));  // deleted at once
    EXPECT_FALSE(fs::exists(dir.file("a/Tessup")));
}

TEST(DesktopEntry, ExecArgumentsAreQuotedThenEscapedAsAStringValue)
{
    const std::pair<std::string, std::string> rows[] = {
        {"/opt/Tessup", "\"/opt/Tessup\""},
        {"/opt/my apps/Tessup", "\"/opt/my apps/Tessup\""},
        {"a\"b", "\"a\\\\\"b\""},
        {"$HOME`x`", "\"\\\\$HOME\\\\`x\\\\`\""},
        {"back\\slash", "\"back\\\\\\\\slash\""},
        {"100%", "\"100%%\""},
        {"line\nbreak", "\"line\\nbreak\""},
    };
    for (const auto& [argument, expected] : rows)
        EXPECT_EQ(DesktopEntryExecArgument(argument), expected) << argument;
}

TEST(ShortcutIcon, PngHasItsSignatureHeaderAndCheckedChunks)
{
    for (int index : {0, 3}) {
        const std::string png = ShortcutIconPng(index);
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x20\0\0\0\x20", 8));
        EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    }
    EXPECT_NE(ShortcutIconPng(0), ShortcutIconPng(3));
    const std::string dir = std::getenv("TESSARINE_SCREENSHOT_DIR") ? std::getenv("TESSARINE_SCREENSHOT_DIR") : "";
    if (!dir.empty()) {
        test::WriteFile(dir + "/install-shortcut-icon-0.png", ShortcutIconPng(0));
        test::WriteFile(dir + "/install-shortcut-icon-3.png", ShortcutIconPng(3));
    }
}

TEST_F(SelfInstallTest, TwoProcessesWritingTheInstallationRecordAtOnceLeaveItWhole)
{
    // The first stage's process writes "Version" while the second stage's
    // registers everything: real processes on one store, many times over.
    constexpr int kRounds = 30;
    std::vector<pid_t> children;
    for (int child = 0; child < 3; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int round = 0; round < kRounds; ++round)
                ok = !Copy(source)->Execute("/installstep2") && ok;
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    // Until the children are done: the write lands once the second stage
    // has made the self-install key.
    int written = 0;
    std::size_t running = children.size();
    while (running > 0) {
        if (RegistryCreateKey(HKEY_LOCAL_MACHINE, "Software\\Orvik\\Tessarine")
            && RegistryWriteString(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Version", "1.01"))
            ++written;
        for (pid_t& pid : children) {
            int status = -1;
            if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                pid = 0;
                --running;
            }
        }
    }
    EXPECT_GT(written, 0);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Version"), "1.01");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory"), source);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "\"" + source + "Tessup\" /uninstall");
    EXPECT_EQ(Names(ShortcutFolder()).size(), 6u);
}
