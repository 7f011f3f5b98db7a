// The long-path mode of upload_bench: the same three tools against a vsftpd
// reached through a LatencyProxy that adds a fixed delay each way, passive
// mode, so that nearly all of a run's time is round trips, as it is for a
// server 10 to 100 ms away. The site: files of 4 KiB in ten folders side by
// side; ours takes them in the list grouped by folder or interleaved (each
// file in another folder than the one before). Reports the elapsed time of
// the first upload and of the run with nothing changed, and the round trips
// per file (elapsed / round trip / files).
//
//   build-bench/bench/upload_bench --long-path [--rtt MS]... [--files N]...
//                                   [--order grouped|interleaved]... [--only tessarine]
//                                   [--no-pipelining] [--tls]
//
// --tls: vsftpd with explicit TLS; ours trusts the test certificate by its
// fingerprint, lftp demands TLS without verifying, sitecopy is left out.

#include "bench/LongPathBench.h"

#include "bench/BenchSupport.h"
#include "bench/LatencyProxy.h"
#include "bench/UploadBenchTools.h"
#include "tests/servers/TestServers.h"
#include "tests/servers/TlsServers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace bench {

namespace {

constexpr int kFolders = 10;
constexpr std::uint16_t kPassiveFirst = 31000;
constexpr std::uint16_t kPassiveLast = 31199;
const char* const kProxyHost = "127.0.0.2";

struct LongPathOptions {
    std::vector<int> rtts;
    std::vector<int> fileCounts;
    std::vector<std::string> orders;
    bool onlyOurs = false;
    bool noPipelining = false;
    bool tls = false;
};

LongPathOptions ParseOptions(int argc, char** argv)
{
    LongPathOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--rtt" && more)
            o.rtts.push_back(std::atoi(argv[++i]));
        else if (a == "--files" && more)
            o.fileCounts.push_back(std::atoi(argv[++i]));
        else if (a == "--order" && more)
            o.orders.push_back(argv[++i]);
        else if (a == "--only" && more)
            o.onlyOurs = std::string(argv[++i]) == "tessarine";
        else if (a == "--no-pipelining")
            o.noPipelining = true;
        else if (a == "--tls")
            o.tls = true;
    }
    if (o.rtts.empty())
        o.rtts = {10, 40};
    if (o.fileCounts.empty())
        o.fileCounts = {100, 1000};
    if (o.orders.empty())
        o.orders = {"grouped", "interleaved"};
    return o;
}

using FileList = std::vector<std::pair<std::string, std::string>>;

// count files of 4 KiB in ten folders side by side below root; the list
// grouped by folder.
FileList MakeFlatSite(const fs::path& root, int count)
{
    std::mt19937 random(11);
    FileList files;
    for (int folder = 0; folder < kFolders; ++folder)
        for (int i = 0; i < count / kFolders; ++i) {
            const std::string web = Numbered("d", folder, "");
            const fs::path path = root / web / Numbered("f", i, ".gif");
            WriteRandom(path, 4096, random);
            files.emplace_back(path.string(), web);
        }
    return files;
}

// The same files, each in another folder than the one before.
FileList Interleaved(const FileList& grouped)
{
    FileList files;
    const std::size_t perFolder = grouped.size() / kFolders;
    for (std::size_t i = 0; i < perFolder; ++i)
        for (std::size_t folder = 0; folder < kFolders; ++folder)
            files.push_back(grouped[folder * perFolder + i]);
    return files;
}

std::string ProxyExtraConfig()
{
    return std::string("pasv_address=") + kProxyHost + "\npasv_min_port=" + std::to_string(kPassiveFirst) +
           "\npasv_max_port=" + std::to_string(kPassiveLast) + "\n";
}

std::vector<std::uint16_t> ProxiedPorts(std::uint16_t controlPort)
{
    std::vector<std::uint16_t> ports{controlPort};
    for (std::uint16_t p = kPassiveFirst; p <= kPassiveLast; ++p)
        ports.push_back(p);
    return ports;
}

struct Row {
    std::string tool;
    std::string order;
    double first = 0;
    double again = 0;
    int failures = 0;
};

struct Setup {
    fs::path work;
    std::string home;
    std::string log;
    std::string tool;
    std::uint16_t port = 0;
    fs::path uploadRoot;
    // With TLS: "ftpes://" before the server name, and the test
    // certificate's fingerprint, which ours is told to trust.
    std::string scheme;
    std::string fingerprint;
};

// The certificate options of ours, when the server speaks TLS.
void AddTrust(const Setup& s, std::vector<std::string>& argv)
{
    if (!s.fingerprint.empty()) {
        argv.push_back("--trust-fingerprint");
        argv.push_back(s.fingerprint);
    }
}

double Timed(const Setup& s, const std::vector<std::string>& argv, int& failures)
{
    const Timing t = RunTimed(argv, s.home, s.log);
    if (t.status != 0) {
        ++failures;
        std::fprintf(stderr, "warning: %s exited with %d (see %s)\n", argv[0].c_str(), t.status, s.log.c_str());
    }
    return t.seconds;
}

Row RunOurs(const Setup& s, const FileList& files, const std::string& order, const std::string& tag,
            bool noPipelining)
{
    const std::string config = (s.work / ("long-" + tag + ".tsn")).string();
    WriteConfiguration(config, s.scheme + kProxyHost + ":" + std::to_string(s.port), "anonymous",
                       "pub/ours-" + tag, order == "grouped" ? files : Interleaved(files));
    std::vector<std::string> argv = {s.tool, "upload", config, "--no", "--passive"};
    if (noPipelining)
        argv.push_back("--no-pipelining");
    AddTrust(s, argv);
    Row row{"tessarine", order};
    row.first = Timed(s, argv, row.failures);
    row.again = Timed(s, argv, row.failures);
    return row;
}

