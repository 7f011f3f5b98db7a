#include "platform/shell/DesktopOpener.h"
#include "platform/shell/ProcessStarter.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace {

IDesktopOpener* g_opener = nullptr;

IDesktopOpener& CurrentOpener()
{
    static XdgOpener standard;
    return g_opener ? *g_opener : standard;
}

// "https://...", "mailto:..." and the like: a scheme of two or more
// characters and a colon.
bool IsAddress(const std::string& target)
{
    const std::size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

int CheckLocalPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return errno == EACCES ? SE_ERR_ACCESSDENIED : SE_ERR_PNF;
    if (stat(path.c_str(), &info) != 0)
        return errno == EACCES ? SE_ERR_ACCESSDENIED : errno == ENOTDIR ? SE_ERR_PNF : SE_ERR_FNF;
    if (access(path.c_str(), R_OK) != 0)
        return SE_ERR_ACCESSDENIED;
    return SE_OPENED;
}

int CodeForExit(const ProcessOutcome& outcome)
{
    if (!outcome.started)
        return SE_ERR_NOASSOC;
    if (!outcome.exited || outcome.exitCode == 0)
        return SE_OPENED;
    switch (outcome.exitCode) {
    case 2:
        return SE_ERR_FNF;
    case 3:
    case 4:
        return SE_ERR_NOASSOC;
    default:
        return outcome.exitCode > 0 && outcome.exitCode <= SE_ERR_LAST ? outcome.exitCode : SE_ERR_LAST;
    }
}

}  // namespace

XdgOpener::XdgOpener(std::string program, int waitMilliseconds)
    : m_program(std::move(program)), m_waitMilliseconds(waitMilliseconds)
{
}

int XdgOpener::Open(const std::string&, const std::string& target)
{
    // xdg-open knows one action: the default one, which is "open".
    const std::string path =
        m_program.find('/') != std::string::npos ? m_program : FindProgram(m_program, SearchPathFolders());
    if (path.empty())
        return SE_ERR_NOASSOC;
    return CodeForExit(StartDetachedProcess(path, {m_program, target}, std::string(), m_waitMilliseconds));
}

IDesktopOpener* SetDesktopOpener(IDesktopOpener* opener)
{
    IDesktopOpener* previous = g_opener;
    g_opener = opener;
    return previous;
}

int ShellOpen(const std::string& verb, const std::string& target)
{
    if (target.empty())
        return SE_ERR_FNF;
    if (!IsAddress(target))
        if (const int local = CheckLocalPath(target); local <= SE_ERR_LAST)
            return local;
    return CurrentOpener().Open(verb, target);
}
