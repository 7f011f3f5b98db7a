#include "model/LocalFileLookup.h"

#include "platform/framework/MessageBox.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& name)
{
    return name.find_first_of("*?") != std::string::npos;
}

// Exists and is not a folder (links followed).
bool IsFileMatch(const fs::path& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

std::optional<std::string> FirstMatchIn(const fs::path& folder, const std::string& pattern)
{
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (MatchesFilePattern(pattern, name) && IsFileMatch(entry.path()))
            names.push_back(name);
    }
    if (names.empty())
        return std::nullopt;
    return (folder / *std::min_element(names.begin(), names.end())).string();
}

}  // namespace

bool MatchesFilePattern(const std::string& pattern, const std::string& name)
{
    // Iterative match with one backtrack point: the latest "*".
    std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::optional<std::string> FindLocalFile(const std::string& typed)
{
    if (typed.empty())
        return std::nullopt;
    std::error_code error;
    const fs::path full = fs::absolute(fs::path(typed), error).lexically_normal();
    if (error || !full.has_filename())
        return std::nullopt;
    const std::string name = full.filename().string();
    if (!HasWildcard(name))
        return IsFileMatch(full) ? std::optional<std::string>(full.string()) : std::nullopt;
    return FirstMatchIn(full.parent_path(), name);
}

std::string LocalFileMissingText(const std::string& typed)
{
    return typed + "\n\nThe local file does not exist.";
}

bool ConfirmLocalFileName(std::string& fieldText)
{
    if (std::optional<std::string> found = FindLocalFile(fieldText)) {
        fieldText = *found;
        return true;
    }
    AfxMessageBox(LocalFileMissingText(fieldText), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
