#include "install/DiskSpace.h"

#include "install/MountTable.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

bool StatvfsFreeSpace::FreeKilobytes(const std::string& folder, std::uint64_t& kilobytes)
{
    kilobytes = 0;
    struct statvfs info {};
    if (statvfs(NearestExistingFolder(folder).c_str(), &info) != 0)
        return false;
    const unsigned long long block = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    kilobytes = (static_cast<unsigned long long>(info.f_bavail) * (block != 0 ? block : 1)) >> 10;
    return true;
}

bool GetFreeDiskSpace(const std::string& root, std::uint64_t& freeKilobytes)
{
    StatvfsFreeSpace source;
    return source.FreeKilobytes(root.empty() ? "/" : root, freeKilobytes);
}

std::int64_t GetFileLength(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

std::uint64_t SpaceNeededKilobytes(const std::string& sourceFolder, const std::string& folder,
                                   const std::vector<std::string>& files)
{
    std::int64_t needed = 0;
    for (const std::string& name : files)
        needed += GetFileLength(sourceFolder + name) - GetFileLength(folder + name);
    if (needed < 0)
        needed = 0;
    return (static_cast<std::uint64_t>(needed) + 1023) / 1024;
}

std::string KilobyteText(std::uint64_t kilobytes)
{
    return std::to_string(kilobytes) + " KB";
}

std::string AvailableText(IFreeSpaceSource& source, const std::string& folder)
{
    std::uint64_t kilobytes = 0;
    return source.FreeKilobytes(folder, kilobytes) ? KilobyteText(kilobytes) : "unknown";
}
