#include "platform/shell/RunningCopiesService.h"

#include "platform/shell/RunningCopiesSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace {

constexpr std::size_t kMaxRequest = 256;
constexpr int kRequestTimeoutMs = 1000;
constexpr int kReplyTimeoutMs = 2000;

std::mutex g_servicesMutex;
std::map<std::string, std::thread::id>& Services()
{
    static std::map<std::string, std::thread::id> services;
    return services;
}

std::atomic<int> g_counter{0};

bool HasLine(const std::string& text)
{
    return text.find('\n') != std::string::npos;
}

}  // namespace

bool IsServedByThisThread(const std::string& path)
{
    std::lock_guard lock(g_servicesMutex);
    const auto found = Services().find(path);
    return found != Services().end() && found->second == std::this_thread::get_id();
}

RunningCopiesService::RunningCopiesService(IRunningCopyWindows& windows, std::string folder)
    : m_windows(windows), m_folder(std::move(folder))
{
}

RunningCopiesService::~RunningCopiesService()
{
    Stop();
}

bool RunningCopiesService::Listen()
{
    if (m_fd >= 0)
        return true;
    const std::string stem = std::to_string(getpid()) + "-" + std::to_string(g_counter++);
    const std::string path = m_folder + "/copy-" + stem + ".sock";
    const std::string temporary = m_folder + "/bind-" + stem + ".tmp";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path || temporary.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, temporary.c_str(), temporary.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    unlink(temporary.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0 ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    m_fd = fd;
    m_path = path;
    std::lock_guard lock(g_servicesMutex);
    Services()[m_path] = std::this_thread::get_id();
    return true;
}

void RunningCopiesService::Stop()
{
    if (m_fd < 0)
        return;
    {
        std::lock_guard lock(g_servicesMutex);
        Services().erase(m_path);
    }
    unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
    m_path.clear();
}

void RunningCopiesService::HandleConnection()
{
    if (m_fd < 0)
        return;
    const int connection = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
        return;
    Serve(connection);
    close(connection);
}

void RunningCopiesService::Serve(int connection)
{
    using namespace running_copies;
    std::string line;
    if (ReadUntil(connection, line, kMaxRequest, kRequestTimeoutMs, HasLine) != ReadEnd::Complete)
        return;
    line.erase(line.find('\n'));
    const std::optional<Request> request = ParseRequest(line);
    if (!request)
        return;
    std::string reply;
    switch (request->kind) {
    case RequestKind::List:
        for (const RunningWindow& window : m_windows.TopLevelWindows())
            reply += FormatWindowLine(window);
        reply += "END\n";
        break;
    case RequestKind::QueryEnd: {
        const std::optional<bool> mayEnd = m_windows.QueryEndSession(request->id);
        reply = !mayEnd ? "GONE\n" : *mayEnd ? "YES\n" : "NO\n";
        break;
    }
    case RequestKind::Close:
        reply = m_windows.CloseWindow(request->id) ? "DONE\n" : "GONE\n";
        break;
    }
    WriteAll(connection, reply, kReplyTimeoutMs);
}
