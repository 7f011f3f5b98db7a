// The TLS mode of upload_bench: a vsftpd demanding explicit TLS (AUTH TLS)
// for the login and every data connection, each data connection resuming
// the control connection's session (require_ssl_reuse=YES), with a
// certificate made for the run (self-signed: ours accepts it through
// --trust-fingerprint, lftp and curl do not verify it). Passive mode for
// every tool.
//
// - The site of the loopback benchmark (500 files of 4 KiB in ten nested
//   folders, five of 10 MiB): ours beside lftp's `mirror -R` with TLS
//   forced for the login, the data and the listings; first upload and no
//   change.
// - One large file (200 MiB unless --large-mib says otherwise): ours beside
//   `curl --ssl-reqd -k -T`.
//
// Every run's exit status is checked and so is every file on the server
// (present, of the local size), so that no tool is timed doing less.
//
//   build-bench/bench/upload_bench --tls [runs] [--large-mib N] [--only small|large]

#include "bench/TlsBench.h"

#include "bench/BenchSupport.h"
#include "bench/UploadBenchTools.h"
#include "tests/servers/TlsServers.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace bench {

namespace {

using FileList = std::vector<std::pair<std::string, std::string>>;

struct TlsOptions {
    int runs = 5;
    std::size_t largeMiB = 200;
    bool small = true;
    bool large = true;
};

TlsOptions ParseOptions(int argc, char** argv)
{
    TlsOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--large-mib" && more)
            o.largeMiB = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
        else if (a == "--only" && more) {
            const std::string which = argv[++i];
            o.small = which == "small";
            o.large = which == "large";
        } else if (a[0] != '-')
            o.runs = std::max(1, std::atoi(a.c_str()));
    }
    return o;
}

struct Setup {
    fs::path work;
    std::string home;
    std::string log;
    std::string tool;
    std::string fingerprint;
    std::uint16_t port = 0;
    std::string url;  // "ftpes://127.0.0.1:port"
    fs::path uploadRoot;
};

// One timed run whose work is checked: the exit status and the files it
// should have left below target.
struct Checked {
    double seconds = 0;
    bool ok = false;
};

Checked RunChecked(const Setup& s, const std::vector<std::string>& argv, const fs::path& target,
                   const FileList& files)
{
    const Timing t = RunTimed(argv, s.home, s.log);
    const int missing = FilesMissing(target, files);
    if (t.status != 0 || missing != 0)
        std::fprintf(stderr, "warning: %s exited with %d, %d of %zu files missing or short (see %s)\n",
                     argv[0].c_str(), t.status, missing, files.size(), s.log.c_str());
    return {t.seconds, t.status == 0 && missing == 0};
}

std::vector<std::string> Ours(const Setup& s, const std::string& config)
{
    return {s.tool, "upload", config, "--no", "--passive", "--trust-fingerprint", s.fingerprint};
}

// lftp with TLS demanded for the login, the data and the listings and the
// certificate not verified; its exit status is that of the mirror.
std::vector<std::string> Lftp(const Setup& s, const fs::path& site, const std::string& folder)
{
    const std::string script = "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
                               "set ftp:ssl-protect-list true; set ssl:verify-certificate no; "
                               "set ftp:passive-mode on; set xfer:use-temp-file yes; "
                               "mirror -R --no-perms " + site.string() + " /pub/" + folder +
                               " || exit 1; exit 0";
    return {"lftp", "-u", "anonymous,", "-p", std::to_string(s.port), "-e", script, "127.0.0.1"};
}

struct Series {
    std::vector<double> first, again;
    int failures = 0;
};

void Add(Series& series, std::vector<double> Series::*which, const Checked& c)
{
    (series.*which).push_back(c.seconds);
    if (!c.ok)
        ++series.failures;
}

