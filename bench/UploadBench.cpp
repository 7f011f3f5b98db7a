// Benchmark of `tessarine upload` beside lftp's reverse mirror and sitecopy,
// doing the same work against the same local vsftpd in the same data
// connection mode: a site of 500 files of 4 KiB in ten nested folders and
// five files of 10 MiB, sent to a fresh folder (the first upload) and then
// checked again with nothing changed. Prints the medians of the runs, the
// ratios, the commands each tool sent per file and our peak memory. The
// tools' output goes to upload_bench.log in the current folder
// (TESSARINE_FTP_TRACE=1 adds our commands with their times).
//
//   build-bench/bench/upload_bench [runs] [--passive]

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/servers/TestServers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSmallFiles = 500;
constexpr int kFolders = 10;
constexpr int kLargeFiles = 5;

struct Timing {
    double seconds = 0;
    int status = -1;
};

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

// The local site; returns (full path, web folder) of every file.
std::vector<std::pair<std::string, std::string>> MakeSite(const fs::path& root)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> files;
    std::string folder;
    for (int level = 0; level < kFolders; ++level) {
        folder += (folder.empty() ? "" : "/") + std::string("d") + std::to_string(level);
        for (int i = 0; i < kSmallFiles / kFolders; ++i) {
            const fs::path path = root / folder / ("f" + std::to_string(i) + ".gif");
            WriteRandom(path, 4096, random);
            files.emplace_back(path.string(), folder);
        }
    }
    for (int i = 0; i < kLargeFiles; ++i) {
        const fs::path path = root / ("large" + std::to_string(i) + ".zip");
        WriteRandom(path, 10u << 20, random);
        files.emplace_back(path.string(), "");
    }
    return files;
}

