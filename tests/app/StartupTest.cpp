#include "app/DesktopRegistration.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "common/RegistryHelpers.h"
#include "platform/shell/RuntimeFolder.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using test::StartedApp;

namespace {

constexpr const char* kTypeKey = "Tessarine.Document";
constexpr const char* kSettingsKey = "Software\\Orvik\\Tessarine";

// The start-up services with the real runtime folder step.
class RealRuntimeServices : public test::TestServices {
public:
    bool InitRuntimeFolder() override { return SystemStartupServices().InitRuntimeFolder(); }
};

struct FailureRow {
    const char* name;
    bool sockets = true;
    bool selfInstall = false;
    const char* runtimeUnder = nullptr;  // a runtime folder below this regular file
    bool brokenRegistry = false;         // the store's file below a regular file
    std::vector<std::string> args;
    std::string message;  // the one message expected; empty: none
};

// Runs in a child: the start-up of row, then exits 0 when InitInstance
// failed as it should (one message or none, no window, nothing written to
// the registry, also by the exit handling), else 1 with the reason.
[[noreturn]] void StartInChild(const FailureRow& row, const std::string& scratch)
{
    test::App();
    if (row.brokenRegistry) {
        test::WriteFile(scratch + "/store", "a regular file");
        setenv("TESSARINE_REGISTRY", (scratch + "/store/registry.sqlite3").c_str(), 1);
    }
    if (row.runtimeUnder) {
        test::WriteFile(scratch + "/" + row.runtimeUnder, "a regular file");
        setenv("TESSARINE_RUNTIME_DIR", (scratch + "/" + row.runtimeUnder + "/tessarine").c_str(), 1);
    }
    RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine\\Recent File List");
    RegistryWriteString(HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine\\Recent File List", "File1", "/old.tsn");
    const std::string before = test::RegistrySnapshot();
    RealRuntimeServices services;
    services.sockets = row.sockets;
    services.selfInstall = row.selfInstall;
    test::ScriptedMessageBox box;
    int failures = 0;
    {
        CTessarineApp app(&services);
        std::vector<std::string> argv = {"/opt/tessarine/Tessup"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        app.SetArguments(argv);
        if (app.InitInstance())
            failures += std::fprintf(stderr, "InitInstance returned true\n") > 0;
        if (app.GetMainWnd() && app.GetMainWnd()->isVisible())
            failures += std::fprintf(stderr, "a main window is shown\n") > 0;
        app.ExitInstance();
    }
    const std::vector<std::string> texts = box.texts();
    const std::vector<std::string> expected =
        row.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.message};
    if (texts != expected)
        failures += std::fprintf(stderr, "messages: %zu, first: %s\n", texts.size(),
                                 texts.empty() ? "-" : texts.front().c_str()) > 0;
    for (const test::ShownMessage& shown : box.shown())
        if (shown.caption != "Tessarine" || shown.style != (MB_OK | MB_ICONEXCLAMATION))
            failures += std::fprintf(stderr, "style %u caption %s\n", shown.style, shown.caption.c_str()) > 0;
    if (test::RegistrySnapshot() != before)
        failures += std::fprintf(stderr, "the registry changed:\n%s\n", test::RegistrySnapshot().c_str()) > 0;
    if (std::filesystem::exists(DesktopRegistrationPaths().desktopEntry))
        failures += std::fprintf(stderr, "the desktop registration is there\n") > 0;
    std::fflush(stderr);
    _exit(failures == 0 ? 0 : 1);
}

}  // namespace

// Each case in a child: the application object is one per process.
TEST(StartupDeathTest, EachFailingStepShowsItsMessageAndEndsWithoutWindowOrRegistration)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test::TempDir scratch;
    const FailureRow rows[] = {
        {"sockets", false, false, nullptr, false, {}, "Windows sockets initialization failed."},
        {"runtime folder", true, false, "file", false,
         {},
         "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {"installer took the start", true, true, nullptr, false, {"/install"}, ""},
        {"installer took a file start", true, true, nullptr, false, {scratch.file("x.tsn")}, ""},
        // Not all could be removed: the store cannot even be opened.
        {"unregistration", true, false, nullptr, true, {"/Unregister"}, res::IDP_UNREG_FAILURE},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EXIT(StartInChild(row, scratch.str()), ::testing::ExitedWithCode(0), "");
    }
}

TEST(RuntimeFolder, IsMadeOwnerOnlyAndRefusedUnderAFile)
{
    test::TempDir dir;
    const char* saved = std::getenv("TESSARINE_RUNTIME_DIR");
    const std::string keep = saved ? saved : "";
    struct Row {
        std::string path;
        bool made;
    };
    test::WriteFile(dir.file("file"), "x");
    std::filesystem::create_directory(dir.file("open"));
    std::filesystem::permissions(dir.file("open"), std::filesystem::perms::all);
    const Row rows[] = {
        {dir.file("a/b/tessarine"), true},
        {dir.file("open"), true},  // an existing folder of ours is closed to others
        {dir.file("file"), false},
        {dir.file("file/tessarine"), false},
    };
    for (const Row& row : rows) {
        setenv("TESSARINE_RUNTIME_DIR", row.path.c_str(), 1);
        EXPECT_EQ(RuntimeFolderPath(), row.path);
        EXPECT_EQ(MakeRuntimeFolder(), row.made) << row.path;
        if (row.made)
            EXPECT_EQ(std::filesystem::status(row.path).permissions() & std::filesystem::perms::all,
                      std::filesystem::perms::owner_all);
    }
    setenv("TESSARINE_RUNTIME_DIR", keep.c_str(), 1);
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { test::ForgetRegistration(); }
    void TearDown() override { test::ForgetRegistration(); }

    static std::string Value(HKEY root, const std::string& key, const std::string& name = "")
    {
        std::string value = "<missing>";
        RegistryGetString(root, key, name, value, "<missing>");
        return value;
    }
    test::TempDir dir;
};

TEST_F(StartupTest, TheCommandLineOpensFilesPrintsNothingAndUnregisters)
{
    test::WriteConfiguration(dir.file("site.tsn"));
    std::filesystem::create_directory(dir.file("my sites"));
    test::WriteConfiguration(dir.file("my sites/site one.tsn"));
    enum Window { shown, hidden, none };
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool started;
        Window window;
        std::string title;
        std::vector<std::string> messages;
    };
    const std::string missing = dir.file("missing.tsn");
    const Row rows[] = {
        {"no arguments", {}, true, shown, "Untitled - Tessarine", {}},
        {"absolute path", {dir.file("site.tsn")}, true, shown, "site.tsn - Tessarine", {}},
        {"path with blanks", {dir.file("my sites/site one.tsn")}, true, shown, "site one.tsn - Tessarine", {}},
        {"print", {"/p", dir.file("site.tsn")}, false, hidden, "site.tsn - Tessarine", {}},
        {"print to", {"/pt", dir.file("site.tsn"), "lp", "drv", "port"}, false, hidden, "site.tsn - Tessarine", {}},
        {"/P is a file name", {"/P", dir.file("site.tsn")}, false, none, "", {"/P was not found."}},
        {"missing file", {missing}, false, none, "", {missing + " was not found."}},
        {"dde is a plain start", {"/dde"}, true, shown, "Untitled - Tessarine", {}},
        {"embedding is a plain start", {"/Embedding"}, true, shown, "Untitled - Tessarine", {}},
        {"after the installer's second stage", {"/installstep2"}, true, shown, "Untitled - Tessarine", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartedApp started(row.args);
        EXPECT_EQ(started.started, row.started);
        CMainFrame* frame = started.frame();
        ASSERT_EQ(frame != nullptr, row.window != none);
        if (frame) {
            EXPECT_EQ(frame->isVisible(), row.window == shown);
            EXPECT_EQ(frame->windowTitle().toStdString(), row.title);
        }
        EXPECT_EQ(started.box.texts(), row.messages);
        // Every start registers the document type, with a quoted command.
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "Tessarine.Document\\shell\\open\\command"),
                  "\"" + CTessarineApp::ProgramPath() + "\" \"%1\"");
    }
}

