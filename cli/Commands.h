#pragma once
// The tool's commands. Each takes the arguments after its own name and
// returns an exit status (cli/ExitCodes.h). Usage texts go to stderr with
// kExitUsage; results go to stdout.

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis;  // one line, shown by --help
    const char* options;   // what COMMAND --help adds: one "  --x  what" line each
    int (*run)(const Args& args);
};

// The edit commands (cli/CmdEditServers.cpp, cli/CmdEditFiles.cpp).
int RunAddServer(const Args& args);
int RunEditServer(const Args& args);
int RunRemoveServer(const Args& args);
int RunAddFile(const Args& args);
int RunEditFile(const Args& args);
int RunRemoveFile(const Args& args);
int RunAddTree(const Args& args);

// The web folder of a file found below add-tree's folder: base, a "/" unless
// base ends in one, then subfolder; either may be empty.
std::string TreeWebFolder(const std::string& base, const std::string& subfolder);

// Every command, in the order --help lists them.
const std::vector<Command>& AllCommands();

// Prints "tessarine: message" and the command's synopsis to stderr; returns kExitUsage.
int UsageError(const std::string& command, const std::string& message);

// The commands (cli/Cmd<Name>.cpp).
int RunNew(const Args& args);
int RunShow(const Args& args);
int RunRegistry(const Args& args);
int RunUpload(const Args& args);

}  // namespace cli
