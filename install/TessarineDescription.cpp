#include "install/TessarineDescription.h"

#include "install/SelfInstall.h"
#include "install/UnattendedAnswers.h"
#include "platform/shell/RunningCopies.h"

#include <iostream>

void FillTessarineDescription(CSelfInstall& install)
{
    install.m_bRunAtStartup = false;
    install.m_strRunArguments.clear();
    install.m_bAppPath = true;
    install.m_strAppPathFolder = install.ProgramFolder();
    // The fixed base name, not the running file's: a renamed copy installs
    // no program file.
    const std::string base = "Tessup";
    install.m_strExeName = base;
    install.m_installFiles = {"Readme.txt", install.m_strExeName, base + ".hlp", base + ".cnt"};
    install.m_extraFiles = {base + ".gid", "License.rtf", "setup", "File_id.diz"};
    const std::string& title = install.Title();
    install.m_shortcuts = {
        ShortcutEntry(title, base, "", 0, title),
        ShortcutEntry("Read Me", "Readme.txt", "", 0, title),
        ShortcutEntry("Uninstall " + title, base, "/uninstall", 3, title),
    };
    // Running copies are found by the main frame's class: their titles
    // name the open configuration ("site.tsn - Tessarine").
    install.m_strCloseClass = kMainFrameWindowClass;
    install.m_strCloseTitle = title;
    install.m_registryKeys = {{HKEY_CLASSES_ROOT, ".tsn"}, {HKEY_CLASSES_ROOT, "Tessarine.Document"}};
    install.m_registryValues.clear();
    install.m_closePrograms.clear();
}

bool RunTessarineSelfInstall(const SelfInstallApplication& app, IInstallerWindows& windows, ISessionManager& session,
                             std::function<void()> removeDesktopType, const std::string& commandLine)
{
    const std::unique_ptr<UnattendedInstallerWindows> unattended =
        UnattendedInstallerWindows::FromEnvironment(windows, std::cerr);
    CSelfInstall install(app, unattended ? *unattended : windows, session);
    FillTessarineDescription(install);
    install.m_removeDesktopType = std::move(removeDesktopType);
    return install.Execute(commandLine);
}