void WriteConfiguration(const std::string& path, const test::FtpServer& server, const std::string& base,
                        const std::vector<std::pair<std::string, std::string>>& files)
{
    CTessarineDoc doc;
    ServerEntry entry;
    entry.m_strServerName = server.Address();
    entry.m_strUserName = server.User();
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

void WriteSitecopyRc(const fs::path& home, const test::FtpServer& server, const fs::path& site, int runs,
                     bool passive)
{
    fs::create_directories(home / ".sitecopy");
    fs::permissions(home / ".sitecopy", fs::perms::owner_all, fs::perm_options::replace);
    FILE* rc = std::fopen((home / ".sitecopyrc").c_str(), "w");
    for (int run = 0; run < runs; ++run) {
        std::fprintf(rc,
                     "site bench%d\n  server 127.0.0.1\n  port %u\n  protocol ftp\n  username anonymous\n"
                     "  password bench@example.com\n  local %s/\n  remote /pub/sitecopy-%d/\n  tempupload\n%s",
                     run, server.Port(), site.c_str(), run, passive ? "" : "  ftp nopasv\n");
    }
    std::fclose(rc);
    fs::permissions(home / ".sitecopyrc", fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct ToolFigures {
    std::vector<double> first, again;
    double commandsFirst = 0, commandsAgain = 0;
};

double CommandsPerFile(const test::FtpServer& server, std::size_t files)
{
    return static_cast<double>(server.Commands().size()) / static_cast<double>(files);
}

// Times one tool: its first upload, then the run with nothing changed.
void Measure(ToolFigures& figures, test::FtpServer& server, std::size_t files, const std::vector<std::string>& first,
             const std::vector<std::string>& again, const std::string& home, const std::string& log)
{
    server.ClearCommands();
    const Timing one = RunTimed(first, home, log);
    figures.commandsFirst = CommandsPerFile(server, files);
    server.ClearCommands();
    const Timing two = RunTimed(again, home, log);
    figures.commandsAgain = CommandsPerFile(server, files);
    if (one.status != 0 || two.status != 0)
        std::fprintf(stderr, "warning: %s exited with %d and %d (see %s)\n", first[0].c_str(), one.status,
                     two.status, log.c_str());
    figures.first.push_back(one.seconds);
    figures.again.push_back(two.seconds);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 && argv[1][0] != '-' ? std::max(1, std::atoi(argv[1])) : 5;
    const bool passive = argc > 1 && std::string(argv[argc - 1]) == "--passive";
    if (!test::VsftpdServer::Available()) {
        std::fprintf(stderr, "vsftpd is not available: %s\n", test::VsftpdServer::WhyUnavailable().c_str());
        return 1;
    }
    test::TempDir work("tessarine-bench");
    const fs::path site = work.path() / "site";
    const auto files = MakeSite(site);
    test::VsftpdServer server;
    const std::string home = (work.path() / "home").string();
    fs::create_directories(home);
    WriteSitecopyRc(home, server, site, runs, passive);
    // The tools' own output, kept for a look afterwards.
    const std::string log = (fs::current_path() / "upload_bench.log").string();
    fs::remove(log);
    const std::string tool = std::string(TESSARINE_DIST_DIR) + "/tessarine";
    const std::string lftpMode = passive ? "on" : "off";

    ToolFigures ours, lftp, sitecopy;
    for (int run = 0; run < runs; ++run) {
        const std::string tag = std::to_string(run);
        const std::string config = (work.path() / ("site" + tag + ".tsn")).string();
        WriteConfiguration(config, server, "pub/ours-" + tag, files);
        std::vector<std::string> upload = {tool, "upload", config, "--no"};
        if (passive)
            upload.push_back("--passive");
        Measure(ours, server, files.size(), upload, upload, home, log);

        const std::string mirror = "set ftp:passive-mode " + lftpMode +
                                   "; set xfer:use-temp-file yes; mirror -R --no-perms " + site.string() +
                                   " /pub/lftp-" + tag + "; quit";
        const std::vector<std::string> lftpArgs = {"lftp", "-u", "anonymous,", "-p", std::to_string(server.Port()),
                                                   "-e", mirror, "127.0.0.1"};
        Measure(lftp, server, files.size(), lftpArgs, lftpArgs, home, log);

        fs::create_directories(server.UploadRoot() / ("sitecopy-" + tag));
        fs::permissions(server.UploadRoot() / ("sitecopy-" + tag), fs::perms::all);
        RunTimed({"sitecopy", "--init", "bench" + tag}, home, log);
        const std::vector<std::string> update = {"sitecopy", "--update", "bench" + tag};
        Measure(sitecopy, server, files.size(), update, update, home, log);
    }

    std::printf("%d runs, %zu files (%d of 4 KiB in %d nested folders, %d of 10 MiB), vsftpd, %s mode\n", runs,
                files.size(), kSmallFiles, kFolders, kLargeFiles, passive ? "passive" : "active");
    std::printf("%-10s %14s %14s %18s %18s\n", "tool", "first (s)", "no change (s)", "cmds/file first",
                "cmds/file again");
    for (const auto& [name, f] : {std::pair<const char*, ToolFigures&>{"tessarine", ours}, {"lftp", lftp},
                                  {"sitecopy", sitecopy}})
        std::printf("%-10s %14.3f %14.3f %18.2f %18.2f\n", name, Median(f.first), Median(f.again), f.commandsFirst,
                    f.commandsAgain);
    std::printf("ratios (tessarine / other, below 1 is faster):\n");
    std::printf("  first upload:  lftp %.2f, sitecopy %.2f\n", Median(ours.first) / Median(lftp.first),
                Median(ours.first) / Median(sitecopy.first));
    std::printf("  no change:     lftp %.2f, sitecopy %.2f\n", Median(ours.again) / Median(lftp.again),
                Median(ours.again) / Median(sitecopy.again));
    // Peak memory with only the small files and with only the large ones:
    // the same when nothing is held beyond a block.
    const auto small = std::vector(files.begin(), files.end() - kLargeFiles);
    const auto large = std::vector(files.end() - kLargeFiles, files.end());
    long peak[2] = {0, 0};
    for (int which = 0; which < 2; ++which) {
        const std::string config = (work.path() / ("memory" + std::to_string(which) + ".tsn")).string();
        WriteConfiguration(config, server, "pub/memory-" + std::to_string(which), which ? large : small);
        peak[which] = PeakMemoryKiB({tool, "upload", config, "--no"}, home, log, work.path());
    }
    std::printf("tessarine peak memory: %ld KiB for the 500 small files, %ld KiB for the 5 large ones\n", peak[0],
                peak[1]);
    return 0;
}