Row RunLftp(const Setup& s, const fs::path& site, const std::string& tag)
{
    // With TLS demanded for the login, the data and the listings, the
    // certificate not verified (ours trusts it by its fingerprint).
    const std::string tls = s.scheme.empty() ? ""
                                             : "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
                                               "set ftp:ssl-protect-list true; set ssl:verify-certificate no; ";
    const std::string mirror = tls + "set ftp:passive-mode on; set xfer:use-temp-file yes; mirror -R --no-perms " +
                               site.string() + " /pub/lftp-" + tag + "; quit";
    const std::vector<std::string> argv = {"lftp", "-u", "anonymous,", "-p", std::to_string(s.port),
                                           "-e", mirror, kProxyHost};
    Row row{"lftp", "its own"};
    row.first = Timed(s, argv, row.failures);
    row.again = Timed(s, argv, row.failures);
    return row;
}

Row RunSitecopy(const Setup& s, const fs::path& site, const std::string& tag)
{
    fs::create_directories(s.uploadRoot / ("sitecopy-" + tag));
    fs::permissions(s.uploadRoot / ("sitecopy-" + tag), fs::perms::all);
    WriteSitecopyRc(s.home, site, kProxyHost, {{tag, s.port}}, true);
    int ignored = 0;
    Timed(s, {"sitecopy", "--init", "bench" + tag}, ignored);
    const std::vector<std::string> argv = {"sitecopy", "--update", "bench" + tag};
    Row row{"sitecopy", "its own"};
    row.first = Timed(s, argv, row.failures);
    row.again = Timed(s, argv, row.failures);
    return row;
}

void PrintRows(int rtt, int files, const std::vector<Row>& rows)
{
    std::printf("\nround trip %d ms, %d files of 4 KiB in %d folders side by side, passive mode\n", rtt, files,
                kFolders);
    std::printf("%-10s %-12s %10s %12s %12s %12s\n", "tool", "list order", "first (s)", "RT/file", "again (s)",
                "RT/file");
    const double perFile = rtt / 1000.0 * files;
    for (const Row& r : rows)
        std::printf("%-10s %-12s %10.2f %12.2f %12.2f %12.3f%s\n", r.tool.c_str(), r.order.c_str(), r.first,
                    r.first / perFile, r.again, r.again / perFile, r.failures ? "  (failed: see the log)" : "");
    std::fflush(stdout);
}

}  // namespace

int RunLongPathBench(int argc, char** argv, const std::string& tool)
{
    const LongPathOptions options = ParseOptions(argc, argv);
    PreferTemporaryFoldersInMemory();
    if (!test::VsftpdServer::Available()) {
        std::fprintf(stderr, "vsftpd is not available: %s\n", test::VsftpdServer::WhyUnavailable().c_str());
        return 1;
    }
    test::TempDir work("tessarine-long-path");
    // With --tls: explicit TLS, the data connections resuming the control
    // connection's session (require_ssl_reuse), as a real host has it.
    std::unique_ptr<test::TestCertificate> certificate;
    std::unique_ptr<test::FtpServer> served;
    if (options.tls) {
        certificate = std::make_unique<test::TestCertificate>();
        served = std::make_unique<test::VsftpdTlsServer>(*certificate, test::TlsMode::Explicit, ProxyExtraConfig());
    } else {
        served = std::make_unique<test::VsftpdServer>(false, ProxyExtraConfig());
    }
    const test::FtpServer& server = *served;
    Setup s;
    if (options.tls) {
        s.scheme = "ftpes://";
        s.fingerprint = certificate->Fingerprint();
    }
    s.work = work.path();
    s.home = (work.path() / "home").string();
    fs::create_directories(s.home);
    s.log = (fs::current_path() / "upload_bench.log").string();
    fs::remove(s.log);
    s.tool = tool;
    s.port = server.Port();
    s.uploadRoot = server.UploadRoot();
    int tags = 0;
    for (const int files : options.fileCounts) {
        const fs::path site = work.path() / ("site" + std::to_string(files));
        const FileList list = MakeFlatSite(site, files);
        for (const int rtt : options.rtts) {
            LatencyProxy proxy(kProxyHost, "127.0.0.1", ProxiedPorts(s.port),
                               std::chrono::microseconds(rtt * 500));
            std::vector<Row> rows;
            for (const std::string& order : options.orders)
                rows.push_back(RunOurs(s, list, order, std::to_string(++tags), options.noPipelining));
            if (!options.onlyOurs) {
                rows.push_back(RunLftp(s, site, std::to_string(++tags)));
                if (!options.tls)  // sitecopy speaks no FTP over TLS
                    rows.push_back(RunSitecopy(s, site, std::to_string(++tags)));
            }
            PrintRows(rtt, files, rows);
        }
        // Peak memory of ours at this size, on the direct path (the same
        // run, only quicker).
        const std::string config = (work.path() / ("memory" + std::to_string(files) + ".tsn")).string();
        WriteConfiguration(config, s.scheme + server.Address(), "anonymous", "pub/memory-" + std::to_string(files),
                           list);
        std::vector<std::string> argv = {tool, "upload", config, "--no", "--passive"};
        AddTrust(s, argv);
        std::printf("tessarine peak memory, first upload of %d files: %ld KiB\n", files,
                    PeakMemoryKiB(argv, s.home, s.log, work.path()));
    }
    return 0;
}

}  // namespace bench
