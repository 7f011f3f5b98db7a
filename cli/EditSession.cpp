#include "cli/EditSession.h"

#include "cli/ExitCodes.h"
#include "cli/ToolDocument.h"
#include "cli/Utf8.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace cli {

namespace {

// A decimal number without sign or spaces, or nothing.
std::optional<std::size_t> ParseNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<std::size_t>(std::stoul(text));
}

// One line from standard input without its line end. On a terminal the
// typed characters are not echoed (the password stays off the screen).
bool ReadPasswordLine(std::string& line)
{
    termios saved{};
    const bool terminal = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        std::fputs("Password: ", stderr);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool read = static_cast<bool>(std::getline(std::cin, line)) || !line.empty();
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputs("\n", stderr);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return read;
}

}  // namespace

int EditSession::Load(const std::string& sitePath)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(sitePath, error);
    m_path = error ? sitePath : absolute.lexically_normal().string();
    if (m_runLock.Acquire(m_path) == CUploadRunLock::Result::Busy) {
        std::fputs(RunLockRefusal(m_path, "the " + m_command + " change was not made").c_str(), stderr);
        return kExitRefused;
    }
    const int loaded = LoadConfiguration(doc, m_path);
    struct stat st {};
    if (loaded == kExitLoadFailed && ::lstat(m_path.c_str(), &st) != 0 && errno == ENOENT)
        std::fprintf(stderr, "tessarine: 'tessarine new %s' makes an empty configuration.\n",
                     EscapeControls(sitePath).c_str());
    return loaded;
}

int EditSession::Open(const ParsedOptions& options, std::size_t count, bool orMore, const std::string& need)
{
    if (!options.ok())
        return Usage(options.error);
    const std::size_t given = options.positional.size();
    if (given < count || (!orMore && given > count))
        return Usage("give " + need);
    return Load(options.positional[0]);
}

std::optional<std::vector<int>> EditSession::ParseIndices(const std::vector<std::string>& texts,
                                                          std::size_t count, const char* what)
{
    std::vector<int> indices;
    for (const std::string& text : texts) {
        const std::optional<std::size_t> index = ParseNumber(text);
        if (!index || *index >= count) {
            Usage("no " + std::string(what) + " has the index '" + text + "' (the configuration has " +
                  std::to_string(count) + ", counted from 0)");
            return std::nullopt;
        }
        indices.push_back(static_cast<int>(*index));
    }
    return indices;
}

CMemoryListCtrl& EditSession::Select(CMemoryListCtrl& list, const std::vector<int>& indices)
{
    for (int index : indices)
        list.SelectItemWithData(index);
    return list;
}

CMemoryListCtrl& EditSession::ServerRows(const std::vector<int>& indices)
{
    doc.FillServerList(m_list);
    return Select(m_list, indices);
}

CMemoryListCtrl& EditSession::FileRows(const std::vector<int>& indices)
{
    doc.FillFileList(m_list);
    return Select(m_list, indices);
}

int EditSession::Finish(bool changed)
{
    if (!changed)
        return kExitRefused;
    return SaveConfiguration(doc, m_path);
}

std::optional<std::string> PasswordOption(const EditSession& session, const ParsedOptions& options,
                                          bool& usageFailed)
{
    const bool fromStdin = options.Has("password-stdin");
    if (fromStdin && options.Has("password")) {
        usageFailed = true;
        session.Usage("give either --password-stdin or --password, not both");
        return std::nullopt;
    }
    if (!fromStdin)
        return options.Value("password");
    std::string line;
    if (!ReadPasswordLine(line)) {
        usageFailed = true;
        session.Usage("--password-stdin: no password line on standard input");
        return std::nullopt;
    }
    return line;
}

std::optional<int> TransferTypeOption(const EditSession& session, const ParsedOptions& options,
                                      bool& usageFailed)
{
    if (options.Has("ascii") && options.Has("binary")) {
        usageFailed = true;
        session.Usage("give either --ascii or --binary, not both");
        return std::nullopt;
    }
    if (options.Has("ascii"))
        return 1;
    if (options.Has("binary"))
        return 0;
    return std::nullopt;
}

int RunRemoveCommand(const Args& args, const char* command, EntryKind kind)
{
    EditSession session(command);
    const bool servers = kind == EntryKind::servers;
    const ParsedOptions options = ParseOptions(args, {});
    const std::string need = std::string("the configuration file and at least one ") + (servers ? "server" : "file") + " index";
    if (const int opened = session.Open(options, 2, true, need); opened != kExitOk)
        return opened;
    const std::vector<std::string> texts(options.positional.begin() + 1, options.positional.end());
    const std::size_t count = servers ? session.doc.m_servers.size() : session.doc.m_files.size();
    const auto indices = session.ParseIndices(texts, count, servers ? "server" : "file");
    if (!indices)
        return kExitUsage;
    if (servers)
        return session.Finish(session.doc.DeleteServers(session.ServerRows(*indices)));
    return session.Finish(session.doc.DeleteFiles(session.FileRows(*indices)));
}

const std::vector<OptionSpec>& ServerOptionSpecs()
{
    static const std::vector<OptionSpec> specs = {
        {"server", true}, {"user", true}, {"password", true}, {"password-stdin", false}, {"base-folder", true}};
    return specs;
}

}  // namespace cli
