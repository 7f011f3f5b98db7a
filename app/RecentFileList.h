#pragma once
// The recent-file list of the File menu: up to a fixed number of full paths,
// most recent first, kept in the registry store under the program's settings
// key, subkey "Recent File List", values "File1" onward.

#include "platform/registry/RegistryTypes.h"

#include <string>
#include <vector>

class CRecentFileList {
public:
    // keyPath: the list's key below HKEY_CURRENT_USER.
    CRecentFileList(std::string keyPath, int size);

    // Puts path first; an equal entry moves up, the oldest beyond the size
    // drops out.
    void Add(const std::string& path);
    void Remove(int index);
    int GetSize() const { return static_cast<int>(m_names.size()); }
    const std::string& operator[](int index) const { return m_names[static_cast<std::size_t>(index)]; }

    // Reads File1.. from the store (a gap ends nothing: missing values are
    // skipped).
    void ReadList();
    // Replaces the key's values with the list. False when the store refused.
    bool WriteList() const;

    // The menu text of entry index: "&1 " and the path shortened to
    // maxLength characters, with "&" doubled.
    std::string GetMenuText(int index, int maxLength) const;

private:
    std::string m_keyPath;
    int m_size;
    std::vector<std::string> m_names;
};

// path shortened to at most maxLength characters: kept whole when it fits,
// else the root "/", "..." and as many of the last parts as fit with the file
// name ("/.../sites/site.tsn"), else the file name cut to maxLength.
std::string AbbreviatePath(const std::string& path, int maxLength);
