#pragma once
// The local side of a file's upload record: the local file's present
// last-write time and size as the 32-bit values FileEntry keeps, and the
// status a file shows in the file list. Both the file list and the upload
// run use these, so that they agree on what "unchanged" means.

#include "model/FileEntry.h"
#include "platform/framework/Time.h"
#include "platform/framework/Types.h"

#include <optional>
#include <string>

struct LocalFileStatus {
    CTime m_mtime;   // last-write time, whole seconds (clamped to the 32-bit range)
    DWORD m_size;    // size in bytes, the low 32 bits

    bool operator==(const LocalFileStatus&) const = default;
};

// The status of the file open on fd (fstat). Empty when fstat fails or fd is
// not a regular file. Does not move the file position.
std::optional<LocalFileStatus> GetLocalFileStatus(int fd);

// The status of the file at path, from its directory entry (stat, following
// symbolic links): the file is not opened, so nothing blocks and no read
// permission is needed. Empty when there is no such file or it is not a
// regular file (a folder, FIFO or device).
std::optional<LocalFileStatus> GetLocalFileStatus(const std::string& path);

// The local half of the unchanged rule, the one place that says what it
// means: the file was sent before (m_timeLocal not 0) and its present
// last-write time and size equal m_timeLocal and m_dwLocalSize. The file
// list shows such a file as "No changes"; the upload run then asks the
// server whether the remote half holds too.
bool MatchesLocalRecord(const FileEntry& entry, const LocalFileStatus& local);

// The remote half: what the server lists now equals m_timeRemote and
// m_dwRemoteSize.
bool MatchesRemoteRecord(const FileEntry& entry, CTime remoteTime, DWORD remoteSize);

enum class FileStatus { errorOpening, newFile, noChanges, updatedFile };

// The status of entry, decided in this order: its local file cannot be
// queried: errorOpening; never sent (m_timeLocal 0): newFile; the local
// time and size equal m_timeLocal and m_dwLocalSize: noChanges; otherwise
// updatedFile. The remote half of the record plays no part.
FileStatus GetFileStatus(const FileEntry& entry);

// "Error opening file", "New file", "No changes", "Updated file".
const char* FileStatusText(FileStatus status);

// FileStatusText(GetFileStatus(entry)).
const char* GetFileStatusText(const FileEntry& entry);
