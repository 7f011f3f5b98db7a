#include "upload/PipeliningSetting.h"

#include "common/RegistryHelpers.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kSettingsKey = "Software\\Orvik\\Tessarine\\Settings";

}  // namespace

bool ProgramPipeliningSetting()
{
    const char* value = std::getenv("TESSARINE_FTP_PIPELINING");
    if (value && std::strcmp(value, "0") == 0)
        return false;
    return RegistryGetDword(HKEY_CURRENT_USER, kSettingsKey, "Pipelining", 1) != 0;
}
