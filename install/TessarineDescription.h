#pragma once
// This program's installation: what CTessarineApp::SelfInstall puts into the
// description before Execute.

class CSelfInstall;

// Fills install (fresh) with the files, shortcuts, registry keys and the
// running copies to close. The App Paths folder is the program folder.
void FillTessarineDescription(CSelfInstall& install);

#include "install/SelfInstall.h"

// CTessarineApp::SelfInstall: a fresh description of this program run on
// commandLine, through the unattended mode when TESSARINE_INSTALL_ANSWERS
// asks for it (in front of windows, logging to standard error). True when
// the program must end now.
bool RunTessarineSelfInstall(const SelfInstallApplication& app, IInstallerWindows& windows, ISessionManager& session,
                             std::function<void()> removeDesktopType, const std::string& commandLine);
