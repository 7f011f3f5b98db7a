#include "platform/registry/RegistryLocation.h"
#include "platform/registry/RegistryStore.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

const char* const kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\shell folders";
const char* const kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

namespace {

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are to be ignored), else home + fallback.
std::string XdgFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return HomeFolder() + fallback;
}

}  // namespace

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string DataHomeFolder()
{
    return XdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string ProgramsFolder()
{
    return DataHomeFolder() + "/applications";
}

std::string ProgramFilesFolder()
{
    return HomeFolder() + "/.local/opt";
}

std::string DefaultRegistryPath()
{
    const char* named = std::getenv("TESSARINE_REGISTRY");
    if (named && named[0] != '\0') {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(named, error);
        return error ? std::string(named) : absolute.lexically_normal().string();
    }
    return XdgFolder("XDG_CONFIG_HOME", "/.config") + "/tessarine/registry.sqlite3";
}
