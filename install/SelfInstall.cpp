#include "install/SelfInstall.h"

#include "common/RegistryHelpers.h"
#include "install/DesktopEntryFile.h"
#include "install/InstallFiles.h"
#include "platform/framework/MessageBox.h"
#include "platform/registry/RegistryStore.h"
#include "platform/shell/CommandLine.h"
#include "platform/shell/ProcessStarter.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kAppPathsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr unsigned int kQuestion = MB_YESNO | MB_ICONQUESTION;
constexpr unsigned int kWarning = MB_OK | MB_ICONEXCLAMATION;

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// On this platform "/" is the one separator; a backslash belongs to a name.
std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// A folder text as typed, made absolute and ended by "/".
std::string AbsoluteFolder(const std::string& folder)
{
    std::error_code error;
    std::string absolute = std::filesystem::absolute(folder, error).lexically_normal().string();
    if (error)
        absolute = folder;
    return WithSlash(absolute);
}

// Starts program with the arguments of a command-line text. The program
// goes as a path, not as the first token of a command line: an
// installation folder may hold blanks and even quotes, which no first
// token can carry. False when it could not be executed.
bool StartProgram(const std::string& program, const std::string& arguments, const std::string& folder)
{
    std::vector<std::string> argv = SplitCommandLine("x " + arguments).arguments;
    argv.insert(argv.begin(), program);
    return StartDetachedProcess(program, argv, folder).started;
}

}  // namespace

CSelfInstall::CSelfInstall(const SelfInstallApplication& app, IInstallerWindows& windows, ISessionManager& session)
    : m_window(windows), m_app(app), m_session(session)
{
}

void CSelfInstall::OnInstalled(const std::string&)
{
}

std::string CSelfInstall::ApplicationKey() const
{
    return "Software\\" + m_app.companyKey + "\\" + m_app.profileName;
}

std::string CSelfInstall::SelfInstallKey() const
{
    return ApplicationKey() + "\\SelfInstall";
}

std::string CSelfInstall::UninstallKeyName() const
{
    return m_app.companyKey + m_app.profileName;
}

std::string CSelfInstall::UninstallKey() const
{
    return std::string(kUninstallKey) + "\\" + UninstallKeyName();
}

std::string CSelfInstall::ProgramFolder() const
{
    if (m_app.programPath.empty())
        return std::string();
    return std::filesystem::path(m_app.programPath).parent_path().string() + "/";
}

std::string CSelfInstall::RegisteredValue(const char* name) const
{
    std::string value;
    RegistryGetString(HKEY_LOCAL_MACHINE, SelfInstallKey(), name, value, std::string());
    return value;
}

bool CSelfInstall::Execute(const std::string& commandLine)
{
    if (commandLine == "/uninstall")
        return RunUninstall();
    return RunInstallCheck(commandLine);
}

bool CSelfInstall::RunInstallCheck(const std::string& commandLine)
{
    const bool sameVersion = RegisteredValue("Version") == m_app.versionText;
    const std::string registeredFolder = RegisteredValue("Directory");
    const bool install = commandLine == "/install";
    const bool secondStage = commandLine == "/installstep2";
    if (sameVersion && SameFolder(registeredFolder, ProgramFolder()) && !install && !secondStage)
        return false;
    if (secondStage)
        return RunSecondStage();
    std::string wording;
    if (sameVersion && !install) {
        if (StartRegisteredCopy(registeredFolder, commandLine))
            return true;
        wording = "re-install the same version";
    } else if (sameVersion) {
        wording = "re-install the same version";
    } else if (registeredFolder.empty()) {
        wording = "install a new copy";
    } else {
        wording = "install a different version";
    }
    return RunFirstStage(wording, registeredFolder);
}

bool CSelfInstall::StartRegisteredCopy(const std::string& registeredFolder, const std::string& arguments)
{
    // Only an installed program file elsewhere is started: an empty or
    // relative folder would find this very copy again and hand over for ever.
    if (registeredFolder.empty() || registeredFolder.front() != '/' || SameFolder(registeredFolder, ProgramFolder()))
        return false;
    return StartProgram(WithSlash(registeredFolder) + m_strExeName, arguments, std::string());
}

