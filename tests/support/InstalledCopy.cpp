#include "tests/support/InstalledCopy.h"

#include "platform/registry/RegistryStore.h"
#include "res/VersionText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace test {

void RegisterDistAsInstalled(const std::string& registryPath)
{
    RegistryStore store(registryPath);
    const std::string key = "Software\\Orvik\\Tessarine\\SelfInstall";
    const std::string version = GetVersionText();
    const std::string folder = std::filesystem::canonical(std::getenv("TESSARINE_DIST_DIR")).string() + "/";
    ASSERT_EQ(store.CreateKey(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
    store.SetValue(HKEY_LOCAL_MACHINE, key, "Version", REG_SZ, version.c_str(), DWORD(version.size() + 1));
    store.SetValue(HKEY_LOCAL_MACHINE, key, "Directory", REG_SZ, folder.c_str(), DWORD(folder.size() + 1));
}

}  // namespace test
