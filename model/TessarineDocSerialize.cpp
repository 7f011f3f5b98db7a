// The configuration file (.tsn): little-endian, strings with the archive's
// length prefix.
//   magic "KTSN", DWORD version,
//   [v>=3] last web folder, [v>=4] DWORD last filter index, [v>=5] last browse folder,
//   DWORD server count, per server: name, user, password ([v>=8] scrambled),
//     [v>=9] base folder,
//   [v>=2] DWORD file count, per file: name, web folder,
//     [v>=6] WORD flags, time local, [v>=7] time remote, DWORD local size, DWORD remote size.
// Nothing follows. The writer always writes the newest version.

#include "model/ScrambleText.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"

namespace {

constexpr const char* kNotTessarineFile = "This file is not a Tessarine file or the file is corrupt.";
constexpr const char* kFutureVersion =
    "This file was saved using a future version Tessarine or the file is corrupt. "
    "Please obtain an update to open this file.";

// The fewest bytes a record can take (every string at least its one-byte
// prefix), to check a stored count against the rest of the file.
std::size_t MinServerRecordBytes(DWORD version)
{
    return version >= 9 ? 4 : 3;
}

std::size_t MinFileRecordBytes(DWORD version)
{
    if (version >= 7)
        return 2 + 2 + 4 * 4;
    return version >= 6 ? 2 + 2 + 4 : 2;
}

// Reads a record count and makes sure that many records of at least
// minRecordBytes each can follow, before anything is allocated for them.
DWORD ReadCount(CArchive& ar, std::size_t minRecordBytes)
{
    DWORD count = 0;
    ar >> count;
    ar.EnsureCanHold(count, minRecordBytes);
    return count;
}

// Stops the load after telling the user why.
void RefuseLoad(CArchive& ar, const char* message)
{
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    ar.RefuseLoad();
}

}  // namespace

void CTessarineDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        StoreConfiguration(ar);
    else
        LoadConfiguration(ar);
}

void CTessarineDoc::StoreConfiguration(CArchive& ar) const
{
    ar << CONFIG_MAGIC << CONFIG_VERSION;
    ar << m_strLastWebFolder << static_cast<DWORD>(m_nLastFilterIndex) << m_strLastBrowseFolder;
    ar << static_cast<DWORD>(m_servers.size());
    for (const ServerEntry& server : m_servers) {
        ar << server.m_strServerName << server.m_strUserName
           << ScrambleText(server.m_strPassword, PASSWORD_KEY, ScrambleDirection::scramble)
           << server.m_strBaseFolder;
    }
    ar << static_cast<DWORD>(m_files.size());
    for (const FileEntry& file : m_files) {
        ar << file.m_strFileName << file.m_strWebFolder << file.m_wFlags << file.m_timeLocal
           << file.m_timeRemote << file.m_dwLocalSize << file.m_dwRemoteSize;
    }
}

void CTessarineDoc::LoadConfiguration(CArchive& ar)
{
    DWORD magic = 0;
    ar >> magic;
    if (magic != CONFIG_MAGIC)
        return RefuseLoad(ar, kNotTessarineFile);
    DWORD version = 0;
    ar >> version;
    if (version > CONFIG_VERSION)
        return RefuseLoad(ar, kFutureVersion);
    if (version >= 3)
        ar >> m_strLastWebFolder;
    if (version >= 4) {
        DWORD filterIndex = 0;
        ar >> filterIndex;
        m_nLastFilterIndex = static_cast<std::int32_t>(filterIndex);
    }
    if (version >= 5)
        ar >> m_strLastBrowseFolder;
    LoadServers(ar, version);
    if (version >= 2)
        LoadFiles(ar, version);
}

void CTessarineDoc::LoadServers(CArchive& ar, DWORD version)
{
    m_servers.assign(ReadCount(ar, MinServerRecordBytes(version)), ServerEntry{});
    for (ServerEntry& server : m_servers) {
        ar >> server.m_strServerName >> server.m_strUserName >> server.m_strPassword;
        if (version >= 8)
            server.m_strPassword = ScrambleText(server.m_strPassword, PASSWORD_KEY, ScrambleDirection::unscramble);
        if (version >= 9)
            ar >> server.m_strBaseFolder;
        server.m_wFlags = 0;
    }
}

void CTessarineDoc::LoadFiles(CArchive& ar, DWORD version)
{
    m_files.assign(ReadCount(ar, MinFileRecordBytes(version)), FileEntry{});
    for (FileEntry& file : m_files) {
        ar >> file.m_strFileName >> file.m_strWebFolder;
        if (version >= 6) {
            ar >> file.m_wFlags >> file.m_timeLocal;
            // A stored mark would make the next delete remove an entry
            // nobody selected.
            file.m_wFlags &= static_cast<WORD>(~ENTRY_MARKED);
        } else {
            file.m_wFlags = IsAsciiTextFile(file.m_strFileName) ? FILE_ASCII : 0;
        }
        if (version >= 7)
            ar >> file.m_timeRemote >> file.m_dwLocalSize >> file.m_dwRemoteSize;
    }
}
