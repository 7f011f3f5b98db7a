#include "install/CloseRunningPrograms.h"

#include "platform/framework/MessageBox.h"

#include <algorithm>

namespace {

constexpr std::size_t kWindowTextLength = 127;

// How one matching window ended in a pass.
enum class Outcome { Closed, Vanished, Prompted, Cancelled };

class Pass {
public:
    Pass(IRunningCopies& copies, IExitPrompt& prompt, const std::string& displayName)
        : m_copies(copies), m_prompt(prompt), m_displayName(displayName)
    {
    }

    // One look at every copy: true when something matched (the next pass
    // checks again); cancelled tells that the user gave up.
    bool Run(const std::string& closeClass, const std::string& closeTitle)
    {
        for (const std::string& copy : m_copies.Copies()) {
            std::vector<RunningWindow> windows;
            const CopyReach reach = m_copies.ListWindows(copy, windows);
            if (reach == CopyReach::Gone)
                continue;
            if (reach == CopyReach::Unreachable) {
                // A copy that does not answer cannot be closed from here.
                if (Prompt() == Outcome::Cancelled)
                    return true;
                continue;
            }
            for (const RunningWindow& window : windows) {
                if (!WindowMatches(window, closeClass, closeTitle))
                    continue;
                if (CloseOne(copy, window) == Outcome::Cancelled)
                    return true;
            }
        }
        return m_found;
    }

    bool cancelled() const { return m_cancelled; }

private:
    Outcome CloseOne(const std::string& copy, const RunningWindow& window)
    {
        if (!window.enabled)
            return Prompt();
        const EndAnswer answer = m_copies.QueryEndSession(copy, window.id);
        if (answer == EndAnswer::Gone)
            return Outcome::Vanished;
        if (answer != EndAnswer::Yes)
            return Prompt();
        const CopyReach closed = m_copies.CloseWindow(copy, window.id);
        if (closed == CopyReach::Gone || (closed == CopyReach::Answered && IsGone(copy, window.id))) {
            m_found = true;
            return Outcome::Closed;
        }
        // It took the close but stayed: only the user can end it.
        return Prompt();
    }

    bool IsGone(const std::string& copy, std::uint64_t id)
    {
        std::vector<RunningWindow> windows;
        const CopyReach reach = m_copies.ListWindows(copy, windows);
        if (reach == CopyReach::Gone)
            return true;
        return reach == CopyReach::Answered &&
               std::none_of(windows.begin(), windows.end(), [id](const RunningWindow& w) { return w.id == id; });
    }

    Outcome Prompt()
    {
        if (m_prompt.AskToExit("Please exit the program " + m_displayName + ".") == IDCANCEL) {
            m_cancelled = true;
            return Outcome::Cancelled;
        }
        m_found = true;
        return Outcome::Prompted;
    }

    IRunningCopies& m_copies;
    IExitPrompt& m_prompt;
    const std::string& m_displayName;
    bool m_found = false;
    bool m_cancelled = false;
};

}  // namespace

bool WindowMatches(const RunningWindow& window, const std::string& closeClass, const std::string& closeTitle)
{
    if (!closeClass.empty())
        return window.className.substr(0, kWindowTextLength) == closeClass;
    if (!closeTitle.empty())
        return window.title.substr(0, kWindowTextLength) == closeTitle;
    return false;
}

bool CloseProgramWindows(IRunningCopies& copies, IExitPrompt& prompt, const std::string& closeClass,
                         const std::string& closeTitle, const std::string& displayName)
{
    if (closeClass.empty() && closeTitle.empty())
        return false;
    for (;;) {
        Pass pass(copies, prompt, displayName);
        const bool again = pass.Run(closeClass, closeTitle);
        if (pass.cancelled())
            return true;
        if (!again)
            return false;
    }
}

bool CloseRunningProgramWindows(IRunningCopies& copies, IExitPrompt& prompt, const std::string& closeClass,
                                const std::string& closeTitle, const std::string& displayName,
                                const std::vector<ProgramToClose>& programs)
{
    if (CloseProgramWindows(copies, prompt, closeClass, closeTitle, displayName))
        return true;
    for (const ProgramToClose& program : programs)
        if (CloseProgramWindows(copies, prompt, program.m_strClass, program.m_strTitle, program.m_strDisplayName))
            return true;
    return false;
}
