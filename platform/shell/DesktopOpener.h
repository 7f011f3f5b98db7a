#pragma once
// Opening a document or an address with the desktop's application for it,
// reported with the shell's result codes: above 32 means success, 32 or less
// is one of the SE_ERR_ codes (or another small number).

#include <string>

constexpr int SE_ERR_OOM_RESOURCES = 0;
constexpr int SE_ERR_FNF = 2;            // file not found
constexpr int SE_ERR_PNF = 3;            // path not found
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_BAD_FORMAT = 11;
constexpr int SE_ERR_SHARE = 26;
constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
constexpr int SE_ERR_NOASSOC = 31;       // no application for this kind of file
constexpr int SE_ERR_LAST = 32;          // the largest failure code
constexpr int SE_OPENED = 42;            // what a successful open reports

// The seam to the desktop's opener. Tests install their own so that nothing
// is ever opened on the test machine.
class IDesktopOpener {
public:
    virtual ~IDesktopOpener() = default;
    // Opens target with verb ("open", or "" for the default action); a shell
    // result code. May block for a bounded time.
    virtual int Open(const std::string& verb, const std::string& target) = 0;
};

// The freedesktop opener: runs `program target` (xdg-open by default, looked
// for on PATH) and waits up to waitMilliseconds for it. Its exit status
// gives the code: 0 success, 2 file not found, 3 (no tool for it) and 4 (the
// action failed) SE_ERR_NOASSOC, another status up to 32 itself, anything
// else SE_ERR_LAST. A missing opener is SE_ERR_NOASSOC; one still running
// after the wait (some open the application and stay with it) is success.
class XdgOpener : public IDesktopOpener {
public:
    explicit XdgOpener(std::string program = "xdg-open", int waitMilliseconds = 10000);
    int Open(const std::string& verb, const std::string& target) override;

private:
    std::string m_program;
    int m_waitMilliseconds;
};

// Installs opener (nullptr: the XdgOpener) and returns the one it replaces.
// The caller keeps ownership.
IDesktopOpener* SetDesktopOpener(IDesktopOpener* opener);

// Opens target the way the shell did: a target that is not an address
// ("scheme:...") is a local path and is checked first (a missing folder gives
// SE_ERR_PNF, a missing file SE_ERR_FNF, an unreadable one
// SE_ERR_ACCESSDENIED, without asking the opener); then the installed opener.
int ShellOpen(const std::string& verb, const std::string& target);
