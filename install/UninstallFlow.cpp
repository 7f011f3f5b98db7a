#include "install/SelfInstall.h"

#include "common/RegistryHelpers.h"
#include "install/InstallFiles.h"
#include "install/SessionManager.h"
#include "platform/framework/MessageBox.h"
#include "platform/registry/RegistryStore.h"
#include "platform/shell/CommandLine.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr unsigned int kQuestion = MB_YESNO | MB_ICONQUESTION;

// An extension key ("\.tsn") belongs to the program only when it names one
// of the program's own types (or none): another program's association stays.
bool IsForeignExtension(const RegistryKeyEntry& key, const std::vector<RegistryKeyEntry>& ownKeys)
{
    if (key.m_strKey.empty() || key.m_strKey.front() != '.')
        return false;
    std::string type;
    if (!RegistryReadString(key.m_hRoot, key.m_strKey, "", type, 512) || type.empty())
        return false;
    for (const RegistryKeyEntry& own : ownKeys)
        if (own.m_hRoot == key.m_hRoot && own.m_strKey == type)
            return false;
    return true;
}

// Deletes the key when it has neither values nor subkeys left.
void DeleteKeyWhenEmpty(HKEY root, const std::string& key)
{
    std::vector<RegistryKeyRecord> tree;
    RegistryStore& store = RegistryStore::Default();
    if (store.ExportTree(root, key, tree) == ERROR_SUCCESS && tree.size() == 1 && tree.front().values.empty())
        store.DeleteKey(root, key);
}

}  // namespace

bool CSelfInstall::RunUninstall()
{
    // Files go only from the registered installation folder: a copy
    // elsewhere (the distribution folder, a download) hands the
    // uninstallation over to the installed copy and deletes nothing of its
    // own folder, where files of these names may be the user's.
    const std::string registeredFolder = RegisteredValue("Directory");
    const bool installedHere = SameFolder(registeredFolder, ProgramFolder());
    if (!installedHere && StartRegisteredCopy(registeredFolder, "/uninstall"))
        return true;
    const std::string& title = Title();
    m_window.ShowWithCaption("Uninstall");
    if (m_window.InstallerMessageBox("Are you sure you want to uninstall " + title + "?", kQuestion) != IDYES)
        return true;
    if (m_window.CloseRunningPrograms(m_strCloseClass, m_strCloseTitle, title, m_closePrograms))
        return true;
    auto message = m_window.ShowMessageWindow("Uninstalling the program...");
    for (const ShortcutEntry& shortcut : m_shortcuts)
        shortcut.DeleteShortcut();
    RemoveRegistration();
    if (!installedHere) {
        m_window.InstallerMessageBox("No installed files of " + title + " were found.\n\nIts shortcuts and registry "
                                     "entries have been removed.", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    const bool scheduled = DeleteInstalledFiles(ProgramFolder());
    // An installation folder left empty goes too; one holding anything else
    // (the user's files, a busy file) stays.
    std::error_code error;
    std::filesystem::remove(ProgramFolder(), error);
    if (scheduled)
        OfferRestart();
    return true;
}

void CSelfInstall::RemoveRegistration()
{
    RegistryStore& store = RegistryStore::Default();
    store.DeleteKey(HKEY_CURRENT_USER, ApplicationKey());
    store.DeleteKey(HKEY_LOCAL_MACHINE, ApplicationKey());
    store.DeleteKey(HKEY_LOCAL_MACHINE, UninstallKey());
    // The company key goes too once nothing of any program is left in it.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        DeleteKeyWhenEmpty(root, "Software\\" + m_app.companyKey);
    if (m_bRunAtStartup)
        SetRunAtStartup(std::string(), false);
    if (m_bAppPath)
        SetAppPath(m_strExeName, std::string(), false);
    for (const RegistryValueEntry& value : m_registryValues)
        RegistryDeleteValue(value.m_hRoot, value.m_strKey, value.m_strValueName);
    for (const RegistryKeyEntry& key : m_registryKeys)
        if (!IsForeignExtension(key, m_registryKeys))
            store.DeleteKey(key.m_hRoot, key.m_strKey);
    if (m_removeDesktopType)
        m_removeDesktopType();
}

bool CSelfInstall::DeleteInstalledFiles(const std::string& folder)
{
    bool scheduled = false;
    for (const std::vector<std::string>* list : {&m_installFiles, &m_extraFiles})
        for (const std::string& name : *list)
            scheduled = DeleteInstalledFile(folder + name) || scheduled;
    return scheduled;
}

void CSelfInstall::OfferRestart()
{
    const std::string& title = Title();
    const std::string question = "Some of the files could not be deleted because they are in use. Please reboot the "
                                 "computer to finish uninstalling " + title
                               + ".\n\nDo you want to reboot the computer now?";
    if (m_window.InstallerMessageBox(question, kQuestion) != IDYES)
        return;
    if (!m_session.RequestRestart())
        m_window.InstallerMessageBox(RestartFailedText(title), MB_OK | MB_ICONEXCLAMATION);
}
