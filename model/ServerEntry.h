#pragma once
// One FTP server of a site configuration. Held by value in
// CTessarineDoc::m_servers; identified by its index there.

#include "model/EntryFlags.h"

#include <string>

struct ServerEntry {
    std::string m_strServerName;  // host name as typed
    std::string m_strUserName;    // login user name
    std::string m_strPassword;    // plain in memory; scrambled only in the file
    std::string m_strBaseFolder;  // "/"-separated; empty: the login folder
    WORD m_wFlags = 0;            // ENTRY_MARKED during a delete only; not stored

    bool operator==(const ServerEntry&) const = default;
};
