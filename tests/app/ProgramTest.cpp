// The built Tessup as the desktop and the installer start it.

#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryText.h"
#include "res/VersionText.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstdlib>
#include <thread>

namespace {

std::string TessupPath()
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/Tessup";
}

}  // namespace

TEST(TessupProgram, StartsAndStaysUpOrEndsAsItsCommandLineSays)
{
    test::TempDir dir;
    test::WriteConfiguration(dir.file("my site.tsn"));
    test::RunOptions options;
    options.env["TESSARINE_REGISTRY"] = dir.file("registry.sqlite3");
    options.env["QT_QPA_PLATFORM"] = "offscreen";
    // The copy in build/dist/ is the installed one: the installer lets
    // every start through to start-up.
    test::RegisterDistAsInstalled(dir.file("registry.sqlite3"));
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool staysUp;        // until SIGTERM, which closes it the normal way
        bool registered;     // the document type rows afterwards
        std::string recent;  // File1 of the recent files afterwards
    };
    const Row rows[] = {
        {"no arguments", {}, true, true, ""},
        {"a file with blanks in its path", {dir.file("my site.tsn")}, true, true, dir.file("my site.tsn")},
        {"print: opened unseen, nothing printed", {"/p", dir.file("my site.tsn")}, false, true,
         dir.file("my site.tsn")},
        {"unregistration without a message", {"/Unregister", "/Embedding"}, false, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> argv = {TessupPath()};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        test::Program program(argv, options);
        if (row.staysUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            program.Signal(SIGTERM);
            // Closed, not killed: the recent-file list is written at exit.
            EXPECT_EQ(program.Wait(), 0) << program.Stderr();
        } else {
            EXPECT_EQ(program.Wait(), 0) << program.Stderr();
        }
        EXPECT_EQ(program.Stdout(), "");
        RegistryStore store(dir.file("registry.sqlite3"));
        RegistryValue value;
        const LONG found =
            store.GetValue(HKEY_CURRENT_USER, "Software\\Orvik\\Tessarine\\Recent File List", "File1", value);
        EXPECT_EQ(found == ERROR_SUCCESS ? value.data : "", row.recent.empty() ? "" : row.recent + '\0');
        EXPECT_EQ(store.OpenKey(HKEY_CLASSES_ROOT, "Tessarine.Document") == ERROR_SUCCESS, row.registered);
    }
}