TEST_F(StartupTest, RegistrationRowsAndAForeignAssociation)
{
    const std::string program = "\"" + CTessarineApp::ProgramPath() + "\"";
    struct Row {
        const char* key;
        const char* name;
        std::string value;
    };
    const Row ours[] = {
        {kTypeKey, "", "Tessup Configuration"},
        {"Tessarine.Document\\DefaultIcon", "", CTessarineApp::ProgramPath() + ",0"},
        {"Tessarine.Document\\shell\\open\\command", "", program + " \"%1\""},
        {"Tessarine.Document\\shell\\print\\command", "", program + " /p \"%1\""},
        {"Tessarine.Document\\shell\\printto\\command", "", program + " /pt \"%1\" \"%2\" \"%3\" \"%4\""},
        {".tsn", "", kTypeKey},
        {".tsn\\ShellNew", "NullFile", ""},
    };
    {
        StartedApp started({});
        for (const Row& row : ours)
            EXPECT_EQ(Value(HKEY_CLASSES_ROOT, row.key, row.name), row.value) << row.key;
        // Written once; the second start finds nothing to change.
        EXPECT_EQ(started.services.refreshed.size(), 2u);
        EXPECT_EQ(test::ReadFile(DesktopRegistrationPaths().desktopEntry),
                  DesktopEntryText(CTessarineApp::ProgramPath()));
        EXPECT_EQ(test::ReadFile(DesktopRegistrationPaths().mimePackage), MimePackageText());
    }
    {
        StartedApp again({});
        EXPECT_TRUE(again.services.refreshed.empty());
    }
    test::ForgetRegistration();
    RegistryCreateKey(HKEY_CLASSES_ROOT, ".tsn\\ShellNew");
    RegistryWriteString(HKEY_CLASSES_ROOT, ".tsn", "", "Other.Document");
    RegistryWriteString(HKEY_CLASSES_ROOT, ".tsn\\ShellNew", "Command", "other");
    {
        StartedApp started({});
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".tsn"), "Other.Document");
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".tsn\\ShellNew", "NullFile"), "<missing>");
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kTypeKey), "Tessup Configuration");
    }
    // Unregistering removes our type but leaves the foreign association.
    StartedApp unregister({"/Unregister"});
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".tsn"), "Other.Document");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kTypeKey), "<missing>");
}

