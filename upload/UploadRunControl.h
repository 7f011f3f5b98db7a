#pragma once
// The continue flag of one upload run and the ways the run talks to the user.
// Stop() is the one place where the run clears the flag (the sink's own
// Cancel is the only other); every question the run asks goes through
// AskToContinue, so a No answer always stops the run the same way.

#include "model/TessarineDoc.h"
#include "upload/UploadProgress.h"

#include <functional>
#include <string>

class CUploadRunControl {
public:
    // pump: lets waiting messages through; returns 1 when the quit message was seen.
    CUploadRunControl(IUploadProgress& progress, std::function<int()> pump);

    bool IsContinuing() const { return m_progress.IsContinuing(); }
    // Clears the continue flag for good. why names the cause, for a trace
    // (TESSARINE_UPLOAD_TRACE=1 prints it to standard error).
    void Stop(const char* why);
    // Pumps waiting messages; a quit message stops the run. Returns whether
    // the run may go on.
    bool PumpAndContinue();
    // Asks text with Yes and No; No stops the run. Returns true for Yes.
    bool AskToContinue(const std::string& text);
    // Shows text alone (exclamation icon, OK) and stops the run.
    void ShowErrorAndStop(const std::string& text);

    IUploadProgress& Progress() { return m_progress; }
    // Called before every question and every error shown (the run drops
    // what it sent ahead to the server: the user's answer may change what
    // comes next).
    void SetBeforeTellingUser(std::function<void()> hook) { m_beforeTelling = std::move(hook); }
    // How the run ends if it ends now: stopped once the flag is cleared,
    // else completed, after problems when a question was asked.
    UploadRunOutcome Outcome() const;

private:
    IUploadProgress& m_progress;
    std::function<int()> m_pump;
    std::function<void()> m_beforeTelling;
    bool m_asked = false;
};
