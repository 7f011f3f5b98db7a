#pragma once
// Looks a name up in a connection's current remote folder. Blocks until the
// server answered (control-channel commands, or a listing over a data
// connection), bounded by the session's time-outs. The connection must
// outlive the search.
//
// Which way is used depends on what the server announced in FEAT: MLST
// (one command) when offered; otherwise SIZE and MDTM when both are; and
// otherwise LIST of the name, parsed as Unix "ls -l", DOS/IIS or EPLF lines.
// Only an entry with exactly the name asked counts. Times are calendar
// seconds read as UTC whichever way they came.

#include "platform/ftp/FileFind.h"
#include "platform/ftp/FtpConstants.h"

#include <cstdint>
#include <string>

class CFtpConnection;

class CFtpFileFind : public CFileFind {
public:
    explicit CFtpFileFind(CFtpConnection* connection, std::uintptr_t context = 1);
    ~CFtpFileFind() override;

    // name empty: every entry of the current folder (LIST). True when at
    // least one entry was found; then call FindNextFile to step to it.
    // Errors (refused, dead connection) are "not found".
    bool FindFile(const std::string& name = {}, std::uint32_t flags = INTERNET_FLAG_RELOAD);
    // Steps to the next found entry; false when it is the last one.
    bool FindNextFile();

private:
    CFtpConnection* m_connection;
};
