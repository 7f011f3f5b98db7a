#pragma once
// The asking side of the running-copies service: finds the other copies'
// sockets in the runtime folder and asks them. Sockets that refuse
// connections are leftovers of ended copies and are removed at once; a
// service of the calling thread is never asked (it could not answer while
// this thread waits). Connecting and listing are bounded by short
// time-outs; the may-this-end question and the close wait as long as the
// other copy takes, since it may be asking its user to save.

#include "platform/shell/RunningCopies.h"

#include <string>
#include <vector>

enum class CopyReach { Answered, Gone, Unreachable };
enum class EndAnswer { Yes, No, Gone, Unreachable };

// What closing running copies needs of them; the client below is the
// system's, tests may give their own.
class IRunningCopies {
public:
    virtual ~IRunningCopies() = default;
    // The other copies' sockets, sorted.
    virtual std::vector<std::string> Copies() = 0;
    virtual CopyReach ListWindows(const std::string& copy, std::vector<RunningWindow>& windows) = 0;
    virtual EndAnswer QueryEndSession(const std::string& copy, std::uint64_t id) = 0;
    // Gone when the window (or the copy) was no longer there.
    virtual CopyReach CloseWindow(const std::string& copy, std::uint64_t id) = 0;
};

struct RunningCopiesTimeouts {
    int connectMs = 1000;
    int listMs = 2000;
};

class RunningCopiesClient : public IRunningCopies {
public:
    explicit RunningCopiesClient(std::string folder, RunningCopiesTimeouts timeouts = {});

    std::vector<std::string> Copies() override;
    CopyReach ListWindows(const std::string& copy, std::vector<RunningWindow>& windows) override;
    EndAnswer QueryEndSession(const std::string& copy, std::uint64_t id) override;
    CopyReach CloseWindow(const std::string& copy, std::uint64_t id) override;

private:
    // One request; reach says whether a reply came, reply holds it.
    CopyReach Ask(const std::string& copy, const std::string& request, int replyTimeoutMs, bool wholeList,
                  std::string& reply);
    int Connect(const std::string& copy, CopyReach& reach);

    std::string m_folder;
    RunningCopiesTimeouts m_timeouts;
};
