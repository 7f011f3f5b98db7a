#include "common/DocumentLauncher.h"
#include "common/RegistryHelpers.h"
#include "platform/shell/CommandLine.h"
#include "platform/shell/DesktopOpener.h"
#include "tests/platform/shell/RecordingOpener.h"
#include "tests/common/ProcessRecord.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace {

const char* const kRecorder = "tessarine-record-args";

// Sets an environment variable for a test's lifetime.
class EnvGuard {
public:
    EnvGuard(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvGuard() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class RunCommandLineTest : public ::testing::Test {
protected:
    test::TempDir dir{"tessarine launch"};
    std::string record = dir.file("record");
    EnvGuard recordTo{"TESSARINE_RECORD", record};

    // A copy of the recorder at path.
    std::string CopyRecorder(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(GetModuleFolder() + kRecorder, path);
        return path;
    }
    test::ProcessRecord Recorded()
    {
        test::ProcessRecord result;
        EXPECT_TRUE(test::ReadProcessRecord(record, result)) << "the program wrote no record";
        return result;
    }
};

// Processes whose parent is this test process.
std::vector<std::string> OwnChildren()
{
    std::vector<std::string> children;
    DIR* proc = opendir("/proc");
    while (const dirent* entry = proc ? readdir(proc) : nullptr) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        std::string state;
        int parent = 0;
        rest >> state >> parent;
        if (parent == getpid())
            children.push_back(line);
    }
    if (proc)
        closedir(proc);
    return children;
}

TEST_F(RunCommandLineTest, StartsAProgramInAFolderWithSpacesWithItsArguments)
{
    const std::string program = CopyRecorder(dir.file("my tools/recorder"));
    const std::vector<std::string> argv = {program, "a b", "quote\"d", "ends\\", "x\\\\y", ""};
    const std::optional<std::string> line = BuildCommandLine(argv);
    ASSERT_TRUE(line);
    ASSERT_TRUE(RunCommandLine(*line, dir.str()));
    const test::ProcessRecord started = Recorded();
    EXPECT_EQ(started.exe, program);
    EXPECT_EQ(started.args, std::vector<std::string>(argv.begin() + 1, argv.end()));
    EXPECT_EQ(started.cwd, std::filesystem::canonical(dir.path()).string());
}

TEST_F(RunCommandLineTest, ReadsBackslashesAndQuotesAsTheCRuntimeDoes)
{
    const std::string program = CopyRecorder(dir.file("my tools/recorder"));
    ASSERT_TRUE(RunCommandLine("\"" + program + "\" a\\\"b \"c d\\\\\" e\\f"));
    EXPECT_EQ(Recorded().args, (std::vector<std::string>{"a\"b", "c d\\", "e\\f"}));
}

TEST_F(RunCommandLineTest, WithoutAFolderTheProgramInheritsTheCallers)
{
    test::TempDir elsewhere("tessarine-elsewhere");
    test::CurrentDirGuard guard;
    std::filesystem::current_path(elsewhere.path());
    ASSERT_TRUE(RunCommandLine(std::string(kRecorder) + " x"));
    EXPECT_EQ(Recorded().cwd, std::filesystem::canonical(elsewhere.path()).string());
}

// A relative program path is the caller's: the folder the child starts in
// neither hides it nor lends it another program of the same name.
TEST_F(RunCommandLineTest, ARelativeProgramIsFoundFromTheCallersFolder)
{
    const std::string ours = CopyRecorder(dir.file("caller/tools/recorder"));
    test::CurrentDirGuard guard;
    std::filesystem::current_path(dir.file("caller"));
    struct Case {
        const char* folder;
        bool hasItsOwnCopy;
    };
    for (const Case& c : {Case{"plain", false}, Case{"decoy", true}}) {
        SCOPED_TRACE(c.folder);
        std::filesystem::create_directories(dir.file(c.folder));
        if (c.hasItsOwnCopy)
            CopyRecorder(dir.file(std::string(c.folder) + "/tools/recorder"));
        std::filesystem::remove(record);
        ASSERT_TRUE(RunCommandLine("tools/recorder x", dir.file(c.folder)));
        const test::ProcessRecord started = Recorded();
        EXPECT_EQ(std::filesystem::canonical(started.exe), std::filesystem::canonical(ours));
        EXPECT_EQ(started.cwd, std::filesystem::canonical(dir.file(c.folder)).string());
    }
}

TEST_F(RunCommandLineTest, LooksBesideTheProgramThenInTheCurrentFolderThenOnPath)
{
    const std::string onPath = CopyRecorder(dir.file("bin/" + std::string(kRecorder)));
    CopyRecorder(dir.file("bin/only-on-path"));
    CopyRecorder(dir.file("here/only-on-path"));
    EnvGuard path("PATH", dir.file("bin"));
    ASSERT_TRUE(RunCommandLine(std::string(kRecorder) + " 1"));
    EXPECT_EQ(Recorded().exe, GetModuleFolder() + kRecorder);
    std::filesystem::remove(record);

    test::CurrentDirGuard guard;
    std::filesystem::current_path(dir.file("here"));
    ASSERT_TRUE(RunCommandLine("only-on-path 2"));
    EXPECT_EQ(Recorded().exe, dir.file("here/only-on-path"));
    std::filesystem::remove(record);
    std::filesystem::remove(dir.file("here/only-on-path"));
    ASSERT_TRUE(RunCommandLine("only-on-path 3"));
    EXPECT_EQ(Recorded().exe, dir.file("bin/only-on-path"));
}

TEST_F(RunCommandLineTest, IsFalseWhenNothingWasExecuted)
{
    test::WriteFile(dir.file("not-executable"), "#!/bin/sh\n");
    test::WriteFile(dir.file("no-format"), std::string("\x01\x02\x03\x04garbage", 11));
    chmod(dir.file("no-format").c_str(), 0755);
    const std::string program = CopyRecorder(dir.file("recorder"));
    // The folder has a blank in its name: every path is quoted.
    for (const std::string& path : {dir.file("not-executable"), dir.file("no-format"), dir.file("missing"),
                                    dir.str()})
        EXPECT_FALSE(RunCommandLine(*BuildCommandLine({path}))) << path;
    for (const char* line : {"no-such-program-anywhere", "", "   ", "\"\" x"})
        EXPECT_FALSE(RunCommandLine(line)) << line;
    EXPECT_FALSE(RunCommandLine(*BuildCommandLine({program}), dir.file("missing folder")));
    ASSERT_TRUE(RunCommandLine(*BuildCommandLine({program}), dir.str()));
    ASSERT_TRUE(test::WaitForFile(record));
    std::filesystem::remove(record);
}

TEST_F(RunCommandLineTest, TheChildGetsNoDescriptorsItsOwnSessionAndIsNeverLeftToUs)
{
    const int leaked = open(dir.file("leaked").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(leaked, 3);
    ASSERT_TRUE(RunCommandLine(*BuildCommandLine({CopyRecorder(dir.file("recorder"))})));
    close(leaked);
    const test::ProcessRecord started = Recorded();
    for (int fd : started.fds)
        EXPECT_LE(fd, 2) << "descriptor " << fd << " was inherited";
    EXPECT_TRUE(started.sessionLeader);
    EXPECT_EQ(OwnChildren(), std::vector<std::string>());
}

using test::RecordingOpener;

constexpr unsigned int kErrorStyle = MB_OK | MB_ICONEXCLAMATION;

TEST(LaunchDocument, ReportsALocalPathThatIsNotThere)
{
    test::TempDir dir("tessarine-launch");
    const std::string missingFile = dir.file("missing.html");
    const std::string missingFolder = dir.file("no folder/index.html");
    RecordingOpener opener(SE_OPENED);
    test::ScriptedMessageBox box;
    EXPECT_FALSE(LaunchDocument(missingFile));
    EXPECT_FALSE(LaunchDocument(missingFolder));
    EXPECT_TRUE(opener.calls.empty());
    EXPECT_EQ(box.shown(),
              (std::vector<test::ShownMessage>{
                  {"Tessarine", "Unable to execute " + missingFile + "\nThe specified file was not found.",
                   kErrorStyle},
                  {"Tessarine", "Unable to execute " + missingFolder + "\nThe specified path was not found.",
                   kErrorStyle}}));
}

TEST(LaunchDocument, ShowsTheOpenersReason)
{
    test::TempDir dir("tessarine-launch");
    const std::string document = dir.file("site.zzz");
    test::WriteFile(document, "data");
    const struct {
        int code;
        const char* reason;
    } cases[] = {
        {SE_ERR_NOASSOC, "There is no application associated with the given filename extension."},
        {SE_ERR_ACCESSDENIED, "The operating system denied access to the specified file."},
        {SE_ERR_OOM_RESOURCES, "The operating system is out of memory or resources."},
        {SE_ERR_ASSOCINCOMPLETE, "The filename association is incomplete or invalid."},
        {30, "ShellExecute error number 30."},
    };
    for (const auto& c : cases) {
        RecordingOpener opener(c.code);
        test::ScriptedMessageBox box;
        EXPECT_FALSE(LaunchDocument(document));
        EXPECT_EQ(opener.calls, std::vector<std::string>{"open|" + document});
        EXPECT_EQ(box.texts(), std::vector<std::string>{"Unable to execute " + document + "\n" + c.reason});
    }
}

TEST(LaunchDocument, AFileTypeWithoutApplicationThroughTheRealOpener)
{
    test::TempDir dir("tessarine-launch");
    const std::string document = dir.file("site.zzz");
    test::WriteFile(document, "data");
    test::WriteFile(dir.file("xdg-open"), "#!/bin/sh\nexit 3\n");
    chmod(dir.file("xdg-open").c_str(), 0755);
    XdgOpener xdg(dir.file("xdg-open"));
    IDesktopOpener* previous = SetDesktopOpener(&xdg);
    test::ScriptedMessageBox box;
    EXPECT_FALSE(LaunchDocument(document));
    SetDesktopOpener(previous);
    EXPECT_EQ(box.texts(),
              std::vector<std::string>{"Unable to execute " + document +
                                       "\nThere is no application associated with the given filename extension."});
}

TEST(LaunchDocument, AProgramTargetNeverReachesTheOpener)
{
    test::TempDir dir("tessarine-launch");
    EnvGuard recordTo("TESSARINE_RECORD", dir.file("record"));
    RecordingOpener opener(SE_ERR_NOASSOC);
    test::ScriptedMessageBox box;
    EXPECT_TRUE(LaunchDocument(std::string(kRecorder) + " \"the argument\""));
    test::ProcessRecord started;
    ASSERT_TRUE(test::ReadProcessRecord(dir.file("record"), started));
    EXPECT_EQ(started.args, std::vector<std::string>{"the argument"});
    EXPECT_TRUE(opener.calls.empty());
    EXPECT_TRUE(box.shown().empty());
}

TEST(LaunchDocument, AddressesAndShortcutsGoToTheOpener)
{
    test::TempDir dir("tessarine-launch");
    const std::string shortcut = dir.file("Tessarine.LNK");
    test::WriteFile(shortcut, "[Desktop Entry]\n");
    test::ScriptedMessageBox box;
    {
        RecordingOpener opener(SE_OPENED);
        EXPECT_TRUE(LaunchDocument("https://example.invalid/"));
        EXPECT_EQ(opener.calls, std::vector<std::string>{"open|https://example.invalid/"});
    }
    {
        RecordingOpener opener(SE_ERR_ACCESSDENIED);
        EXPECT_TRUE(LaunchDocument(shortcut));
        EXPECT_EQ(opener.calls, std::vector<std::string>{"|" + shortcut});
    }
    EXPECT_TRUE(box.shown().empty());
}

}  // namespace
