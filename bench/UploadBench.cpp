// Benchmark of `tessarine upload` beside lftp's reverse mirror and sitecopy,
// doing the same work against the same local vsftpd in the same data
// connection mode: a site of 500 files of 4 KiB in ten nested folders and
// five files of 10 MiB, sent to a fresh folder (the first upload) and then
// checked again with nothing changed. Prints the medians of the runs, the
// ratios, the commands each tool sent per file and our peak memory. The
// timed server logs transfers only (its default); the commands are counted
// in one more round against a server that logs every command. The
// tools' output goes to upload_bench.log in the current folder
// (TESSARINE_FTP_TRACE=1 adds our commands with their times).
//
//   build-bench/bench/upload_bench [runs] [--passive]

#include "bench/BenchSupport.h"
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

// prefix, n and suffix (built up in place: GCC 12 warns wrongly about
// "literal" + std::to_string(n)).
std::string Numbered(const char* prefix, int n, const char* suffix)
{
    std::string text(prefix);
    text += std::to_string(n);
    text += suffix;
    return text;
}

// The local site; returns (full path, web folder) of every file.
std::vector<std::pair<std::string, std::string>> MakeSite(const fs::path& root)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> files;
    fs::path folder;
    for (int level = 0; level < kFolders; ++level) {
        folder /= Numbered("d", level, "");
        for (int i = 0; i < kSmallFiles / kFolders; ++i) {
            const fs::path path = root / folder / Numbered("f", i, ".gif");
            WriteRandom(path, 4096, random);
            files.emplace_back(path.string(), folder.string());
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

// One sitecopy site per (name, port): the same local site, sent to
// /pub/sitecopy-NAME.
void WriteSitecopyRc(const fs::path& home, const fs::path& site,
                     const std::vector<std::pair<std::string, std::uint16_t>>& targets, bool passive)
{
    fs::create_directories(home / ".sitecopy");
    fs::permissions(home / ".sitecopy", fs::perms::owner_all, fs::perm_options::replace);
    FILE* rc = std::fopen((home / ".sitecopyrc").c_str(), "w");
    for (const auto& [name, port] : targets)
        std::fprintf(rc,
                     "site bench%s\n  server 127.0.0.1\n  port %u\n  protocol ftp\n  username anonymous\n"
                     "  password bench@example.com\n  local %s/\n  remote /pub/sitecopy-%s/\n  tempupload\n%s",
                     name.c_str(), port, site.c_str(), name.c_str(), passive ? "" : "  ftp nopasv\n");
    std::fclose(rc);
    fs::permissions(home / ".sitecopyrc", fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
}

struct Bench {
    fs::path work;
    fs::path site;
    std::vector<std::pair<std::string, std::string>> files;
    std::string home;
    std::string log;
    std::string tool;
    bool passive = false;
};

// One tool's command line, the same for its first upload and for the run
// with nothing changed.
struct Contestant {
    const char* name;
    std::vector<std::string> argv;
};

// The three tools, each set up to send the site to a fresh folder (named
// by tag) of server.
std::vector<Contestant> Contestants(const Bench& b, const test::FtpServer& server, const std::string& tag)
{
    const std::string config = (b.work / ("site" + tag + ".tsn")).string();
    WriteConfiguration(config, server, "pub/ours-" + tag, b.files);
    std::vector<std::string> upload = {b.tool, "upload", config, "--no"};
    if (b.passive)
        upload.push_back("--passive");

    const std::string mirror = std::string("set ftp:passive-mode ") + (b.passive ? "on" : "off") +
                               "; set xfer:use-temp-file yes; mirror -R --no-perms " + b.site.string() +
                               " /pub/lftp-" + tag + "; quit";
    std::vector<std::string> lftp = {"lftp", "-u", "anonymous,", "-p", std::to_string(server.Port()),
                                     "-e", mirror, "127.0.0.1"};

    const fs::path sitecopyFolder = server.UploadRoot() / ("sitecopy-" + tag);
    fs::create_directories(sitecopyFolder);
    fs::permissions(sitecopyFolder, fs::perms::all);
    RunTimed({"sitecopy", "--init", "bench" + tag}, b.home, b.log);
    std::vector<std::string> sitecopy = {"sitecopy", "--update", "bench" + tag};
    return {{"tessarine", upload}, {"lftp", lftp}, {"sitecopy", sitecopy}};
}

double TimedRun(const Bench& b, const Contestant& c)
{
    const Timing t = RunTimed(c.argv, b.home, b.log);
    if (t.status != 0)
        std::fprintf(stderr, "warning: %s exited with %d (see %s)\n", c.name, t.status, b.log.c_str());
    return t.seconds;
}

struct Figures {
    std::vector<double> first, again;
    double commandsFirst = 0, commandsAgain = 0;
};

// The commands each tool sends per file, first and again, counted by a
// server that logs every command.
void CountCommands(const Bench& b, test::FtpServer& counting, std::vector<Figures>& figures)
{
    const std::vector<Contestant> contestants = Contestants(b, counting, "count");
    const double files = static_cast<double>(b.files.size());
    for (std::size_t i = 0; i < contestants.size(); ++i) {
        counting.ClearCommands();
        TimedRun(b, contestants[i]);
        figures[i].commandsFirst = static_cast<double>(counting.Commands().size()) / files;
        counting.ClearCommands();
        TimedRun(b, contestants[i]);
        figures[i].commandsAgain = static_cast<double>(counting.Commands().size()) / files;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 && argv[1][0] != '-' ? std::max(1, std::atoi(argv[1])) : 5;
    bench::PreferTemporaryFoldersInMemory();
    if (!test::VsftpdServer::Available()) {
        std::fprintf(stderr, "vsftpd is not available: %s\n", test::VsftpdServer::WhyUnavailable().c_str());
        return 1;
    }
    test::TempDir work("tessarine-bench");
    Bench b;
    b.passive = argc > 1 && std::string(argv[argc - 1]) == "--passive";
    b.work = work.path();
    b.site = work.path() / "site";
    b.files = MakeSite(b.site);
    b.home = (work.path() / "home").string();
    fs::create_directories(b.home);
    // The tools' own output, kept for a look afterwards.
    b.log = (fs::current_path() / "upload_bench.log").string();
    fs::remove(b.log);
    b.tool = std::string(TESSARINE_DIST_DIR) + "/tessarine";

    // Timed against a server that logs transfers only, as vsftpd does by
    // default; the commands are counted on a second one that logs them all.
    test::VsftpdServer server(false);
    test::VsftpdServer counting;
    std::vector<std::pair<std::string, std::uint16_t>> targets = {{"count", counting.Port()}};
    for (int run = 0; run < runs; ++run)
        targets.emplace_back(std::to_string(run), server.Port());
    WriteSitecopyRc(b.home, b.site, targets, b.passive);

    std::vector<Figures> figures(3);
    for (int run = 0; run < runs; ++run) {
        const std::vector<Contestant> contestants = Contestants(b, server, std::to_string(run));
        // Each run starts with another tool, so none always goes first.
        for (std::size_t k = 0; k < contestants.size(); ++k) {
            const std::size_t i = (k + static_cast<std::size_t>(run)) % contestants.size();
            figures[i].first.push_back(TimedRun(b, contestants[i]));
            figures[i].again.push_back(TimedRun(b, contestants[i]));
        }
    }
    CountCommands(b, counting, figures);

    const std::vector<std::string> names = {"tessarine", "lftp", "sitecopy"};
    std::printf("%d runs, %zu files (%d of 4 KiB in %d nested folders, %d of 10 MiB), vsftpd, %s mode\n", runs,
                b.files.size(), kSmallFiles, kFolders, kLargeFiles, b.passive ? "passive" : "active");
    std::printf("%-10s %14s %14s %18s %18s\n", "tool", "first (s)", "no change (s)", "cmds/file first",
                "cmds/file again");
    for (std::size_t i = 0; i < figures.size(); ++i)
        std::printf("%-10s %14.3f %14.3f %18.2f %18.2f\n", names[i].c_str(), bench::Median(figures[i].first),
                    bench::Median(figures[i].again), figures[i].commandsFirst, figures[i].commandsAgain);
    std::printf("ratios tessarine / other (below 1: tessarine is faster), median of the runs' own ratios\n"
                "and, in brackets, the ratio of the medians:\n");
    const Figures& ours = figures[0];
    using Series = std::vector<double> Figures::*;
    for (const auto& [what, pick] :
         {std::pair<const char*, Series>{"first upload:", &Figures::first}, {"no change:", &Figures::again}}) {
        std::printf("  %-13s", what);
        for (std::size_t i = 1; i < figures.size(); ++i)
            std::printf("  %s %.2f (%.2f)", names[i].c_str(), bench::MedianRatio(ours.*pick, figures[i].*pick),
                        bench::Median(ours.*pick) / bench::Median(figures[i].*pick));
        std::printf("\n");
    }
    // Peak memory with only the small files and with only the large ones:
    // the same when nothing is held beyond a block.
    const auto small = std::vector(b.files.begin(), b.files.end() - kLargeFiles);
    const auto large = std::vector(b.files.end() - kLargeFiles, b.files.end());
    long peak[2] = {0, 0};
    for (int which = 0; which < 2; ++which) {
        const std::string config = (work.path() / ("memory" + std::to_string(which) + ".tsn")).string();
        WriteConfiguration(config, server, "pub/memory-" + std::to_string(which), which ? large : small);
        peak[which] = PeakMemoryKiB({b.tool, "upload", config, "--no"}, b.home, b.log, work.path());
    }
    std::printf("tessarine peak memory: %ld KiB for the 500 small files, %ld KiB for the 5 large ones\n", peak[0],
                peak[1]);
    return 0;
}
