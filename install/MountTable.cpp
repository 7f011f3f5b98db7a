#include "install/MountTable.h"

#include "install/FolderPath.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {

constexpr std::array<std::string_view, 24> kPseudoTypes = {
    "proc", "sysfs", "devpts", "devtmpfs", "cgroup", "cgroup2", "pstore", "bpf",
    "tracefs", "debugfs", "securityfs", "configfs", "fusectl", "mqueue", "hugetlbfs", "autofs",
    "binfmt_misc", "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs", "ramfs", "fuse.gvfsd-fuse", "fuse.portal",
};

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// True when parent is path or one of its parents, compared component-wise.
bool IsPrefixFolder(const std::string& parent, const std::string& path)
{
    if (parent == "/")
        return true;
    return path == parent || (path.size() > parent.size() && path.compare(0, parent.size(), parent) == 0 &&
                              path[parent.size()] == '/');
}

}  // namespace

std::string DecodeMountField(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
            IsOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')) & 0xFF);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<MountEntry> ParseMounts(std::string_view text)
{
    std::vector<MountEntry> mounts;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (fields >> device >> mountPoint >> type)
            mounts.push_back({DecodeMountField(device), DecodeMountField(mountPoint), DecodeMountField(type)});
    }
    return mounts;
}

bool IsPseudoFileSystem(const MountEntry& entry)
{
    if (std::find(kPseudoTypes.begin(), kPseudoTypes.end(), entry.type) != kPseudoTypes.end())
        return true;
    for (const char* system : {"/proc", "/sys", "/dev", "/run"})
        if (IsPrefixFolder(system, entry.mountPoint))
            return true;
    return false;
}

std::vector<std::string> DriveList(const std::vector<MountEntry>& mounts)
{
    std::vector<std::string> drives;
    for (const MountEntry& entry : mounts)
        if (!IsPseudoFileSystem(entry) && !entry.mountPoint.empty() && entry.mountPoint.front() == '/')
            drives.push_back(entry.mountPoint);
    std::sort(drives.begin(), drives.end());  // "/" sorts first
    drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
    return drives;
}

std::string MountPointOf(const std::string& path, const std::vector<MountEntry>& mounts)
{
    const std::string folder = NearestExistingFolder(path);
    std::string best = "/";
    for (const MountEntry& entry : mounts)
        if (IsPrefixFolder(entry.mountPoint, folder) && entry.mountPoint.size() > best.size())
            best = entry.mountPoint;
    return best;
}

std::vector<MountEntry> ReadMounts(const std::string& file)
{
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseMounts(text);
}

std::string NearestExistingFolder(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::path(ExpandFolderText(path)).lexically_normal();
    while (!folder.empty() && folder != folder.root_path() && !IsExistingFolder(folder.string()))
        folder = folder.parent_path();
    if (folder.empty() || !IsExistingFolder(folder.string()))
        return "/";
    std::error_code error;
    const fs::path canonical = fs::canonical(folder, error);
    std::string result = error ? folder.string() : canonical.string();
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}
