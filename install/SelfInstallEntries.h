#pragma once
// The records of an installation description: the shortcuts it creates, the
// registry values it writes, the keys it removes and the further programs it
// closes. Plain values, kept in insertion order by CSelfInstall.

#include "platform/registry/RegistryTypes.h"

#include <string>

// A start-menu shortcut: a desktop entry named m_strName + ".desktop" in the
// folder of the per-user shell-folder value m_strFolderValue, below it
// m_strSubfolder. Its picture is a PNG written beside it.
struct ShortcutEntry {
    ShortcutEntry() = default;
    // The base folder is the "Programs" value, the subfolder the title.
    ShortcutEntry(std::string name, std::string target, std::string arguments, int iconIndex,
                  std::string subfolder);

    // The entry's folder from the registry store's shell-folder value (and
    // the subfolder); false when the value is missing.
    bool GetShortcutFolder(std::string& folder) const;
    // Writes the entry (and its picture) for the installation folder
    // (trailing "/"). Silent; a missing shell folder skips it.
    void CreateShortcut(const std::string& installFolder) const;
    // Removes the entry and its picture; the folder too once it is empty.
    void DeleteShortcut() const;

    std::string m_strName;
    std::string m_strTarget;     // relative to the installation folder
    std::string m_strArguments;  // empty: none
    std::string m_strFolderValue;
    std::string m_strSubfolder;
    int m_nIconIndex = 0;
};

struct RegistryValueEntry {
    HKEY m_hRoot = HKEY_LOCAL_MACHINE;
    std::string m_strKey;
    std::string m_strValueName;
    std::string m_strData;
};

struct RegistryKeyEntry {
    HKEY m_hRoot = HKEY_LOCAL_MACHINE;
    std::string m_strKey;
};

// A program whose windows are closed before installing or uninstalling:
// matched by exact window class, or by exact title when the class is empty.
struct ProgramToClose {
    std::string m_strClass;
    std::string m_strTitle;
    std::string m_strDisplayName;  // named in the "Please exit the program" prompt
};
