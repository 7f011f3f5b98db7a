// tessarine-record-args: a program for tests to start. It writes what it was
// started with to the file named by TESSARINE_RECORD: one line per fact,
//   exe <path>    cwd <folder>    arg <hex bytes>    fd <number>
//   session-leader yes|no
// written beside the file and renamed over it, so that the file appears
// complete.

#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        out += pair;
    }
    return out;
}

std::string OpenDescriptors()
{
    std::string lines;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return lines;
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != own)
            lines += std::string("fd ") + entry->d_name + "\n";
    closedir(folder);
    return lines;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* record = std::getenv("TESSARINE_RECORD");
    if (!record)
        return 3;
    std::string text = OpenDescriptors();
    char path[PATH_MAX] = {};
    if (readlink("/proc/self/exe", path, sizeof path - 1) > 0)
        text += std::string("exe ") + path + "\n";
    if (getcwd(path, sizeof path))
        text += std::string("cwd ") + path + "\n";
    for (int i = 1; i < argc; ++i)
        text += "arg " + Hex(argv[i]) + "\n";
    text += std::string("session-leader ") + (getsid(0) == getpid() ? "yes" : "no") + "\n";
    const std::string partial = std::string(record) + ".partial";
    FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out)
        return 4;
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    return std::rename(partial.c_str(), record) == 0 ? 0 : 5;
}
