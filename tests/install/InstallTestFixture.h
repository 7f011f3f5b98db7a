#pragma once
// The installer tests' fixture: a fresh installation state (registry rows,
// shortcut folder, state folder) and a distribution folder whose Tessup is
// the recording program.

#include "common/RegistryHelpers.h"
#include "install/InstallFiles.h"
#include "install/TessarineDescription.h"
#include "platform/registry/RegistryLocation.h"
#include "platform/registry/RegistryStore.h"
#include "platform/shell/CommandLine.h"
#include "tests/common/ProcessRecord.h"
#include "tests/install/ScriptedInstallerWindows.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace test {

constexpr const char* kSelfInstallKey = "Software\\Orvik\\Tessarine\\SelfInstall";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvikTessarine";
constexpr const char* kAppPathKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessup";
constexpr unsigned int kQuestion = MB_YESNO | MB_ICONQUESTION;

inline std::string Question(const std::string& wording)
{
    return "box " + std::to_string(kQuestion) + " You are about to " + wording
         + " of Tessarine.\n\nIt is recommended to close all Tessarine windows before continuing.\n\n"
           "Do you want to continue?";
}

inline std::string Value(HKEY root, const std::string& key, const std::string& name)
{
    std::string value = "(none)";
    RegistryReadString(root, key, name, value, 4096);
    return value;
}

inline bool KeyExists(HKEY root, const std::string& key)
{
    return RegistryStore::Default().OpenKey(root, key) == ERROR_SUCCESS;
}

inline std::string ShortcutFolder()
{
    return ProgramsFolder() + "/Tessarine";
}

class SelfInstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegistryStore& store = RegistryStore::Default();
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            store.DeleteKey(root, "Software\\Orvik");
        store.DeleteKey(HKEY_LOCAL_MACHINE, kUninstallKey);
        store.DeleteKey(HKEY_LOCAL_MACHINE, kAppPathKey);
        store.DeleteKey(HKEY_CLASSES_ROOT, ".tsn");
        store.DeleteKey(HKEY_CLASSES_ROOT, "Tessarine.Document");
        RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\shell folders");
        RegistryWriteString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\shell folders",
                            "Programs", ProgramsFolder());
        fs::remove_all(ShortcutFolder());
        fs::remove_all(StateFolder());
        source = MakeCopy("dist");
    }

    // A folder holding the files of a distribution, Tessup being the
    // recording program.
    std::string MakeCopy(const std::string& name)
    {
        const std::string folder = dir.file(name) + "/";
        test::WriteFile(folder + "Readme.txt", "read me\n");
        test::WriteFile(folder + "Tessup.hlp", "help\n");
        test::WriteFile(folder + "Tessup.cnt", ":Base Tessup.hlp\n");
        fs::copy_file(TESSARINE_RECORDER, folder + "Tessup", fs::copy_options::overwrite_existing);
        ::chmod((folder + "Tessup").c_str(), 0751);
        return folder;
    }

    // The description of the copy in folder.
    std::unique_ptr<CSelfInstall> Copy(const std::string& folder, const std::string& version = "1.01")
    {
        SelfInstallApplication app;
        app.programPath = folder + "Tessup";
        app.versionText = version;
        auto install = std::make_unique<CSelfInstall>(app, windows, session);
        FillTessarineDescription(*install);
        install->m_removeDesktopType = [this] { ++desktopTypeRemovals; };
        return install;
    }

    static void Register(const std::string& version, const std::string& folder)
    {
        RegistryCreateKey(HKEY_LOCAL_MACHINE, kSelfInstallKey);
        RegistryWriteString(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Version", version);
        RegistryWriteString(HKEY_LOCAL_MACHINE, kSelfInstallKey, "Directory", folder);
    }

    // The next start of the recording program writes here.
    std::string ExpectStart(const std::string& name)
    {
        const std::string record = dir.file(name);
        setenv("TESSARINE_RECORD", record.c_str(), 1);
        return record;
    }

    test::TempDir dir{"tessarine install \"test\""};
    std::string source;
    test::ScriptedInstallerWindows windows;
    test::ScriptedSessionManager session;
    int desktopTypeRemovals = 0;
};

}  // namespace test
