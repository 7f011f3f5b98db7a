// ShowSetupError for a build without windows.

#include "setup/SetupLauncher.h"

void ShowSetupError(const char*)
{
    PrintSetupError();
}
