#pragma once
// Closing running copies before an installation or uninstallation: every
// top-level window of another copy that matches by exact class (or, with no
// class, by exact title) is asked whether it may end and then closed; where
// it is disabled, refuses, does not answer, or is still there after its
// close, the user is asked to exit the program by hand (OK checks again,
// Cancel gives up). Passes repeat until one meets no matching window.
//
// Toolkit-free: the copies come through IRunningCopies, the prompt through
// IExitPrompt. The caller shows the wait cursor and the "Closing
// programs..." message window around the whole call.

#include "install/SelfInstallEntries.h"
#include "platform/shell/RunningCopiesClient.h"

#include <string>
#include <vector>

class IExitPrompt {
public:
    virtual ~IExitPrompt() = default;
    // Brings the owner to the front and asks text with OK and Cancel and
    // the exclamation icon; IDOK or IDCANCEL.
    virtual int AskToExit(const std::string& text) = 0;
};

// Class names and window texts take part with their first 127 characters,
// as the platform's 128-character buffers read them.
bool WindowMatches(const RunningWindow& window, const std::string& closeClass, const std::string& closeTitle);

// True when the user cancelled.
bool CloseProgramWindows(IRunningCopies& copies, IExitPrompt& prompt, const std::string& closeClass,
                         const std::string& closeTitle, const std::string& displayName);

// The program's own windows first, then each further program in order;
// true when the user cancelled (the rest are not tried).
bool CloseRunningProgramWindows(IRunningCopies& copies, IExitPrompt& prompt, const std::string& closeClass,
                                const std::string& closeTitle, const std::string& displayName,
                                const std::vector<ProgramToClose>& programs);
