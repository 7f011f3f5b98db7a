// main() of every test executable: gives the whole run a home, XDG folders,
// a registry database and a runtime folder of its own, so that no test ever
// reads or writes the real user's files.

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

void SetPrivateEnvironment(const test::TempDir& root)
{
    namespace fs = std::filesystem;
    const fs::path home = root.path() / "home";
    for (const char* sub : {"home", "home/.config", "home/.local/share", "home/.local/state", "runtime"})
        fs::create_directories(root.path() / sub);
    fs::permissions(root.path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / ".local/state").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root.path() / "runtime").c_str(), 1);
    setenv("TESSARINE_RUNTIME_DIR", (root.path() / "runtime/tessarine").c_str(), 1);
    setenv("TESSARINE_REGISTRY", (home / ".config/tessarine/registry.sqlite3").c_str(), 1);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    test::TempDir root("tessarine-run");
    SetPrivateEnvironment(root);
    return RUN_ALL_TESTS();
}
