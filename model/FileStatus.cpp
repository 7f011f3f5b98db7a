#include "model/FileStatus.h"

#include <cstdint>
#include <limits>
#include <sys/stat.h>

namespace {

std::int32_t ClampToInt32(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::optional<LocalFileStatus> FromStat(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return std::nullopt;
    return LocalFileStatus{CTime(ClampToInt32(st.st_mtime)), static_cast<DWORD>(st.st_size)};
}

}  // namespace

std::optional<LocalFileStatus> GetLocalFileStatus(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return FromStat(st);
}

std::optional<LocalFileStatus> GetLocalFileStatus(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FromStat(st);
}

bool MatchesLocalRecord(const FileEntry& entry, const LocalFileStatus& local)
{
    return entry.m_timeLocal.GetTime() != 0 && local.m_mtime == entry.m_timeLocal &&
           local.m_size == entry.m_dwLocalSize;
}

bool MatchesRemoteRecord(const FileEntry& entry, CTime remoteTime, DWORD remoteSize)
{
    return remoteTime == entry.m_timeRemote && remoteSize == entry.m_dwRemoteSize;
}

FileStatus GetFileStatus(const FileEntry& entry)
{
    const std::optional<LocalFileStatus> local = GetLocalFileStatus(entry.m_strFileName);
    if (!local)
        return FileStatus::errorOpening;
    if (entry.m_timeLocal.GetTime() == 0)
        return FileStatus::newFile;
    if (MatchesLocalRecord(entry, *local))
        return FileStatus::noChanges;
    return FileStatus::updatedFile;
}

const char* FileStatusText(FileStatus status)
{
    switch (status) {
    case FileStatus::errorOpening:
        return "Error opening file";
    case FileStatus::newFile:
        return "New file";
    case FileStatus::noChanges:
        return "No changes";
    case FileStatus::updatedFile:
        return "Updated file";
    }
    return "Error opening file";
}

const char* GetFileStatusText(const FileEntry& entry)
{
    return FileStatusText(GetFileStatus(entry));
}
