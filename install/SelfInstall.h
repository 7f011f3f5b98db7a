#pragma once
// The program's self-installer: the description of its installation (files,
// shortcuts, registry entries, programs to close) and the flows that work
// from it. Execute looks at the command line on every start and either lets
// start-up go on (false) or has installed, handed the start over, or
// uninstalled, and the program must end (true).
//
// The installer reaches the user only through IInstallerWindows, the
// registry through the registry helpers (the per-user store), and the
// desktop session through ISessionManager. Nothing throws.

#include "install/InstallerWindows.h"
#include "install/SelfInstallEntries.h"

#include <functional>
#include <string>
#include <vector>

class ISessionManager;

// What the application object knows at start-up and the installer reads.
struct SelfInstallApplication {
    std::string title = "Tessarine";
    std::string companyKey = "Orvik";
    std::string profileName = "Tessarine";
    std::string programPath;  // the running program file, absolute; empty when unknown
    std::string versionText;  // "1.01", "1.01 Beta 3"
};

class CSelfInstall {
public:
    // windows and session: not owned; they outlive the description.
    CSelfInstall(const SelfInstallApplication& app, IInstallerWindows& windows, ISessionManager& session);
    virtual ~CSelfInstall() = default;
    CSelfInstall(const CSelfInstall&) = delete;
    CSelfInstall& operator=(const CSelfInstall&) = delete;

    // "/uninstall" (whole, exact): the uninstallation, always true. Anything
    // else: the status check and, where it leads, an installation stage.
    // commandLine is the text after the program's name with each argument
    // quoted as platform/shell/CommandLine.h builds it.
    bool Execute(const std::string& commandLine);

    // Called at the end of the second stage with the installation folder.
    virtual void OnInstalled(const std::string& installFolder);

    // The Run value (and the desktop's autostart entry): written when
    // enable is set, removed when not.
    void SetRunAtStartup(const std::string& arguments, bool enable);
    // The App Paths key of exeName (default value: the program path; "Path":
    // folder when not empty), or its removal. The user's PATH is not touched.
    void SetAppPath(const std::string& exeName, const std::string& folder, bool enable);

    // ---- The description, filled before Execute --------------------------
    std::vector<std::string> m_installFiles;
    std::vector<std::string> m_extraFiles;
    bool m_bRunAtStartup = false;
    std::string m_strRunArguments;
    bool m_bAppPath = false;
    std::string m_strAppPathFolder;
    std::vector<ShortcutEntry> m_shortcuts;
    std::vector<RegistryValueEntry> m_registryValues;
    std::vector<RegistryKeyEntry> m_registryKeys;
    std::vector<ProgramToClose> m_closePrograms;
    std::string m_strCloseClass;
    std::string m_strCloseTitle;
    std::string m_strExeName;
    IInstallerWindows& m_window;
    // Removes what start-up registers with the desktop for the document
    // type (MIME type, file association); run by the uninstallation.
    std::function<void()> m_removeDesktopType;

    // ---- Names derived from the application ---------------------------------
    const std::string& Title() const { return m_app.title; }
    std::string ApplicationKey() const;   // Software\Orvik\Tessarine
    std::string SelfInstallKey() const;   // ApplicationKey() + "\SelfInstall"
    std::string UninstallKeyName() const; // OrvikTessarine
    std::string UninstallKey() const;     // ...\CurrentVersion\Uninstall\OrvikTessarine
    const std::string& ProgramPath() const { return m_app.programPath; }
    std::string ProgramFolder() const;    // with its trailing "/"; empty when unknown

private:
    bool RunInstallCheck(const std::string& commandLine);
    bool RunFirstStage(const std::string& wording, const std::string& registeredFolder);
    // Copies the install files; false (after the message) on a copy error.
    bool CopyInstallFiles(const std::string& destination);
    bool RunSecondStage();
    bool RunUninstall();
    // Starts the registered copy with arguments; false when it cannot be.
    bool StartRegisteredCopy(const std::string& registeredFolder, const std::string& arguments);
    void RemoveRegistration();
    // Deletes the listed files from folder; true when one had to be
    // scheduled for the next restart.
    bool DeleteInstalledFiles(const std::string& folder);
    void OfferRestart();
    std::string RegisteredValue(const char* name) const;

    SelfInstallApplication m_app;
    ISessionManager& m_session;
};
