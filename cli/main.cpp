// tessarine: inspect, edit and upload site configurations without a window,
// and look into the registry store.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "res/VersionText.h"

#include <cstdio>
#include <cstring>

namespace cli {

const std::vector<Command>& AllCommands()
{
    static const std::vector<Command> commands = {
        {"new", "new SITE.tsn [--force]", RunNew},
        {"show", "show SITE.tsn [--json [--show-passwords]]", RunShow},
        {"add-server",
         "add-server SITE.tsn --server NAME --user USER [--password-stdin | --password TEXT] "
         "[--base-folder FOLDER]",
         RunAddServer},
        {"edit-server",
         "edit-server SITE.tsn INDEX [--server NAME] [--user USER] [--password-stdin | --password TEXT] "
         "[--base-folder FOLDER]",
         RunEditServer},
        {"remove-server", "remove-server SITE.tsn INDEX...", RunRemoveServer},
        {"add-file", "add-file SITE.tsn PATH [--web-folder FOLDER] [--ascii | --binary]", RunAddFile},
        {"edit-file", "edit-file SITE.tsn INDEX [--file PATH] [--web-folder FOLDER] [--ascii | --binary]",
         RunEditFile},
        {"remove-file", "remove-file SITE.tsn INDEX...", RunRemoveFile},
        {"registry", "registry export [KEY] | registry import FILE", RunRegistry},
        {"upload", "upload SITE.tsn [--yes | --no] [--passive] [--dry-run] [--no-save]", RunUpload},
    };
    return commands;
}

namespace {

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : AllCommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

void PrintHelp(FILE* out)
{
    std::fprintf(out,
                 "Usage: tessarine COMMAND [ARGUMENTS]\n"
                 "Inspect, edit and upload Tessarine site configurations (.tsn files).\n\n"
                 "Commands:\n");
    for (const Command& command : AllCommands())
        std::fprintf(out, "  tessarine %s\n", command.synopsis);
    std::fprintf(out,
                 "\n  tessarine --help       this text\n"
                 "  tessarine --version    the version (as the About box shows it)\n\n"
                 "Exit status: 0 success, 1 upload completed with skipped files, 2 wrong usage,\n"
                 "3 file not loaded, 4 change refused, 5 file not saved, 6 upload stopped,\n"
                 "7 registry error.\n");
}

}  // namespace

int UsageError(const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "tessarine: %s\n", message.c_str());
    if (const Command* known = FindCommand(command))
        std::fprintf(stderr, "Usage: tessarine %s\n", known->synopsis);
    else
        std::fprintf(stderr, "Run 'tessarine --help' for the commands.\n");
    return kExitUsage;
}

}  // namespace cli

int main(int argc, char** argv)
{
    using namespace cli;
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (name == "--version") {
        std::printf("tessarine %s\n", GetVersionText().c_str());
        return kExitOk;
    }
    const Command* command = FindCommand(name);
    if (!command)
        return UsageError(name, "unknown command '" + name + "'");
    return command->run(Args(argv + 2, argv + argc));
}