void RunSmallFiles(const Setup& s, int runs)
{
    const fs::path site = s.work / "site";
    const FileList files = MakeNestedSite(site, 500, 10, 5);
    // lftp mirrors the folder's contents: the same relative paths.
    Series ours, lftp;
    for (int run = 0; run < runs; ++run) {
        const std::string tag = std::to_string(run);
        const std::string config = (s.work / ("site" + tag + ".tsn")).string();
        WriteConfiguration(config, s.url, "anonymous", "pub/ours-" + tag, files);
        const auto runOurs = [&] {
            Add(ours, &Series::first, RunChecked(s, Ours(s, config), s.uploadRoot / ("ours-" + tag), files));
            Add(ours, &Series::again, RunChecked(s, Ours(s, config), s.uploadRoot / ("ours-" + tag), files));
        };
        const auto runLftp = [&] {
            const auto argv = Lftp(s, site, "lftp-" + tag);
            Add(lftp, &Series::first, RunChecked(s, argv, s.uploadRoot / ("lftp-" + tag), files));
            Add(lftp, &Series::again, RunChecked(s, argv, s.uploadRoot / ("lftp-" + tag), files));
        };
        // Each run starts with the other tool.
        if (run % 2) {
            runLftp();
            runOurs();
        } else {
            runOurs();
            runLftp();
        }
        fs::remove_all(s.uploadRoot / ("ours-" + tag));
        fs::remove_all(s.uploadRoot / ("lftp-" + tag));
    }
    std::printf("\n%d runs, %zu files (500 of 4 KiB in 10 nested folders, 5 of 10 MiB), vsftpd with explicit "
                "TLS, passive mode\n",
                runs, files.size());
    std::printf("%-10s %14s %14s %10s\n", "tool", "first (s)", "no change (s)", "failures");
    for (const auto& [name, series] : {std::pair<const char*, const Series*>{"tessarine", &ours}, {"lftp", &lftp}})
        std::printf("%-10s %14.3f %14.3f %10d\n", name, Median(series->first), Median(series->again),
                    series->failures);
    std::printf("ratios tessarine / lftp (below 1: tessarine is faster), median of the runs' own ratios and, in "
                "brackets, the ratio of the medians:\n  first upload %.2f (%.2f)  no change %.2f (%.2f)\n",
                MedianRatio(ours.first, lftp.first), Median(ours.first) / Median(lftp.first),
                MedianRatio(ours.again, lftp.again), Median(ours.again) / Median(lftp.again));
    std::fflush(stdout);
}

void RunLargeFile(const Setup& s, int runs, std::size_t mib)
{
    const fs::path local = s.work / "large" / "large.bin";
    std::mt19937 random(13);
    WriteRandom(local, mib << 20, random);
    const FileList file = {{local.string(), ""}};
    Series ours, curl;
    for (int run = 0; run < runs; ++run) {
        const std::string tag = std::to_string(run);
        const std::string config = (s.work / ("large" + tag + ".tsn")).string();
        WriteConfiguration(config, s.url, "anonymous", "pub/ours-large-" + tag, file);
        const fs::path oursTarget = s.uploadRoot / ("ours-large-" + tag);
        const fs::path curlTarget = s.uploadRoot / ("curl-large-" + tag);
        const std::vector<std::string> curlArgv = {
            "curl", "--ssl-reqd", "-k", "-sS", "--ftp-create-dirs", "-T", local.string(),
            "ftp://127.0.0.1:" + std::to_string(s.port) + "/pub/curl-large-" + tag + "/large.bin"};
        const auto runOurs = [&] { Add(ours, &Series::first, RunChecked(s, Ours(s, config), oursTarget, file)); };
        const auto runCurl = [&] { Add(curl, &Series::first, RunChecked(s, curlArgv, curlTarget, file)); };
        if (run % 2) {
            runCurl();
            runOurs();
        } else {
            runOurs();
            runCurl();
        }
        fs::remove_all(oursTarget);
        fs::remove_all(curlTarget);
    }
    std::printf("\n%d runs, one file of %zu MiB, vsftpd with explicit TLS, passive mode\n", runs, mib);
    std::printf("%-10s %12s %12s %10s\n", "tool", "time (s)", "MiB/s", "failures");
    for (const auto& [name, series] : {std::pair<const char*, const Series*>{"tessarine", &ours}, {"curl", &curl}})
        std::printf("%-10s %12.3f %12.1f %10d\n", name, Median(series->first),
                    static_cast<double>(mib) / Median(series->first), series->failures);
    std::printf("ratio tessarine / curl (below 1: tessarine is faster): %.2f (%.2f)\n",
                MedianRatio(ours.first, curl.first), Median(ours.first) / Median(curl.first));
    std::fflush(stdout);
    fs::remove(local);
}

}  // namespace

int RunTlsBench(int argc, char** argv, const std::string& tool)
{
    const TlsOptions options = ParseOptions(argc, argv);
    PreferTemporaryFoldersInMemory();
    if (!test::VsftpdServer::Available()) {
        std::fprintf(stderr, "vsftpd is not available: %s\n", test::VsftpdServer::WhyUnavailable().c_str());
        return 1;
    }
    test::TempDir work("tessarine-tls-bench");
    const test::TestCertificate certificate;
    // Transfers logged only, as vsftpd does by default.
    const test::VsftpdTlsServer server(certificate, test::TlsMode::Explicit, "log_ftp_protocol=NO\ndebug_ssl=NO\n");
    Setup s;
    s.work = work.path();
    s.home = (work.path() / "home").string();
    fs::create_directories(s.home);
    s.log = (fs::current_path() / "upload_bench.log").string();
    fs::remove(s.log);
    s.tool = tool;
    s.fingerprint = certificate.Fingerprint();
    s.port = server.Port();
    s.url = server.Url();
    s.uploadRoot = server.UploadRoot();
    if (options.small)
        RunSmallFiles(s, options.runs);
    if (options.large)
        RunLargeFile(s, options.runs, options.largeMiB);
    return 0;
}

}  // namespace bench
