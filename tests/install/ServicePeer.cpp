#include "tests/install/ServicePeer.h"

#include <poll.h>

#include <algorithm>
#include <stdexcept>

namespace test {

ServicePeer::ServicePeer(const std::string& folder, std::vector<PeerWindow> windows)
    : m_windows(std::move(windows)), m_folder(folder)
{
    m_thread = std::thread([this] { Loop(); });
    while (!m_ready)
        std::this_thread::yield();
    if (m_failed) {
        m_thread.join();
        throw std::runtime_error("the peer cannot listen in " + folder);
    }
}

ServicePeer::~ServicePeer()
{
    m_stop = true;
    m_thread.join();
}

void ServicePeer::Loop()
{
    RunningCopiesService service(*this, m_folder);
    {
        std::lock_guard lock(m_mutex);
        m_failed = !service.Listen();
        m_path = service.SocketPath();
    }
    m_ready = true;
    if (m_failed)
        return;
    while (!m_stop) {
        pollfd entry{service.Fd(), POLLIN, 0};
        if (poll(&entry, 1, 20) > 0)
            service.HandleConnection();
    }
}

std::vector<RunningWindow> ServicePeer::TopLevelWindows()
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back("LIST");
    std::vector<RunningWindow> windows;
    for (const PeerWindow& peer : m_windows)
        windows.push_back(peer.window);
    return windows;
}

std::optional<bool> ServicePeer::QueryEndSession(std::uint64_t id)
{
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back("QUERYEND " + std::to_string(id));
    }
    if (onQueryEnd)
        onQueryEnd();
    std::lock_guard lock(m_mutex);
    const auto found = std::find_if(m_windows.begin(), m_windows.end(),
                                    [id](const PeerWindow& peer) { return peer.window.id == id; });
    if (found == m_windows.end())
        return std::nullopt;
    return found->mayEnd;
}

bool ServicePeer::CloseWindow(std::uint64_t id)
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back("CLOSE " + std::to_string(id));
    const auto found = std::find_if(m_windows.begin(), m_windows.end(),
                                    [id](const PeerWindow& peer) { return peer.window.id == id; });
    if (found == m_windows.end())
        return false;
    if (!found->staysAfterClose)
        m_windows.erase(found);
    return true;
}

void ServicePeer::Update(std::uint64_t id, const std::function<void(PeerWindow&)>& change)
{
    std::lock_guard lock(m_mutex);
    for (PeerWindow& peer : m_windows)
        if (peer.window.id == id)
            change(peer);
}

std::vector<std::string> ServicePeer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string ServicePeer::SocketPath() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

}  // namespace test
