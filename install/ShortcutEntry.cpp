#include "install/SelfInstallEntries.h"

#include "common/RegistryHelpers.h"
#include "install/DesktopEntryFile.h"
#include "install/ShortcutIcon.h"
#include "platform/framework/RegularFile.h"
#include "platform/registry/RegistryLocation.h"
#include "platform/shell/CommandLine.h"

#include <filesystem>
#include <system_error>

namespace {

// A target with an extension is a document (Readme.txt): the desktop's
// opener opens it. A program file has none on this platform.
bool IsDocumentTarget(const std::string& target)
{
    return std::filesystem::path(target).has_extension();
}

std::vector<std::string> ExecLine(const std::string& targetPath, const std::string& arguments)
{
    std::vector<std::string> exec;
    if (IsDocumentTarget(targetPath))
        exec.push_back("xdg-open");
    exec.push_back(targetPath);
    if (!arguments.empty()) {
        // The arguments are one command-line text; split them as the program
        // would receive them.
        const SplitCommand split = SplitCommandLine("x " + arguments);
        exec.insert(exec.end(), split.arguments.begin(), split.arguments.end());
    }
    return exec;
}

}  // namespace

ShortcutEntry::ShortcutEntry(std::string name, std::string target, std::string arguments, int iconIndex,
                             std::string subfolder)
    : m_strName(std::move(name)), m_strTarget(std::move(target)), m_strArguments(std::move(arguments)),
      m_strFolderValue("Programs"), m_strSubfolder(std::move(subfolder)), m_nIconIndex(iconIndex)
{
}

bool ShortcutEntry::GetShortcutFolder(std::string& folder) const
{
    folder.clear();
    std::string base;
    if (!RegistryReadString(HKEY_CURRENT_USER, kShellFoldersKey, m_strFolderValue, base, 260) || base.empty())
        return false;
    folder = base;
    if (!m_strSubfolder.empty())
        folder += "/" + m_strSubfolder;
    return true;
}

void ShortcutEntry::CreateShortcut(const std::string& installFolder) const
{
    std::string folder;
    if (!GetShortcutFolder(folder))
        return;
    const std::string base = folder + "/" + m_strName;
    WriteDesktopFile(base + ".png", ShortcutIconPng(m_nIconIndex));
    DesktopEntry entry;
    entry.name = m_strName;
    entry.exec = ExecLine(installFolder + m_strTarget, m_strArguments);
    entry.workingFolder = installFolder;
    entry.icon = base + ".png";
    WriteDesktopFile(base + ".desktop", DesktopEntryText(entry));
}

void ShortcutEntry::DeleteShortcut() const
{
    std::string folder;
    if (!GetShortcutFolder(folder))
        return;
    const std::string base = folder + "/" + m_strName;
    std::error_code error;
    if (!std::filesystem::remove(base + ".desktop", error))
        return;
    std::filesystem::remove(base + ".png", error);
    // Only an empty folder goes: the last shortcut takes it with it.
    std::filesystem::remove(folder, error);
}
