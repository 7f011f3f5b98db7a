// The whole installation with the built programs, unattended: setup from
// the distribution folder, the two stages, a hand-over of a document to the
// installed copy, and the uninstallation, in a home, registry and runtime
// folder of the test's own. Nothing the installation made may remain.

#include "platform/registry/RegistryStore.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char* const kAnswers =
    "# the answers of a scripted installation\n"
    "You are about to=Yes\n"
    "License Agreement=Yes\n"
    "Choose Destination Location=Install\n"
    "Are you sure you want to uninstall=Yes\n"
    "reboot the computer now=No\n";

std::string Dist(const std::string& name)
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/" + name;
}

// The processes running the program file at path (also once it is deleted).
std::vector<pid_t> ProcessesOf(const std::string& path)
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code readError;
        const std::string exe = fs::read_symlink(entry.path() / "exe", readError).string();
        if (!readError && (exe == path || exe == path + " (deleted)"))
            found.push_back(std::stoi(name));
    }
    return found;
}

template <typename Condition>
bool WaitUntil(Condition condition)
{
    for (int i = 0; i < 600; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::vector<std::string> CommandLineOf(pid_t pid)
{
    const std::string bytes = test::ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\0', at);
        args.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return args;
}

// Ends the installed copy that start-up left running with its main window.
void EndRunningCopies(const std::string& program)
{
    for (pid_t pid : ProcessesOf(program))
        ::kill(pid, SIGTERM);
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(program).empty(); }));
}

// Every file below folder, relative to it, sorted.
std::vector<std::string> FilesBelow(const fs::path& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); it != fs::recursive_directory_iterator();
         it.increment(error))
        if (!it->is_directory())
            files.push_back(fs::relative(it->path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class InstallEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The test's own folders, in this process too: it reads the same
        // registry store as the programs it starts.
        const std::string home = root.file("home");
        for (const char* sub : {"home/.config", "home/.local/share", "home/.local/state", "runtime"})
            fs::create_directories(root.file(sub));
        fs::permissions(root.file("runtime"), fs::perms::owner_all, fs::perm_options::replace);
        const std::pair<const char*, std::string> variables[] = {
            {"HOME", home},
            {"XDG_CONFIG_HOME", home + "/.config"},
            {"XDG_DATA_HOME", home + "/.local/share"},
            {"XDG_STATE_HOME", home + "/.local/state"},
            {"XDG_RUNTIME_DIR", root.file("runtime")},
            {"TESSARINE_RUNTIME_DIR", root.file("runtime") + "/tessarine"},
            {"TESSARINE_REGISTRY", registry},
            {"TESSARINE_INSTALL_ANSWERS", root.file("answers")},
            {"QT_QPA_PLATFORM", "offscreen"},
        };
        for (const auto& [name, value] : variables)
            setenv(name, value.c_str(), 1);
        test::WriteFile(root.file("answers"), kAnswers);
        distBefore = FilesBelow(Dist(""));
    }

    std::string Export() { return test::RunTool({"registry", "export"}).out; }

    test::TempDir root{"tessarine-install"};
    std::string registry = root.file("home/.config/tessarine/registry.sqlite3");
    std::string installed = root.file("home/.local/opt/Tessarine") + "/";
    std::vector<std::string> distBefore;
};