TEST_F(StartupTest, UnregisterRemovesEverythingAndWritesNothingAfterwards)
{
    struct Row {
        std::vector<std::string> args;
        std::vector<std::string> messages;
        bool otherCompanyValue;  // Software\Orvik holds something else too
    };
    const Row rows[] = {
        {{"/Unregister"}, {res::IDP_UNREG_DONE}, false},
        {{"-unregserver"}, {res::IDP_UNREG_DONE}, true},
        {{"/Unregister", "/Embedding"}, {}, false},
    };
    for (const Row& row : rows) {
        test::ForgetRegistration();
        test::WriteConfiguration(dir.file("site.tsn"));
        { StartedApp opened({dir.file("site.tsn")}); }
        ASSERT_EQ(Value(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Recent File List", "File1"),
                  dir.file("site.tsn"));
        if (row.otherCompanyValue) {
            RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Orvik\\Other");
        }
        std::string after;
        {
            StartedApp started(row.args);
            EXPECT_FALSE(started.started);
            EXPECT_EQ(started.frame(), nullptr);
            EXPECT_EQ(started.box.texts(), row.messages);
            started.app->ExitInstance();
            after = test::RegistrySnapshot();
        }
        EXPECT_EQ(test::RegistrySnapshot(), after) << "written after the unregistration";
        EXPECT_EQ(after.find("Tessarine.Document"), std::string::npos);
        EXPECT_EQ(after.find("Software\\Orvik\\Tessarine"), std::string::npos);
        EXPECT_EQ(after.find("HKEY_CURRENT_USER\\Software\\Orvik]") != std::string::npos, row.otherCompanyValue);
        EXPECT_FALSE(std::filesystem::exists(DesktopRegistrationPaths().desktopEntry));
        EXPECT_FALSE(std::filesystem::exists(DesktopRegistrationPaths().mimePackage));
    }
}
