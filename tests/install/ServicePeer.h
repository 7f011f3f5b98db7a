#pragma once
// Another "copy" for tests: the real running-copies service on a thread of
// its own, answering for scripted windows. Each window says what it does
// when asked whether it may end and when closed; every request is recorded.

#include "platform/shell/RunningCopiesService.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

struct PeerWindow {
    RunningWindow window;
    bool mayEnd = true;         // the answer to the may-this-end question
    bool staysAfterClose = false;  // takes the close but stays open
};

class ServicePeer : public IRunningCopyWindows {
public:
    // Listens in folder; throws when it cannot.
    ServicePeer(const std::string& folder, std::vector<PeerWindow> windows);
    ~ServicePeer() override;

    std::vector<RunningWindow> TopLevelWindows() override;
    std::optional<bool> QueryEndSession(std::uint64_t id) override;
    bool CloseWindow(std::uint64_t id) override;

    // Changes a window from the test's thread.
    void Update(std::uint64_t id, const std::function<void(PeerWindow&)>& change);
    // "LIST", "QUERYEND 1", "CLOSE 1" as they came.
    std::vector<std::string> Requests() const;
    std::string SocketPath() const;
    // Called on the peer's thread while it answers the may-this-end
    // question (the other copy asking its user); null: answers at once.
    std::function<void()> onQueryEnd;

private:
    void Loop();

    mutable std::mutex m_mutex;
    std::vector<PeerWindow> m_windows;
    std::vector<std::string> m_requests;
    std::string m_folder;
    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ready{false};
    bool m_failed = false;
    std::thread m_thread;
};

}  // namespace test
