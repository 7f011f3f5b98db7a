#pragma once
// The found entry of a listing search: the part of a file search that does
// not depend on where the files are. Filled by CFtpFileFind.

#include "platform/ftp/RemoteEntry.h"

#include <cstdint>
#include <string>
#include <vector>

class CFileFind {
public:
    CFileFind() = default;
    virtual ~CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Of the entry FindNextFile stepped to. False, time untouched, when
    // there is no such entry or its time is unknown. Calendar seconds (UTC).
    bool GetLastWriteTime(std::int64_t& time) const;
    // Size in bytes; 0 when there is no entry or its size is unknown.
    std::uint64_t GetLength() const;
    // Name of the entry; empty when there is none.
    std::string GetFileName() const;
    bool IsDirectory() const;

    // Forgets the search.
    virtual void Close();

protected:
    // Replaces the search's results; no entry is current until FindNextFile.
    void SetResults(std::vector<ftp::RemoteEntry> entries);
    // Steps to the next result; false when the one stepped to is the last
    // (or there was none).
    bool StepNext();
    bool HasResults() const { return !m_entries.empty(); }

private:
    const ftp::RemoteEntry* Current() const;

    std::vector<ftp::RemoteEntry> m_entries;
    std::size_t m_next = 0;  // index of the entry the next step goes to
};
