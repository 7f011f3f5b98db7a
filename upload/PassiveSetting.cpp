#include "upload/PassiveSetting.h"

#include "common/RegistryHelpers.h"
#include "platform/ftp/PassiveMode.h"

namespace {

constexpr const char* kSettingsKey = "Software\\Orvik\\Tessarine\\Settings";

}  // namespace

bool ProgramPassiveModeSetting()
{
    return FtpPassiveFromEnvironment() || RegistryGetDword(HKEY_CURRENT_USER, kSettingsKey, "PassiveMode", 0) == 1;
}
