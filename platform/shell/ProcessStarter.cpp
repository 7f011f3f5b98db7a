#include "platform/shell/ProcessStarter.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace {

constexpr int kPollMilliseconds = 10;

// Closes every descriptor from first on, except keep.
void CloseDescriptorsFrom(int first, int keep)
{
    const bool below = keep <= first || close_range(first, keep - 1, 0) == 0;
    if (below && close_range(keep + 1, ~0U, 0) == 0)
        return;
    const long limit = sysconf(_SC_OPEN_MAX);
    for (int fd = first; fd < (limit > 0 ? limit : 1024); ++fd)
        if (fd != keep)
            close(fd);
}

// Moves all of outcome's bytes through fd: written when write, else read.
// False when the other side went away first.
bool TransferOutcome(int fd, ProcessOutcome& outcome, bool write)
{
    char* bytes = reinterpret_cast<char*>(&outcome);
    std::size_t done = 0;
    while (done < sizeof outcome) {
        const ssize_t moved = write ? ::write(fd, bytes + done, sizeof outcome - done)
                                    : read(fd, bytes + done, sizeof outcome - done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        done += static_cast<std::size_t>(moved);
    }
    return true;
}

void Sleep(int milliseconds)
{
    timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// In the intermediate process: waits up to waitMilliseconds for pid.
void WaitForEnd(pid_t pid, int waitMilliseconds, ProcessOutcome& outcome)
{
    for (int waited = 0;; waited += kPollMilliseconds) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            outcome.exited = true;
            outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return;
        }
        if (ended < 0 && errno != EINTR)
            return;
        if (waited >= waitMilliseconds)
            return;
        Sleep(kPollMilliseconds);
    }
}

// The intermediate process: only async-signal-safe calls, then _exit.
[[noreturn]] void RunIntermediate(int reportFd, const char* path, char* const* argv,
                                  const char* directory, const posix_spawnattr_t* attributes,
                                  int waitMilliseconds)
{
    ProcessOutcome outcome;
    CloseDescriptorsFrom(3, reportFd);
    pid_t pid = 0;
    if (directory && chdir(directory) != 0)
        outcome.error = errno;
    else
        outcome.error = posix_spawn(&pid, path, nullptr, attributes, argv, environ);
    outcome.started = outcome.error == 0;
    if (outcome.started && waitMilliseconds > 0)
        WaitForEnd(pid, waitMilliseconds, outcome);
    TransferOutcome(reportFd, outcome, true);
    _exit(0);
}

void ReapIntermediate(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

void PrepareAttributes(posix_spawnattr_t& attributes)
{
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
}

}  // namespace

ProcessOutcome StartDetachedProcess(const std::string& path, const std::vector<std::string>& argv,
                                    const std::string& currentDirectory, int waitMilliseconds)
{
    ProcessOutcome outcome;
    // Everything the intermediate needs is made here, before fork().
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawnattr_t attributes;
    PrepareAttributes(attributes);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        outcome.error = errno;
        posix_spawnattr_destroy(&attributes);
        return outcome;
    }
    const pid_t intermediate = fork();
    if (intermediate == 0)
        RunIntermediate(report[1], path.c_str(), args.data(),
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &attributes,
                        waitMilliseconds);
    close(report[1]);
    if (intermediate < 0)
        outcome.error = errno;
    else if (!TransferOutcome(report[0], outcome, false))
        outcome = ProcessOutcome{false, ECHILD, false, -1};
    close(report[0]);
    if (intermediate > 0)
        ReapIntermediate(intermediate);
    posix_spawnattr_destroy(&attributes);
    return outcome;
}

std::string FindProgram(const std::string& name, const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        const std::string candidate = folder.back() == '/' ? folder + name : folder + '/' + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::string();
}

std::vector<std::string> SearchPathFolders()
{
    std::string path;
    if (const char* value = std::getenv("PATH")) {
        path = value;
    } else {
        path.resize(confstr(_CS_PATH, nullptr, 0));
        confstr(_CS_PATH, path.data(), path.size());
        path.resize(path.empty() ? 0 : path.size() - 1);
    }
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}
