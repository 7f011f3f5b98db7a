#include "upload/UploadNames.h"

#include <algorithm>

namespace {

constexpr const char* kTemporaryStem = "OrviktsnTemp";
constexpr const char* kAsideStem = "OrviktsnOld";

std::string NameWithoutFolder(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& name)
{
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string BuildRemotePath(const std::string& targetFolder, const std::string& targetName)
{
    std::string path = targetFolder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    path += targetName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

std::string BuildTargetFolder(const std::string& baseFolder, const std::string& webFolder)
{
    std::string folder = baseFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + webFolder;
}

UploadNames BuildUploadNames(const std::string& localPath, const std::string& baseFolder,
                             const std::string& webFolder)
{
    UploadNames names;
    names.targetFolder = BuildTargetFolder(baseFolder, webFolder);
    names.targetName = NameWithoutFolder(localPath);
    names.extension = ExtensionOf(names.targetName);
    names.temporaryName = kTemporaryStem + names.extension;
    names.asideName = kAsideStem + names.extension;
    names.remotePath = BuildRemotePath(names.targetFolder, names.targetName);
    return names;
}

std::vector<std::string> FolderLevels(const std::string& targetFolder)
{
    std::vector<std::string> levels;
    std::string partial;
    std::size_t position = 0;
    if (!targetFolder.empty() && targetFolder[0] == '/') {
        partial = "/";
        position = 1;
    }
    while (position < targetFolder.size()) {
        const std::size_t end = std::min(targetFolder.find('/', position), targetFolder.size());
        partial.append(targetFolder, position, end - position);
        levels.push_back(partial);
        partial += '/';
        position = end + 1;
    }
    return levels;
}
