// tessarine add-file, edit-file, remove-file: the document's file operations
// applied to a configuration file.

#include "cli/CommandLineDialogs.h"
#include "cli/Commands.h"
#include "cli/EditSession.h"
#include "cli/ExitCodes.h"
#include "cli/OptionParser.h"

#include <filesystem>

namespace cli {

namespace {

const std::vector<OptionSpec> kAddFileOptions = {{"web-folder", true}, {"ascii", false}, {"binary", false}};
const std::vector<OptionSpec> kEditFileOptions = {
    {"file", true}, {"web-folder", true}, {"ascii", false}, {"binary", false}};

// The file as typed, and made absolute before the operation enters the
// remembered browse folder (a name typed in the shell is the shell's).
void TakeFile(const std::string& typed, CommandLineDialogs& dialogs)
{
    dialogs.fileTyped = typed;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(typed, error);
    dialogs.fileAbsolute = (error || typed.empty()) ? typed : absolute.string();
}

// Fills dialogs with the web folder and type options. False after a usage error.
bool TakeFileOptions(const EditSession& session, const ParsedOptions& options, CommandLineDialogs& dialogs)
{
    bool usageFailed = false;
    dialogs.transferType = TransferTypeOption(session, options, usageFailed);
    dialogs.webFolder = options.Value("web-folder");
    return !usageFailed;
}

}  // namespace

int RunAddFile(const Args& args)
{
    EditSession session("add-file");
    const ParsedOptions options = ParseOptions(args, kAddFileOptions);
    if (const int opened = session.Open(options, 2, false, "the configuration file and one local file");
        opened != kExitOk)
        return opened;
    CommandLineDialogs dialogs;
    if (!TakeFileOptions(session, options, dialogs))
        return kExitUsage;
    TakeFile(options.positional[1], dialogs);
    return session.Finish(session.doc.AddFileThroughDialog(dialogs));
}

int RunEditFile(const Args& args)
{
    EditSession session("edit-file");
    const ParsedOptions options = ParseOptions(args, kEditFileOptions);
    if (const int opened = session.Open(options, 2, false, "the configuration file and one file index");
        opened != kExitOk)
        return opened;
    CommandLineDialogs dialogs;
    if (!TakeFileOptions(session, options, dialogs))
        return kExitUsage;
    if (const std::optional<std::string> file = options.Value("file"))
        TakeFile(*file, dialogs);
    const auto indices = session.ParseIndices({options.positional[1]}, session.doc.m_files.size(), "file");
    if (!indices)
        return kExitUsage;
    return session.Finish(session.doc.EditFile(dialogs, session.FileRows(*indices)));
}

int RunRemoveFile(const Args& args)
{
    return RunRemoveCommand(args, "remove-file", EntryKind::files);
}

}  // namespace cli
