#include "install/SessionManager.h"

#include "platform/shell/ProcessStarter.h"

#include <vector>

namespace {

// How long a session manager gets to accept the request.
constexpr int kRequestMilliseconds = 10000;

const std::vector<std::vector<std::string>>& RestartRequests()
{
    static const std::vector<std::vector<std::string>> requests = {
        {"dbus-send", "--session", "--print-reply", "--dest=org.gnome.SessionManager",
         "/org/gnome/SessionManager", "org.gnome.SessionManager.Reboot"},
        {"dbus-send", "--session", "--print-reply", "--dest=org.kde.Shutdown", "/Shutdown",
         "org.kde.Shutdown.logoutAndReboot"},
        {"dbus-send", "--session", "--print-reply", "--dest=org.xfce.SessionManager",
         "/org/xfce/SessionManager", "org.xfce.Session.Manager.Restart", "boolean:true"},
    };
    return requests;
}

}  // namespace

bool SystemSessionManager::RequestRestart()
{
    for (const std::vector<std::string>& request : RestartRequests()) {
        const std::string program = FindProgram(request.front(), SearchPathFolders());
        if (program.empty())
            continue;
        const ProcessOutcome outcome = StartDetachedProcess(program, request, std::string(), kRequestMilliseconds);
        if (outcome.started && outcome.exited && outcome.exitCode == 0)
            return true;
    }
    return false;
}

std::string RestartFailedText(const std::string& title)
{
    return "The computer could not be restarted: no desktop session manager accepted the request.\n\n"
           "Please restart the computer yourself to finish uninstalling " + title + ".";
}
