#include "upload/PassiveSetting.h"

#include "platform/ftp/PassiveMode.h"

bool ProgramPassiveModeSetting()
{
    return FtpPassiveFromEnvironment();
}
