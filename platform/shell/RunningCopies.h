#pragma once
// The running-copies service: every running Tessup listens on a socket in
// the per-user runtime folder and answers three requests about its
// top-level windows, so that the installer can find the copies it must
// close, ask them whether they may end, and close them. One request per
// connection, one line each way (the list is several lines and "END"):
//
//   LIST            -> WINDOW <tab> id <tab> 0|1 <tab> class <tab> title, ..., END
//   QUERYEND <id>   -> YES | NO | GONE   (the copy may ask its user to save first)
//   CLOSE <id>      -> DONE | GONE       (answered once the window has handled it)
//
// Fields are escaped (backslash, tab, line feed, carriage return) so that a
// title can hold anything. A window's class is the runtime class name of
// its window: the main frame's is kMainFrameWindowClass.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kMainFrameWindowClass = "CMainFrame";

struct RunningWindow {
    std::uint64_t id = 0;
    bool enabled = true;  // false while the window waits behind a modal dialog
    std::string className;
    std::string title;
    bool operator==(const RunningWindow&) const = default;
};

// What a copy's windows answer: the Qt program implements it over its
// top-level windows, tests with scripted windows.
class IRunningCopyWindows {
public:
    virtual ~IRunningCopyWindows() = default;
    // The visible top-level windows.
    virtual std::vector<RunningWindow> TopLevelWindows() = 0;
    // May this window end? Blocks while the window asks its user.
    // nullopt: no such window any more.
    virtual std::optional<bool> QueryEndSession(std::uint64_t id) = 0;
    // Closes the window as its close button would; false: no such window.
    virtual bool CloseWindow(std::uint64_t id) = 0;
};

namespace running_copies {

std::string EscapeField(std::string_view text);
// nullopt for a dangling or unknown escape.
std::optional<std::string> UnescapeField(std::string_view text);

std::string FormatWindowLine(const RunningWindow& window);
std::optional<RunningWindow> ParseWindowLine(std::string_view line);
// The whole reply to LIST; nullopt unless it is well formed and ends in END.
std::optional<std::vector<RunningWindow>> ParseListReply(std::string_view reply);

enum class RequestKind { List, QueryEnd, Close };
struct Request {
    RequestKind kind = RequestKind::List;
    std::uint64_t id = 0;
};
std::string FormatRequest(const Request& request);
// A request line without its line feed; nullopt when malformed.
std::optional<Request> ParseRequest(std::string_view line);

}  // namespace running_copies
