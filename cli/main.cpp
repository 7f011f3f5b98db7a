// tessarine: inspect, edit and upload site configurations without a window,
// and look into the registry store.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/TerminalMessageBox.h"
#include "res/VersionText.h"

#include <cstdio>
#include <cstring>

namespace cli {

namespace {

constexpr const char* kServerOptionsHelp =
    "  --server NAME        the FTP server's name or address\n"
    "  --user USER          the user name\n"
    "  --password-stdin     read the password as one line from standard input\n"
    "  --password TEXT      the password (visible to other users in the process list)\n"
    "  --base-folder FOLDER the folder on the server the site goes to\n";
constexpr const char* kFileOptionsHelp =
    "  PATH...              files, or quoted patterns ('img/*.jpg': every match, sorted); all or nothing\n"
    "  --web-folder FOLDER  the folder below the base folder they go to\n"
    "  --ascii, --binary    the transfer type (default: from the file's extension)\n";
constexpr const char* kEditFileOptionsHelp =
    "  --file PATH          another local file\n"
    "  --web-folder FOLDER  the folder below the base folder it goes to\n"
    "  --ascii, --binary    the transfer type\n";

}  // namespace

const std::vector<Command>& AllCommands()
{
    static const std::vector<Command> commands = {
        {"new", "new SITE.tsn [--force]", "  --force              replace an existing file\n", RunNew},
        {"show", "show SITE.tsn [--json [--show-passwords]] [--status]",
         "  --json               the configuration as JSON\n"
         "  --show-passwords     with --json: include the passwords\n"
         "  --status             only the files the next upload would consider sending\n"
         "                       (\"New file\", \"Updated file\"), one a line\n",
         RunShow},
        {"add-server",
         "add-server SITE.tsn --server NAME --user USER [--password-stdin | --password TEXT] "
         "[--base-folder FOLDER]",
         kServerOptionsHelp, RunAddServer},
        {"edit-server",
         "edit-server SITE.tsn INDEX [--server NAME] [--user USER] [--password-stdin | --password TEXT] "
         "[--base-folder FOLDER]",
         kServerOptionsHelp, RunEditServer},
        {"remove-server", "remove-server SITE.tsn INDEX...", "", RunRemoveServer},
        {"add-file", "add-file SITE.tsn PATH... [--web-folder FOLDER] [--ascii | --binary]", kFileOptionsHelp,
         RunAddFile},
        {"add-tree", "add-tree SITE.tsn FOLDER [--web-folder BASE] [--exclude PATTERN]... [--dry-run]",
         "  --web-folder BASE    the web folder of FOLDER's own files; subfolders are added below it\n"
         "  --exclude PATTERN    leave out paths below FOLDER that match (a shell pattern: '*.psd',\n"
         "                       'drafts/*'); may be given again\n"
         "  --dry-run            list what would be added; save nothing\n",
         RunAddTree},
        {"edit-file", "edit-file SITE.tsn INDEX [--file PATH] [--web-folder FOLDER] [--ascii | --binary]",
         kEditFileOptionsHelp,
         RunEditFile},
        {"remove-file", "remove-file SITE.tsn INDEX... | remove-file SITE.tsn --missing",
         "  --missing            remove every file whose local file no longer exists\n", RunRemoveFile},
        {"registry", "registry export [KEY] | registry import FILE",
         "  export [KEY]         the store (or the tree of KEY) as REGEDIT4 text\n"
         "  import FILE          apply a REGEDIT4 file (- for standard input), all or nothing\n",
         RunRegistry},
        {"upload", "upload SITE.tsn [--yes | --no] [--passive] [--no-pipelining] [--trust-fingerprint FP]... [--dry-run] [--no-save] [-v | -q] [--json]",
         "  --yes, --no          answer every question Yes or No\n"
         "  --passive            passive data connections\n"
         "  --no-pipelining      one FTP command at a time\n"
         "  --trust-fingerprint FP  accept the TLS certificate with this SHA-256 fingerprint\n"
         "  --dry-run            list what would be sent; send and save nothing\n"
         "  --no-save            do not save the upload record\n"
         "  -v, --verbose        a line for every file, unchanged ones too\n"
         "  -q, --quiet          only problems and the summary\n"
         "  --json               one JSON object a line on standard output: each file, then the summary\n",
         RunUpload},
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

// True when args ask for the command's help: "--help" or "-h" before any "--".
bool AsksForHelp(const Args& args)
{
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

void PrintCommandHelp(const Command& command)
{
    std::printf("Usage: tessarine %s\n", command.synopsis);
    std::printf("\nOptions:\n%s", command.options);
    std::printf("  -h, --help           this text\n"
                "  --                   end of options: what follows is a file name or value\n");
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
    const Args args(argv + 2, argv + argc);
    if (AsksForHelp(args)) {
        PrintCommandHelp(*command);
        return kExitOk;
    }
    CPlainMessageBox messages;
    return command->run(args);
}
