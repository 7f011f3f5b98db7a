// Our FTP client beside curl -T, sending the same files to the same local
// vsftpd in the same data-connection mode: 200 files of 20 KiB (one curl
// invocation for all of them) and one file of 200 MiB. Every run writes into
// a fresh folder, which is removed afterwards; the medians of the runs are
// reported with the ratio ours / curl, and the commands each client sent
// per file (from the log of a second server that logs every command; the
// timed one logs transfers only, as vsftpd does by default).
//
// Usage: ftp_client_bench [runs]   (default 5; needs root for vsftpd)

#include "bench/BenchSupport.h"
#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"
#include "tests/servers/TestServers.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSmallFiles = 200;
constexpr std::size_t kSmallBytes = 20 * 1024;
constexpr std::size_t kLargeBytes = 200u * 1024 * 1024;

fs::path g_serverFolder;

struct Sample {
    double seconds = 0;
    std::size_t commands = 0;
};

void WriteRandom(const fs::path& path, std::size_t size, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::vector<std::uint64_t> block(8192);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t left = size; left > 0;) {
        for (auto& w : block)
            w = random();
        const std::size_t n = std::min(left, block.size() * sizeof(std::uint64_t));
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
        left -= n;
    }
}

// Sends one local file as the upload run does: 1024-byte blocks.
void SendFile(CFtpConnection& connection, const fs::path& local, const std::string& remote)
{
    const int fd = open(local.c_str(), O_RDONLY | O_CLOEXEC);
    std::unique_ptr<CInternetFile> file(connection.OpenFile(remote, GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
    std::vector<char> buffer(64 * 1024);
    for (ssize_t got; (got = read(fd, buffer.data(), buffer.size())) > 0;)
        for (ssize_t at = 0; at < got; at += 1024)
            file->Write(buffer.data() + at, static_cast<unsigned>(std::min<ssize_t>(1024, got - at)));
    close(fd);
    file->Close();
}

double Ours(const test::FtpServer& server, bool passive, const std::string& folder, const std::vector<fs::path>& files)
{
    const auto start = Clock::now();
    CInternetSession session;
    std::unique_ptr<CFtpConnection> c(session.GetFtpConnection(server.Address(), "", "", 0, passive));
    if (!c->SetCurrentDirectory(server.UploadFolder() + "/" + folder))
        throw std::runtime_error("cannot enter " + folder + ": " + c->GetLastReplyText());
    for (const fs::path& f : files)
        SendFile(*c, f, f.filename().string());
    c->Close();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Curl(const test::FtpServer& server, bool passive, const std::string& folder, const std::vector<fs::path>& files)
{
    std::string list = "{";
    for (const fs::path& f : files) {
        if (list.size() > 1)
            list += ',';
        list += f.string();
    }
    list += "}";
    std::vector<std::string> args = {"/usr/bin/curl", "-s", "-S", "--ftp-create-dirs", "-T", list};
    if (!passive) {
        args.push_back("-P");
        args.push_back("-");
    }
    std::string url = "ftp://";
    url.append(server.Address()).append("/").append(server.UploadFolder()).append("/").append(folder).append("/");
    args.push_back(url);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start curl");
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("curl failed");
    return seconds;
}

// What the server printed, and the log lines around its complaints.
void ShowServerTrouble()
{
    std::cerr << test::ReadFile((g_serverFolder / "output.log").string());
    std::ifstream log(g_serverFolder / "vsftpd.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("OOPS") != std::string::npos)
            for (std::size_t j = i >= 6 ? i - 6 : 0; j <= i; ++j)
                std::cerr << lines[j] << "\n";
}

struct Runner {
    test::FtpServer& server;    // timed: logs transfers only
    test::FtpServer& counting;  // logs every command
    int runs;
    int folderNumber = 0;

    using Client = double (*)(const test::FtpServer&, bool, const std::string&, const std::vector<fs::path>&);

    // One run into a fresh folder of target; checks what arrived, then
    // removes it.
    Sample Once(test::FtpServer& target, Client client, bool passive, const std::vector<fs::path>& files)
    {
        const std::string folder = "run" + std::to_string(++folderNumber);
        const fs::path onDisk = target.UploadRoot() / folder;
        fs::create_directory(onDisk);
        fs::permissions(onDisk, fs::perms::all);
        target.ClearCommands();
        Sample s;
        s.seconds = client(target, passive, folder, files);
        s.commands = target.Commands().size();
        for (const fs::path& f : files)
            if (fs::file_size(onDisk / f.filename()) != fs::file_size(f))
                throw std::runtime_error("incomplete upload of " + f.filename().string());
        fs::remove_all(onDisk);
        return s;
    }

    void Compare(const std::string& what, bool passive, const std::vector<fs::path>& files)
    {
        std::vector<double> ours, curl;
        for (int i = 0; i < runs; ++i) {
            // Each client goes first in every other pair.
            if (i % 2)
                curl.push_back(Once(server, &Curl, passive, files).seconds);
            ours.push_back(Once(server, &Ours, passive, files).seconds);
            if (i % 2 == 0)
                curl.push_back(Once(server, &Curl, passive, files).seconds);
        }
        const std::size_t oursCommands = Once(counting, &Ours, passive, files).commands;
        const std::size_t curlCommands = Once(counting, &Curl, passive, files).commands;
        const double mo = bench::Median(ours), mc = bench::Median(curl);
        std::printf("%-22s %-8s ours %8.3f s  curl %8.3f s  ratio %5.2f (%4.2f)  commands/file ours %5.2f curl %5.2f"
                    "  (whole run: ours %zu, curl %zu)\n",
                    what.c_str(), passive ? "passive" : "active", mo, mc, bench::MedianRatio(ours, curl), mo / mc,
                    double(oursCommands) / double(files.size()), double(curlCommands) / double(files.size()),
                    oursCommands, curlCommands);
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    bench::PreferTemporaryFoldersInMemory();
    if (!test::VsftpdServer::Available()) {
        std::cerr << "ftp_client_bench: " << test::VsftpdServer::WhyUnavailable() << "\n";
        return 77;
    }
    try {
        test::TempDir local("tessarine-bench");
        std::vector<fs::path> small;
        for (int i = 0; i < kSmallFiles; ++i) {
            small.push_back(local.path() / ("file" + std::to_string(i) + ".bin"));
            WriteRandom(small.back(), kSmallBytes, static_cast<unsigned>(i));
        }
        const std::vector<fs::path> large = {local.path() / "large.bin"};
        WriteRandom(large[0], kLargeBytes, 999);

        test::VsftpdServer server(false);
        test::VsftpdServer counting;
        g_serverFolder = server.Folder();
        Runner runner{server, counting, runs};
        std::printf("vsftpd on %s, medians of %d runs; ratio = ours / curl (below 1: ours is faster), the median\n"
                    "of the runs' own ratios and, in brackets, the ratio of the medians; commands counted in one\n"
                    "more run against a vsftpd that logs them\n",
                    server.Address().c_str(), runs);
        for (const bool passive : {false, true}) {
            runner.Compare("200 files of 20 KiB", passive, small);
            runner.Compare("1 file of 200 MiB", passive, large);
        }
    } catch (const std::exception& e) {
        std::cerr << "ftp_client_bench: " << e.what() << "\n";
        ShowServerTrouble();
        return 1;
    } catch (const CInternetException& e) {
        std::cerr << "ftp_client_bench: " << e.ErrorText() << "\n";
        ShowServerTrouble();
        return 1;
    }
    return 0;
}
