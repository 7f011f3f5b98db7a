#pragma once
// The names one file gets on a server, worked out from the configuration's
// texts alone (no I/O): the folder it goes to, its name there, the temporary
// name it is written under, and the path shown to the user.

#include <string>
#include <vector>

struct UploadNames {
    std::string targetFolder;   // base folder, "/" if needed, web folder
    std::string targetName;     // name and extension of the local file
    std::string extension;      // from the last dot of the name, dot included; may be empty
    std::string temporaryName;  // "OrviktsnTemp" + extension
    std::string asideName;      // "OrviktsnOld" + extension: the old file while a refused rename is worked round
    std::string remotePath;     // shown only: target folder, separator, target name, "\" turned into "/"
};

// Base folder; "/" when it is not empty and does not end in "/"; web folder.
std::string BuildTargetFolder(const std::string& baseFolder, const std::string& webFolder);

// The names for the local file localPath (folders separated by "/") going to
// the given base and web folders.
UploadNames BuildUploadNames(const std::string& localPath, const std::string& baseFolder,
                             const std::string& webFolder);

// The folder levels to create for targetFolder, in order: "www/images/icons"
// gives "www", "www/images", "www/images/icons" (relative to the login
// folder); a folder that begins with "/" keeps it, so "/site/" gives "/site"
// (created from the server's top folder, where it is also entered).
std::vector<std::string> FolderLevels(const std::string& targetFolder);
