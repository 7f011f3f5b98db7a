#pragma once
// The two figures of the destination dialog: the space an installation
// needs in a folder and the space available there. The free space comes
// from a source that tests replace (no test can fill a file system).

#include <cstdint>
#include <string>
#include <vector>

class IFreeSpaceSource {
public:
    virtual ~IFreeSpaceSource() = default;
    // The kilobytes free to this user on the file system that holds folder;
    // false when they cannot be learnt.
    virtual bool FreeKilobytes(const std::string& folder, std::uint64_t& kilobytes) = 0;
};

// statvfs of the nearest existing folder: available blocks times the
// fragment size, in kilobytes rounded down.
class StatvfsFreeSpace : public IFreeSpaceSource {
public:
    bool FreeKilobytes(const std::string& folder, std::uint64_t& kilobytes) override;
};

// The free kilobytes for root through the system's source; 0 and false
// when unknown.
bool GetFreeDiskSpace(const std::string& root, std::uint64_t& freeKilobytes);

// The file's length; 0 when its status cannot be read. 64-bit, so that a
// file beyond 2 GiB counts with its size.
std::int64_t GetFileLength(const std::string& path);

// What installing files from sourceFolder into folder adds: each file's
// length there minus the length of the file it replaces (missing files
// count 0), never below 0, in whole kilobytes rounded up. Both folders end
// in "/".
std::uint64_t SpaceNeededKilobytes(const std::string& sourceFolder, const std::string& folder,
                                   const std::vector<std::string>& files);

// The texts the dialog shows: "123 KB", and "unknown" when the free space
// cannot be learnt.
std::string KilobyteText(std::uint64_t kilobytes);
std::string AvailableText(IFreeSpaceSource& source, const std::string& folder);
