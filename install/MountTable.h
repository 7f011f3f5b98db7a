#pragma once
// The mounted file systems ("drives" of the folder dialog), read from
// /proc/self/mounts, and the free space and needed space of the
// destination dialog. The table is parsed by pure functions; reading the
// file and the file systems is kept apart so that tests give their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
    bool operator==(const MountEntry&) const = default;
};

// A field of the table with its octal escapes (\040 blank, \011 tab, \012
// line feed, \134 backslash) decoded; other backslashes stay.
std::string DecodeMountField(std::string_view field);
// The table's lines; lines with fewer than three fields are skipped.
std::vector<MountEntry> ParseMounts(std::string_view text);
// File systems that hold no user files (proc, sysfs, cgroup, ...), and the
// system's own mounts below /proc, /sys, /dev and /run.
bool IsPseudoFileSystem(const MountEntry& entry);
// The mount points of the real file systems, "/" first, then sorted, each
// once.
std::vector<std::string> DriveList(const std::vector<MountEntry>& mounts);
// The mount point of the file system that holds path (the nearest existing
// folder of it, made canonical): the longest mount point that is path or
// one of its parents; "/" when none is.
std::string MountPointOf(const std::string& path, const std::vector<MountEntry>& mounts);

// /proc/self/mounts; empty when it cannot be read.
std::vector<MountEntry> ReadMounts(const std::string& file = "/proc/self/mounts");

// The folder itself when it exists, else its nearest existing parent ("/"
// at worst), made canonical.
std::string NearestExistingFolder(const std::string& path);
