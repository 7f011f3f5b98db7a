#include "platform/ftp/PassiveMode.h"

#include <cstdlib>
#include <cstring>

bool FtpPassiveFromEnvironment()
{
    const char* value = std::getenv("TESSARINE_FTP_PASSIVE");
    return value && std::strcmp(value, "1") == 0;
}
