// tessarine add-file, edit-file, remove-file: the document's file operations
// applied to a configuration file. add-file takes several paths and
// patterns, all or nothing; remove-file --missing drops the entries whose
// local file is gone.

#include "cli/CommandLineDialogs.h"
#include "cli/Commands.h"
#include "cli/EditSession.h"
#include "cli/ExitCodes.h"
#include "cli/LocalPaths.h"
#include "cli/OptionParser.h"
#include "cli/TerminalMessageBox.h"
#include "cli/Utf8.h"
#include "model/FileStatus.h"
#include "model/LocalFileLookup.h"
#include "platform/framework/MessageBox.h"

#include <algorithm>
#include <cstdio>
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

// One PATH argument of add-file, resolved before anything is added (adding
// enters the remembered browse folder, which changes the current folder).
struct TypedPath {
    std::string typed;
    PathExpansion expansion;
};

struct Refusal {
    std::string name;
    std::string reason;   // one line, for the list of several
    std::string message;  // the program's whole message, for one path alone
};

const char* const kFolderHint = "It is a folder: 'tessarine add-tree' adds the files below a folder.";

// The reason of a refused path as one line: the message's last paragraph
// (the program's messages name the file first, then say what is wrong).
std::string ReasonOf(const std::string& message)
{
    const std::size_t cut = message.rfind("\n\n");
    return cut == std::string::npos ? message : message.substr(cut + 2);
}

// A path that names nothing to add, told as the file dialog tells it.
Refusal RefusePath(const TypedPath& path)
{
    const std::string missing = LocalFileMissingText(path.typed);
    if (path.expansion.refusal == PathRefusal::folder)
        return {path.typed, ReasonOf(missing) + " " + kFolderHint, missing + "\n" + kFolderHint};
    return {path.typed, ReasonOf(missing), missing};
}

// The files of paths added in order through the local file dialog's route
// (duplicate test, type rule, remembered web folder). Returns the refusals.
std::vector<Refusal> AddPaths(EditSession& session, const CommandLineDialogs& given,
                              const std::vector<TypedPath>& paths, int& added)
{
    std::vector<Refusal> refused;
    CRecordingMessageBox messages;
    for (const TypedPath& path : paths) {
        if (path.expansion.refusal != PathRefusal::none) {
            refused.push_back(RefusePath(path));
            continue;
        }
        const bool pattern = path.expansion.pattern;
        for (const std::string& file : path.expansion.files) {
            CommandLineDialogs dialogs = given;
            dialogs.fileTyped = pattern ? file : path.typed;
            dialogs.fileAbsolute = file;
            dialogs.fileFound = true;
            messages.Clear();
            if (session.doc.AddFileThroughDialog(dialogs))
                ++added;
            else
                refused.push_back({*dialogs.fileTyped, ReasonOf(messages.Last()), messages.Last()});
        }
    }
    return refused;
}

void PrintRefusals(const std::vector<Refusal>& refused, std::size_t tried)
{
    if (tried == 1) {
        // One path: the program's own message, as the window shows it.
        std::fprintf(stderr, "%s\n", EscapeControls(refused[0].message).c_str());
        return;
    }
    std::fprintf(stderr, "tessarine: add-file: nothing was added; %zu of %zu refused:\n", refused.size(), tried);
    for (const Refusal& refusal : refused)
        std::fprintf(stderr, "  %s: %s\n", EscapeControls(refusal.name, LineBreaks::escape).c_str(),
                     EscapeControls(refusal.reason, LineBreaks::escape).c_str());
}

std::size_t CountTried(const std::vector<TypedPath>& paths)
{
    std::size_t tried = 0;
    for (const TypedPath& path : paths)
        tried += std::max<std::size_t>(1, path.expansion.files.size());
    return tried;
}

}  // namespace

int RunAddFile(const Args& args)
{
    EditSession session("add-file");
    const ParsedOptions options = ParseOptions(args, kAddFileOptions);
    if (const int opened = session.Open(options, 2, true, "the configuration file and at least one local file");
        opened != kExitOk)
        return opened;
    CommandLineDialogs given;
    if (!TakeFileOptions(session, options, given))
        return kExitUsage;
    std::vector<TypedPath> paths;
    for (auto it = options.positional.begin() + 1; it != options.positional.end(); ++it)
        paths.push_back({*it, ExpandLocalPath(*it)});
    int added = 0;
    const std::vector<Refusal> refused = AddPaths(session, given, paths, added);
    if (!refused.empty()) {
        PrintRefusals(refused, CountTried(paths));
        return kExitRefused;
    }
    const int saved = session.Finish(added > 0);
    if (saved == kExitOk && added > 1)
        std::printf("Added %d files.\n", added);
    return saved;
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

namespace {

// remove-file SITE.tsn --missing: every entry whose local file cannot be
// found ("Error opening file" in the list), each listed as it goes.
int RemoveMissingFiles(const ParsedOptions& options)
{
    EditSession session("remove-file");
    if (const int opened = session.Open(options, 1, false, "only the configuration file with --missing");
        opened != kExitOk)
        return opened;
    std::vector<int> missing;
    for (std::size_t i = 0; i < session.doc.m_files.size(); ++i)
        if (GetFileStatus(session.doc.m_files[i]) == FileStatus::errorOpening)
            missing.push_back(static_cast<int>(i));
    if (missing.empty()) {
        std::printf("No local file of the list is missing.\n");
        return kExitOk;
    }
    for (int index : missing)
        std::printf("Removed %d  %s\n", index,
                    EscapeControls(session.doc.m_files[index].m_strFileName, LineBreaks::escape).c_str());
    return session.Finish(session.doc.DeleteFiles(session.FileRows(missing)));
}

}  // namespace

int RunRemoveFile(const Args& args)
{
    const ParsedOptions options = ParseOptions(args, {{"missing", false}});
    if (options.ok() && options.Has("missing"))
        return RemoveMissingFiles(options);
    return RunRemoveCommand(args, "remove-file", EntryKind::files);
}

}  // namespace cli
