#include "platform/shell/RunningCopiesClient.h"

#include "platform/shell/RunningCopiesService.h"
#include "platform/shell/RunningCopiesSocket.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace {

constexpr std::size_t kMaxReply = 1 << 20;
constexpr std::size_t kMaxAnswer = 64;

bool IsCopySocketName(const std::string& name)
{
    constexpr std::string_view prefix = "copy-";
    constexpr std::string_view suffix = ".sock";
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ReplyHasEnd(const std::string& reply)
{
    return reply == "END\n" || (reply.size() >= 5 && reply.compare(reply.size() - 5, 5, "\nEND\n") == 0);
}

bool HasLine(const std::string& reply)
{
    return reply.find('\n') != std::string::npos;
}

}  // namespace

RunningCopiesClient::RunningCopiesClient(std::string folder, RunningCopiesTimeouts timeouts)
    : m_folder(std::move(folder)), m_timeouts(timeouts)
{
}

std::vector<std::string> RunningCopiesClient::Copies()
{
    std::vector<std::string> copies;
    DIR* folder = opendir(m_folder.c_str());
    if (!folder)
        return copies;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        const std::string path = m_folder + "/" + name;
        struct stat info {};
        if (IsCopySocketName(name) && lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
            !IsServedByThisThread(path))
            copies.push_back(path);
    }
    closedir(folder);
    std::sort(copies.begin(), copies.end());
    return copies;
}

int RunningCopiesClient::Connect(const std::string& copy, CopyReach& reach)
{
    reach = CopyReach::Unreachable;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (copy.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, copy.c_str(), copy.size() + 1);
    const long long start = running_copies::NowMs();
    for (;;) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return -1;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return fd;
        const int error = errno;
        close(fd);
        if (error == ECONNREFUSED || error == ENOENT) {
            // Nobody listens: the copy has ended. Its socket is removed, never waited on.
            if (error == ECONNREFUSED)
                unlink(copy.c_str());
            reach = CopyReach::Gone;
            return -1;
        }
        // A full backlog (EAGAIN): the copy is busy; try again until the time-out.
        if (error != EAGAIN || running_copies::Remaining(start, m_timeouts.connectMs) == 0)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

CopyReach RunningCopiesClient::Ask(const std::string& copy, const std::string& request, int replyTimeoutMs,
                                   bool wholeList, std::string& reply)
{
    using namespace running_copies;
    CopyReach reach = CopyReach::Unreachable;
    const int fd = Connect(copy, reach);
    if (fd < 0)
        return reach;
    reply.clear();
    ReadEnd end = ReadEnd::Failed;
    if (WriteAll(fd, request, m_timeouts.listMs)) {
        if (wholeList)
            end = ReadUntil(fd, reply, kMaxReply, replyTimeoutMs, ReplyHasEnd);
        else
            end = ReadUntil(fd, reply, kMaxAnswer, replyTimeoutMs, HasLine);
    }
    close(fd);
    if (end == ReadEnd::Complete)
        return CopyReach::Answered;
    // Closed without a word: the copy was ending as we asked.
    return end == ReadEnd::Closed && reply.empty() ? CopyReach::Gone : CopyReach::Unreachable;
}

CopyReach RunningCopiesClient::ListWindows(const std::string& copy, std::vector<RunningWindow>& windows)
{
    windows.clear();
    std::string reply;
    const CopyReach reach = Ask(copy, running_copies::FormatRequest({running_copies::RequestKind::List, 0}),
                                m_timeouts.listMs, true, reply);
    if (reach != CopyReach::Answered)
        return reach;
    std::optional<std::vector<RunningWindow>> listed = running_copies::ParseListReply(reply);
    if (!listed)
        return CopyReach::Unreachable;
    windows = std::move(*listed);
    return CopyReach::Answered;
}

EndAnswer RunningCopiesClient::QueryEndSession(const std::string& copy, std::uint64_t id)
{
    std::string reply;
    const CopyReach reach =
        Ask(copy, running_copies::FormatRequest({running_copies::RequestKind::QueryEnd, id}), -1, false, reply);
    if (reach == CopyReach::Gone)
        return EndAnswer::Gone;
    if (reach == CopyReach::Unreachable)
        return EndAnswer::Unreachable;
    if (reply == "YES\n")
        return EndAnswer::Yes;
    if (reply == "NO\n")
        return EndAnswer::No;
    return reply == "GONE\n" ? EndAnswer::Gone : EndAnswer::Unreachable;
}

CopyReach RunningCopiesClient::CloseWindow(const std::string& copy, std::uint64_t id)
{
    std::string reply;
    const CopyReach reach =
        Ask(copy, running_copies::FormatRequest({running_copies::RequestKind::Close, id}), -1, false, reply);
    if (reach != CopyReach::Answered)
        return reach;
    if (reply == "DONE\n")
        return CopyReach::Answered;
    return reply == "GONE\n" ? CopyReach::Gone : CopyReach::Unreachable;
}
