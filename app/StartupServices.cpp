#include "app/StartupServices.h"

#include "app/TessarineApp.h"
#include "common/DocumentLauncher.h"
#include "platform/shell/RuntimeFolder.h"

#include <sys/socket.h>
#include <unistd.h>

bool SystemStartupServices::InitSockets()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

bool SystemStartupServices::InitRuntimeFolder()
{
    return MakeRuntimeFolder();
}

bool SystemStartupServices::SelfInstall(CTessarineApp& app)
{
    return app.SelfInstall();
}

void SystemStartupServices::RunRefresh(const std::string& commandLine)
{
    RunCommandLine(commandLine);
}
