#pragma once
// One local file of a site configuration, with its upload record (the last
// four fields: what was sent last, 0 = never). Held by value in
// CTessarineDoc::m_files; identified by its index there.

#include "model/EntryFlags.h"
#include "platform/framework/Time.h"

#include <string>

struct FileEntry {
    std::string m_strFileName;   // full local path
    std::string m_strWebFolder;  // remote folder under each server's base folder; "/"-separated
    WORD m_wFlags = 0;           // FILE_ASCII; ENTRY_MARKED during a delete only
    CTime m_timeLocal;           // local last-write time when last sent; 0 = never sent
    CTime m_timeRemote;          // remote time as listed right after that sending
    DWORD m_dwLocalSize = 0;     // local size when last sent
    DWORD m_dwRemoteSize = 0;    // remote size as listed right after that sending

    bool operator==(const FileEntry&) const = default;
};