TEST_F(InstallEndToEnd, SetupInstallsHandsOverADocumentAndUninstallRemovesEverything)
{
    {
        // Another program's .tsn association, which the installation must
        // leave as it finds it.
        RegistryStore store(registry);
        ASSERT_EQ(store.CreateKey(HKEY_CLASSES_ROOT, ".tsn"), ERROR_SUCCESS);
        ASSERT_EQ(store.SetValue(HKEY_CLASSES_ROOT, ".tsn", "", REG_SZ, "Other.Document", 15), ERROR_SUCCESS);
    }
    const std::string program = installed + "Tessup";

    // setup starts "Tessup /install" from build/dist/; that copy copies the
    // files and starts the installed copy with /installstep2, which
    // registers the installation and opens its main window.
    test::Program setup({Dist("setup")});
    EXPECT_EQ(setup.Wait(), 0);
    ASSERT_TRUE(WaitUntil([&] { return Contains(Export(), "\"Directory\"=\"" + installed); })) << setup.Stderr();
    ASSERT_TRUE(WaitUntil([&] { return Contains(Export(), "[HKEY_CLASSES_ROOT\\Tessarine.Document]"); }));
    EndRunningCopies(program);
    const std::string log = setup.Stderr();
    for (const char* asked : {"You are about to install a new copy of Tessarine.", "License Agreement (",
                              "Choose Destination Location (" })
        EXPECT_TRUE(Contains(log, asked)) << log;
    EXPECT_TRUE(Contains(log, "Install into " + installed.substr(0, installed.size() - 1))) << log;

    EXPECT_EQ(FilesBelow(installed), (std::vector<std::string>{"Readme.txt", "Tessup", "Tessup.cnt", "Tessup.hlp"}));
    const std::string shortcuts = root.file("home/.local/share/applications/Tessarine");
    EXPECT_EQ(FilesBelow(shortcuts),
              (std::vector<std::string>{"Read Me.desktop", "Read Me.png", "Tessarine.desktop", "Tessarine.png",
                                        "Uninstall Tessarine.desktop", "Uninstall Tessarine.png"}));
    const std::string rows = Export();
    for (const std::string& row : {
             "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessup]\n@=\"" + program + "\"",
             "\"Path\"=\"" + installed + "\"",
             std::string("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvikTessarine]"),
             "\"UninstallString\"=\"\\\"" + program + "\\\" /uninstall\"",
             std::string("[HKEY_LOCAL_MACHINE\\Software\\Orvik\\Tessarine\\SelfInstall]"),
             std::string("[HKEY_CLASSES_ROOT\\.tsn]\n@=\"Other.Document\""),
         })
        EXPECT_TRUE(Contains(rows, row)) << row << "\n" << rows;

    // A start of the distribution copy hands over to the installed copy,
    // with a document path that holds blanks and quotes, arriving whole.
    const std::string document = root.file("my \"own\" site.tsn");
    ASSERT_EQ(test::RunTool({"new", document}).status, 0);
    test::Program second({Dist("Tessup"), document});
    EXPECT_EQ(second.Wait(), 0) << second.Stderr();
    ASSERT_TRUE(WaitUntil([&] { return !ProcessesOf(program).empty(); }));
    EXPECT_EQ(CommandLineOf(ProcessesOf(program).front()), (std::vector<std::string>{program, document}));
    EndRunningCopies(program);

    // /uninstall from build/dist/ hands over to the installed copy, which
    // removes the installation; nothing in build/dist/ is touched.
    test::Program uninstall({Dist("Tessup"), "/uninstall"});
    EXPECT_EQ(uninstall.Wait(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !fs::exists(program) && ProcessesOf(program).empty(); }))
        << uninstall.Stderr();
    EXPECT_TRUE(Contains(uninstall.Stderr(), "Are you sure you want to uninstall Tessarine?\": Yes"));
    EXPECT_EQ(FilesBelow(Dist("")), distBefore);
    EXPECT_FALSE(fs::exists(installed));  // left empty, so it went too

    const std::string after = Export();
    EXPECT_FALSE(Contains(after, "Orvik")) << after;
    EXPECT_FALSE(Contains(after, "Tessarine.Document")) << after;
    EXPECT_FALSE(Contains(after, "App Paths\\Tessup")) << after;
    EXPECT_TRUE(Contains(after, "[HKEY_CLASSES_ROOT\\.tsn]\n@=\"Other.Document\"")) << after;
    // What may remain: the registry store, the state folder, and what the
    // desktop's own tools generated in the MIME database.
    std::vector<std::string> left;
    for (const std::string& file : FilesBelow(root.file("home"))) {
        const bool allowed = file.rfind(".config/tessarine/registry.sqlite3", 0) == 0
                          || file.rfind(".local/state/tessarine/", 0) == 0
                          || (file.rfind(".local/share/mime/", 0) == 0 && file.find("/packages/") == std::string::npos);
        if (!allowed)
            left.push_back(file);
    }
    EXPECT_EQ(left, std::vector<std::string>{});
}

}  // namespace
