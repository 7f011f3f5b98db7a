#pragma once
// Asking the desktop session to restart the computer, so that running
// programs are asked to save first, as the session manager does at log-off.

#include <string>

class ISessionManager {
public:
    virtual ~ISessionManager() = default;
    // Asks for a restart; true when a session manager accepted the request
    // (the restart then runs on its own). Blocks only for the request.
    virtual bool RequestRestart() = 0;
};

// The desktop's session managers over the session bus (GNOME's, KDE's,
// Xfce's), through dbus-send or the desktop's own logout tool, tried in turn
// until one accepts.
class SystemSessionManager : public ISessionManager {
public:
    bool RequestRestart() override;
};

// The text shown when no session manager accepted the request.
std::string RestartFailedText(const std::string& title);
