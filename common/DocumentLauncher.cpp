#include "common/DocumentLauncher.h"
#include "common/RegistryHelpers.h"
#include "platform/framework/MessageBox.h"
#include "platform/shell/CommandLine.h"
#include "platform/shell/DesktopOpener.h"
#include "platform/shell/ProcessStarter.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

std::string CurrentFolder()
{
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

// The file to execute for the program token: a path (a relative one taken
// from the caller's folder, made absolute since the child may start in
// another), a bare name from the search order; empty when there is none.
std::string ResolveProgram(const std::string& program)
{
    if (program.find('/') != std::string::npos) {
        struct stat info;
        if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::string();
        if (program.front() == '/')
            return program;
        const std::string current = CurrentFolder();
        return current.empty() ? std::string() : current + "/" + program;
    }
    std::vector<std::string> folders = {GetModuleFolder(), CurrentFolder()};
    for (std::string& folder : SearchPathFolders())
        folders.push_back(std::move(folder));
    return FindProgram(program, folders);
}

bool EndsWithLnk(const std::string& target)
{
    return target.size() >= 4 && strcasecmp(target.c_str() + target.size() - 4, ".lnk") == 0;
}

}  // namespace

bool RunCommandLine(const std::string& commandLine, const std::string& currentDirectory)
{
    SplitCommand split = SplitCommandLine(commandLine);
    if (split.program.empty())
        return false;
    const std::string path = ResolveProgram(split.program);
    if (path.empty())
        return false;
    std::vector<std::string> argv = {split.program};
    for (std::string& argument : split.arguments)
        argv.push_back(std::move(argument));
    return StartDetachedProcess(path, argv, currentDirectory).started;
}

std::string ShellErrorText(int code)
{
    switch (code) {
    case SE_ERR_OOM_RESOURCES:
        return "The operating system is out of memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied access to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case SE_ERR_BAD_FORMAT:
        return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred.";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is incomplete or invalid.";
    case SE_ERR_NOASSOC:
        return "There is no application associated with the given filename extension.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "ShellExecute error number %d.", code);
        return text;
    }
    }
}

bool LaunchDocument(const std::string& target)
{
    if (RunCommandLine(target))
        return true;
    const std::string verb = EndsWithLnk(target) ? std::string() : std::string("open");
    const int code = ShellOpen(verb, target);
    if (code > SE_ERR_LAST || (verb.empty() && code == SE_ERR_ACCESSDENIED))
        return true;
    AfxMessageBox("Unable to execute " + target + "\n" + ShellErrorText(code), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
