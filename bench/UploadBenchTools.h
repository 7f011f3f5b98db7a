#pragma once
// What the upload benchmarks share: running the tools timed (each with its
// own HOME, its output appended to a log), the local site's files and the
// configurations of ours and of sitecopy.

#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Timing {
    double seconds = 0;
    int status = -1;
};

// Runs argv with HOME set to home, output to logPath; waits and measures.
Timing RunTimed(const std::vector<std::string>& argv, const std::string& home, const std::string& logPath);
// Peak resident memory of argv in KiB, through /usr/bin/time.
long PeakMemoryKiB(const std::vector<std::string>& argv, const std::string& home, const std::string& log,
                   const std::filesystem::path& work);
// The local site of the loopback benchmarks: smallFiles of 4 KiB in
// `folders` nested folders (d0/d1/...) and largeFiles of 10 MiB at the
// top. Returns (full path, web folder) of every file.
std::vector<std::pair<std::string, std::string>> MakeNestedSite(const std::filesystem::path& root, int smallFiles,
                                                                int folders, int largeFiles);
// Files of list missing below root (at web folder / file name) or of
// another size than the local file: 0 when everything arrived whole.
int FilesMissing(const std::filesystem::path& root, const std::vector<std::pair<std::string, std::string>>& list);
void WriteRandom(const std::filesystem::path& path, std::size_t size, std::mt19937& random);
// prefix, n and suffix.
std::string Numbered(const char* prefix, int n, const char* suffix);
// A site configuration with one server and the (local path, web folder) files.
void WriteConfiguration(const std::string& path, const std::string& serverName, const std::string& user,
                        const std::string& base, const std::vector<std::pair<std::string, std::string>>& files);
// One sitecopy site per (name, port) on host: the same local site, sent to
// /pub/sitecopy-NAME.
void WriteSitecopyRc(const std::filesystem::path& home, const std::filesystem::path& site, const std::string& host,
                     const std::vector<std::pair<std::string, std::uint16_t>>& targets, bool passive);

}  // namespace bench
