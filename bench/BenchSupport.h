#pragma once
// What both benchmarks share: the figures of repeated runs, and a server
// that spends as little as it can on each command, so that the clients are
// what is measured.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median of ours[i] / theirs[i]: each pair of runs was made one right
// after the other, so a slow spell of the machine falls on both.
inline double MedianRatio(const std::vector<double>& ours, const std::vector<double>& theirs)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size() && i < theirs.size(); ++i)
        ratios.push_back(ours[i] / theirs[i]);
    return Median(ratios);
}

// Temporary folders (the server's tree among them) in memory when the
// machine has /dev/shm and nobody chose otherwise: the disk's own pauses
// then fall on no client.
inline void PreferTemporaryFoldersInMemory()
{
    std::error_code error;
    if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", error))
        setenv("TMPDIR", "/dev/shm", 1);
}

}  // namespace bench
