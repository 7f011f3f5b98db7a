#include "install/FolderPath.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

bool IsPathSeparator(char c)
{
    return c == '/';
}

bool EndsWithSeparator(const std::string& path)
{
    return !path.empty() && IsPathSeparator(path.back());
}

std::string WithTrailingSeparator(const std::string& path)
{
    return EndsWithSeparator(path) ? path : path + "/";
}

bool IsExistingFolder(const std::string& path)
{
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExpandFolderText(const std::string& text)
{
    if (text.empty())
        return text;
    if (text == "~" || text.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return home && *home ? std::string(home) + text.substr(1) : text;
    }
    if (text.front() == '/')
        return text;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? text : (current / text).string();
}

bool IsDriveRoot(const std::string& text)
{
    const std::string expanded = ExpandFolderText(text);
    if (expanded.empty() || expanded.front() != '/')
        return false;
    return std::filesystem::path(expanded).lexically_normal() == "/";
}

namespace {

// mkdir's error, where a name taken by something other than a folder reads
// as what it is (not a folder) rather than as "exists".
int MakeFolderError()
{
    return errno == EEXIST ? ENOTDIR : errno;
}

}  // namespace

bool CreateFolderPath(const std::string& path, int* error)
{
    int failure = 0;
    bool stopped = false;
    for (std::size_t i = 1; i + 1 < path.size() && !stopped; ++i) {
        if (!IsPathSeparator(path[i]))
            continue;
        const std::string level = path.substr(0, i);
        if (!IsExistingFolder(level) && mkdir(level.c_str(), 0777) != 0) {
            failure = MakeFolderError();
            stopped = true;
        }
    }
    if (!stopped && !IsExistingFolder(path) && mkdir(path.c_str(), 0777) != 0)
        failure = MakeFolderError();
    const bool made = IsExistingFolder(path);
    if (error)
        *error = made ? 0 : (failure != 0 ? failure : ENOTDIR);
    return made;
}
