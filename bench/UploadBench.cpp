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
//   build-bench/bench/upload_bench --long-path ...   (see LongPathBench.cpp)
//   build-bench/bench/upload_bench --tls [runs]      (see TlsBench.cpp)

#include "bench/BenchSupport.h"
#include "bench/LongPathBench.h"
#include "bench/TlsBench.h"
#include "bench/UploadBenchTools.h"
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
using namespace bench;

namespace {

constexpr int kSmallFiles = 500;
constexpr int kFolders = 10;
constexpr int kLargeFiles = 5;

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
    WriteConfiguration(config, server.Address(), server.User(), "pub/ours-" + tag, b.files);
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
    // TESSARINE_BENCH_TOOL: another build of ours to measure (an earlier one, say).
    const char* otherTool = std::getenv("TESSARINE_BENCH_TOOL");
    const std::string tool = otherTool ? otherTool : std::string(TESSARINE_DIST_DIR) + "/tessarine";
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--long-path")
            return bench::RunLongPathBench(argc, argv, tool);
        if (std::string(argv[i]) == "--tls")
            return bench::RunTlsBench(argc, argv, tool);
    }
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
    b.files = MakeNestedSite(b.site, kSmallFiles, kFolders, kLargeFiles);
    b.home = (work.path() / "home").string();
    fs::create_directories(b.home);
    // The tools' own output, kept for a look afterwards.
    b.log = (fs::current_path() / "upload_bench.log").string();
    fs::remove(b.log);
    b.tool = tool;

    // Timed against a server that logs transfers only, as vsftpd does by
    // default; the commands are counted on a second one that logs them all.
    test::VsftpdServer server(false);
    test::VsftpdServer counting;
    std::vector<std::pair<std::string, std::uint16_t>> targets = {{"count", counting.Port()}};
    for (int run = 0; run < runs; ++run)
        targets.emplace_back(std::to_string(run), server.Port());
    WriteSitecopyRc(b.home, b.site, "127.0.0.1", targets, b.passive);

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
        WriteConfiguration(config, server.Address(), server.User(), "pub/memory-" + std::to_string(which), which ? large : small);
        peak[which] = PeakMemoryKiB({b.tool, "upload", config, "--no"}, b.home, b.log, work.path());
    }
    std::printf("tessarine peak memory: %ld KiB for the 500 small files, %ld KiB for the 5 large ones\n", peak[0],
                peak[1]);
    return 0;
}
