#pragma once
// The configuration's server entry for a test server's account. Header-only:
// the servers library itself knows nothing of the document.

#include "model/TessarineDoc.h"
#include "tests/servers/TestServers.h"

#include <string>

namespace test {

inline ServerEntry ServerAccount(const FtpServer& server, const std::string& baseFolder)
{
    ServerEntry entry;
    entry.m_strServerName = server.Address();
    entry.m_strUserName = server.User();
    entry.m_strPassword = server.Password();
    entry.m_strBaseFolder = baseFolder;
    return entry;
}

}  // namespace test