bool CSelfInstall::RunFirstStage(const std::string& wording, const std::string& registeredFolder)
{
    const std::string& title = m_app.title;
    const std::string question = "You are about to " + wording + " of " + title + ".\n\nIt is recommended to close all "
                               + title + " windows before continuing.\n\nDo you want to continue?";
    m_window.ShowWithCaption("Setup");
    if (m_window.InstallerMessageBox(question, kQuestion) != IDYES)
        return true;
    if (m_window.CloseRunningPrograms(m_strCloseClass, m_strCloseTitle, title, m_closePrograms))
        return true;
    const std::string programFolder = ProgramFolder();
    if (m_window.ShowLicenseAgreement(programFolder))
        return true;
    std::string chosen = registeredFolder;
    if (m_window.ChooseDestination(chosen, programFolder, title, m_installFiles) || chosen.empty())
        return true;
    auto message = m_window.ShowMessageWindow("Installing the program...");
    const std::string destination = AbsoluteFolder(chosen);
    if (SameFolder(destination, programFolder)) {
        message.reset();
        return RunSecondStage();
    }
    std::error_code folderError;  // a folder that cannot be made shows in the copy error
    std::filesystem::create_directories(destination, folderError);
    if (!CopyInstallFiles(destination))
        return true;
    if (!StartProgram(destination + m_strExeName, "/installstep2", destination)) {
        m_window.InstallerMessageBox("Error running the newly installed program.", kWarning);
        return true;
    }
    if (RegistryCreateKey(HKEY_LOCAL_MACHINE, ApplicationKey()))
        RegistryWriteString(HKEY_LOCAL_MACHINE, SelfInstallKey(), "Version", m_app.versionText);
    RegistryStore::Default().DeleteKey(HKEY_CURRENT_USER, SelfInstallKey());
    return true;
}

bool CSelfInstall::CopyInstallFiles(const std::string& destination)
{
    const std::string programFolder = ProgramFolder();
    for (const std::string& name : m_installFiles) {
        const CopyResult result = CopyInstallFile(programFolder + name, destination + name);
        if (result.copied || result.error == 0 || result.error == ENOENT)
            continue;
        m_window.ShowSystemError("Error copying the file " + name + ".", result.error);
        return false;
    }
    return true;
}

bool CSelfInstall::RunSecondStage()
{
    const std::string programFolder = ProgramFolder();
    SetRunAtStartup(m_strRunArguments, m_bRunAtStartup);
    SetAppPath(m_strExeName, m_strAppPathFolder, m_bAppPath);
    for (const RegistryValueEntry& value : m_registryValues)
        RegistryWriteString(value.m_hRoot, value.m_strKey, value.m_strValueName, value.m_strData);
    for (const ShortcutEntry& shortcut : m_shortcuts)
        shortcut.CreateShortcut(programFolder);
    if (!m_app.programPath.empty() && RegistryCreateKey(HKEY_LOCAL_MACHINE, UninstallKey())) {
        RegistryWriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName", m_app.title + " " + m_app.versionText);
        RegistryWriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString",
                            Quoted(m_app.programPath) + " /uninstall");
    }
    OnInstalled(programFolder);
    if (RegistryCreateKey(HKEY_LOCAL_MACHINE, SelfInstallKey())) {
        RegistryWriteString(HKEY_LOCAL_MACHINE, SelfInstallKey(), "Directory", programFolder);
        RegistryWriteString(HKEY_LOCAL_MACHINE, SelfInstallKey(), "Version", m_app.versionText);
    }
    RegistryStore::Default().DeleteKey(HKEY_CURRENT_USER, SelfInstallKey());
    return false;
}

void CSelfInstall::SetRunAtStartup(const std::string& arguments, bool enable)
{
    const std::string autostart = AutostartEntryPath(UninstallKeyName());
    if (!enable) {
        RegistryDeleteValue(HKEY_CURRENT_USER, kRunKey, UninstallKeyName());
        std::error_code error;
        std::filesystem::remove(autostart, error);
        return;
    }
    if (m_app.programPath.empty())
        return;
    RegistryWriteString(HKEY_CURRENT_USER, kRunKey, UninstallKeyName(),
                        Quoted(m_app.programPath) + (arguments.empty() ? "" : " " + arguments));
    DesktopEntry entry;
    entry.name = m_app.title;
    entry.exec.push_back(m_app.programPath);
    if (!arguments.empty()) {
        const SplitCommand split = SplitCommandLine("x " + arguments);
        entry.exec.insert(entry.exec.end(), split.arguments.begin(), split.arguments.end());
    }
    WriteDesktopFile(autostart, DesktopEntryText(entry));
}

void CSelfInstall::SetAppPath(const std::string& exeName, const std::string& folder, bool enable)
{
    const std::string key = std::string(kAppPathsKey) + "\\" + exeName;
    if (!enable) {
        RegistryStore::Default().DeleteKey(HKEY_LOCAL_MACHINE, key);
        return;
    }
    if (m_app.programPath.empty() || !RegistryCreateKey(HKEY_LOCAL_MACHINE, key))
        return;
    RegistryWriteString(HKEY_LOCAL_MACHINE, key, "", m_app.programPath);
    if (!folder.empty())
        RegistryWriteString(HKEY_LOCAL_MACHINE, key, "Path", folder);
}
