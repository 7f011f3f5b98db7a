#include "install/ProposedDestination.h"

#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryLocation.h"

std::string ProposedDestination(const std::string& folder, const std::string& sourceFolder, const std::string& title)
{
    if (!folder.empty())
        return folder;
    std::string programFiles;
    if (RegistryReadString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", programFiles, 260)
        && !programFiles.empty())
        return programFiles + "/" + title;
    return sourceFolder;
}
