// What the upload benchmarks share: running the tools timed, writing the
// local site and the tools' configurations.

#include "bench/UploadBenchTools.h"

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bench {

// Runs argv with HOME set to home, output to logPath; waits and measures.
Timing RunTimed(const std::vector<std::string>& argv, const std::string& home, const std::string& logPath)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(log, 1);
        dup2(log, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
    }
    Timing timing;
    timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return timing;
}

// Peak resident memory of argv in KiB, through /usr/bin/time (a child forked
// from here would carry this process's own high-water mark into its figure).
long PeakMemoryKiB(const std::vector<std::string>& argv, const std::string& home, const std::string& log,
                   const fs::path& work)
{
    const std::string out = (work / "peak.txt").string();
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", out};
    timed.insert(timed.end(), argv.begin(), argv.end());
    RunTimed(timed, home, log);
    FILE* in = std::fopen(out.c_str(), "r");
    long kib = -1;
    if (in) {
        if (std::fscanf(in, "%ld", &kib) != 1)
            kib = -1;
        std::fclose(in);
    }
    return kib;
}

void WriteRandom(const fs::path& path, std::size_t size, std::mt19937& random)
{
    fs::create_directories(path.parent_path());
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random());
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

std::vector<std::pair<std::string, std::string>> MakeNestedSite(const fs::path& root, int smallFiles, int folders,
                                                                int largeFiles)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> files;
    fs::path folder;
    for (int level = 0; level < folders; ++level) {
        folder /= Numbered("d", level, "");
        for (int i = 0; i < smallFiles / folders; ++i) {
            const fs::path path = root / folder / Numbered("f", i, ".gif");
            WriteRandom(path, 4096, random);
            files.emplace_back(path.string(), folder.string());
        }
    }
    for (int i = 0; i < largeFiles; ++i) {
        const fs::path path = root / ("large" + std::to_string(i) + ".zip");
        WriteRandom(path, 10u << 20, random);
        files.emplace_back(path.string(), "");
    }
    return files;
}

int FilesMissing(const fs::path& root, const std::vector<std::pair<std::string, std::string>>& list)
{
    int missing = 0;
    for (const auto& [local, web] : list) {
        std::error_code error;
        const fs::path remote = root / web / fs::path(local).filename();
        if (fs::file_size(remote, error) != fs::file_size(local) || error)
            ++missing;
    }
    return missing;
}

// prefix, n and suffix (built up in place: GCC 12 warns wrongly about
// "literal" + std::to_string(n)).
std::string Numbered(const char* prefix, int n, const char* suffix)
{
    std::string text(prefix);
    text += std::to_string(n);
    text += suffix;
    return text;
}

void WriteConfiguration(const std::string& path, const std::string& serverName, const std::string& user,
                        const std::string& base, const std::vector<std::pair<std::string, std::string>>& files)
{
    CTessarineDoc doc;
    ServerEntry entry;
    entry.m_strServerName = serverName;
    entry.m_strUserName = user;
    entry.m_strBaseFolder = base;
    doc.m_servers.push_back(entry);
    for (const auto& [local, web] : files) {
        FileEntry file;
        file.m_strFileName = local;
        file.m_strWebFolder = web;
        doc.m_files.push_back(file);
    }
    if (!SaveDocumentFile(doc, path))
        std::exit(1);
}

// One sitecopy site per (name, port): the same local site, sent to
// /pub/sitecopy-NAME.
void WriteSitecopyRc(const fs::path& home, const fs::path& site, const std::string& host,
                     const std::vector<std::pair<std::string, std::uint16_t>>& targets, bool passive)
{
    fs::create_directories(home / ".sitecopy");
    fs::permissions(home / ".sitecopy", fs::perms::owner_all, fs::perm_options::replace);
    FILE* rc = std::fopen((home / ".sitecopyrc").c_str(), "w");
    for (const auto& [name, port] : targets)
        std::fprintf(rc,
                     "site bench%s\n  server %s\n  port %u\n  protocol ftp\n  username anonymous\n"
                     "  password bench@example.com\n  local %s/\n  remote /pub/sitecopy-%s/\n  tempupload\n%s",
                     name.c_str(), host.c_str(), port, site.c_str(), name.c_str(), passive ? "" : "  ftp nopasv\n");
    std::fclose(rc);
    fs::permissions(home / ".sitecopyrc", fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
}

}  // namespace bench
