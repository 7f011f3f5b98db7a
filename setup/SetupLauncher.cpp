#include "setup/SetupLauncher.h"
#include "common/DocumentLauncher.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const kSetupCommandLine = "Tessup /install";
const char* const kSetupErrorText = "Unable to run \"Tessup /install\".";
const char* const kSetupErrorCaption = "Error";

namespace {

bool IsSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && value[0] != '\0';
}

}  // namespace

bool SetupHasDisplay()
{
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && platform[0] != '\0')
        return std::strncmp(platform, "offscreen", 9) != 0 && std::strncmp(platform, "minimal", 7) != 0;
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

void PrintSetupError()
{
    std::fprintf(stderr, "%s: %s\n", kSetupErrorCaption, kSetupErrorText);
}

int RunSetupLauncher(const char* programName)
{
    if (!RunCommandLine(kSetupCommandLine))
        ShowSetupError(programName);
    return 0;
}
