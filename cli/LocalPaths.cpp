#include "cli/LocalPaths.h"

#include "model/LocalFileLookup.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace cli {

namespace {

bool HasWildcard(const std::string& name)
{
    return name.find_first_of("*?") != std::string::npos;
}

// A match as the file dialog counts one: exists, links followed, not a folder.
bool IsFileMatch(const fs::path& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

std::vector<std::string> SortedNames(const fs::path& folder, bool& readable)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    readable = !error;
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void ListFolder(const fs::path& folder, const std::string& subfolder, const std::vector<std::string>& excludes,
                TreeListing& listing)
{
    bool readable = true;
    const std::vector<std::string> names = SortedNames(folder, readable);
    if (!readable) {
        listing.unreadable.push_back(folder.string());
        return;
    }
    for (const std::string& name : names) {
        if (name.starts_with("."))
            continue;
        const std::string relative = subfolder.empty() ? name : subfolder + "/" + name;
        if (IsExcluded(relative, excludes))
            continue;
        const fs::path path = folder / name;
        std::error_code error;
        const fs::file_status own = fs::symlink_status(path, error);
        if (error)
            continue;
        const fs::file_status target = fs::is_symlink(own) ? fs::status(path, error) : own;
        if (error)
            continue;
        if (fs::is_directory(target)) {
            if (!fs::is_symlink(own))
                ListFolder(path, relative, excludes, listing);
        } else if (fs::is_regular_file(target)) {
            listing.files.push_back({path.string(), subfolder});
        }
    }
}

}  // namespace

PathExpansion ExpandLocalPath(const std::string& typed)
{
    PathExpansion expansion;
    std::error_code error;
    const fs::path full = typed.empty() ? fs::path() : fs::absolute(fs::path(typed), error).lexically_normal();
    if (typed.empty() || error || !full.has_filename()) {
        expansion.refusal = typed.empty() || !IsFolder(full) ? PathRefusal::missing : PathRefusal::folder;
        return expansion;
    }
    const std::string name = full.filename().string();
    if (!HasWildcard(name)) {
        if (IsFileMatch(full))
            expansion.files.push_back(full.string());
        else
            expansion.refusal = IsFolder(full) ? PathRefusal::folder : PathRefusal::missing;
        return expansion;
    }
    expansion.pattern = true;
    bool readable = true;
    for (const std::string& entry : SortedNames(full.parent_path(), readable))
        if (MatchesFilePattern(name, entry) && IsFileMatch(full.parent_path() / entry))
            expansion.files.push_back((full.parent_path() / entry).string());
    if (expansion.files.empty())
        expansion.refusal = PathRefusal::missing;
    return expansion;
}

bool IsExcluded(const std::string& relative, const std::vector<std::string>& excludes)
{
    for (const std::string& pattern : excludes)
        if (::fnmatch(pattern.c_str(), relative.c_str(), 0) == 0)
            return true;
    return false;
}

TreeListing ListTree(const std::string& top, const std::vector<std::string>& excludes)
{
    TreeListing listing;
    std::error_code error;
    const fs::path root = fs::absolute(fs::path(top), error).lexically_normal();
    listing.topIsFolder = !top.empty() && !error && IsFolder(root);
    if (!listing.topIsFolder)
        return listing;
    // "site/" normalises to "site/" with an empty file name; drop it so the
    // paths read "site/a.html".
    const fs::path folder = root.has_filename() ? root : root.parent_path();
    ListFolder(folder, "", excludes, listing);
    return listing;
}

}  // namespace cli
