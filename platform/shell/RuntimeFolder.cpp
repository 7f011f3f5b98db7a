#include "platform/shell/RuntimeFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string RuntimeFolderPath()
{
    if (const char* own = std::getenv("TESSARINE_RUNTIME_DIR"); own && *own)
        return own;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return std::string(runtime) + "/tessarine";
    // A folder of our own in the state folder: never a shared place such as
    // /tmp, where another user could have made the name first.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::string(state) + "/tessarine/runtime";
    const char* home = std::getenv("HOME");
    const std::string base = home && *home ? home : (getpwuid(getuid()) ? getpwuid(getuid())->pw_dir : "/");
    return base + "/.local/state/tessarine/runtime";
}

bool MakeRuntimeFolder()
{
    const std::string path = RuntimeFolderPath();
    std::error_code error;
    std::filesystem::create_directories(path, error);
    struct stat info {};
    // lstat: a link planted in a shared folder is never followed.
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    return (info.st_mode & 0777) == 0700 || chmod(path.c_str(), 0700) == 0;
}
