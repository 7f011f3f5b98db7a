// tessarine upload SITE.tsn [--yes | --no] [--passive] [--dry-run] [--no-save]
//
// Runs the program's own upload on the loaded configuration, then saves the
// new upload records atomically. The exit status tells a clean run (0) from
// one that completed past a skipped file (1) and one that stopped (6).

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/TerminalMessageBox.h"
#include "cli/TerminalUploadUi.h"
#include "cli/ToolDocument.h"
#include "cli/UploadArguments.h"
#include "model/TessarineDoc.h"

#include <cstdio>

namespace cli {

namespace {

constexpr unsigned int kUploadCommandId = 32771;

void PrintProblems(const std::vector<FileReport>& problems)
{
    if (problems.empty())
        return;
    std::fprintf(stderr, "Not uploaded:\n");
    for (const FileReport& report : problems)
        std::fprintf(stderr, "  %s\n", FormatFileReport(report).c_str());
}

// From the run's own record of how it ended, never from a message's text.
int RunStatus(const CTessarineDoc& doc, const CTerminalUploadUi& ui)
{
    switch (doc.GetLastUploadOutcome()) {
    case UploadRunOutcome::stopped:
        return kExitStopped;
    case UploadRunOutcome::completedAfterProblems:
        return kExitIncomplete;
    case UploadRunOutcome::completed:
        break;
    }
    return ui.Problems().empty() ? kExitOk : kExitIncomplete;
}

// The window offers Upload only when the configuration has a server and a
// file; the tool keeps to the same rule.
bool UploadEnabled(CTessarineDoc& doc)
{
    CCmdUI command(kUploadCommandId);
    doc.OnUpdateUpload(&command);
    return command.IsEnabled();
}

int Upload(const UploadArguments& arguments)
{
    CTessarineDoc doc;
    if (const int loaded = LoadConfiguration(doc, arguments.path); loaded != kExitOk)
        return loaded;
    if (!UploadEnabled(doc)) {
        std::fprintf(stderr, "tessarine: %s: nothing to upload: a configuration needs at least one server and "
                             "one file\n", arguments.path.c_str());
        return kExitRefused;
    }
    CTerminalUploadUi ui(UploadOptions{arguments.dryRun, arguments.passive});
    CTerminalMessageBox box(arguments.questions, [&ui] { ui.ClearBar(); });
    InstallUploadInterruptHandler();
    doc.OnUpload();
    const int status = RunStatus(doc, ui);
    PrintProblems(ui.Problems());
    if (arguments.dryRun || arguments.noSave || !doc.IsModified())
        return status;
    const int saved = SaveConfiguration(doc, arguments.path);
    return saved == kExitOk ? status : saved;
}

}  // namespace

int RunUpload(const Args& args)
{
    std::string error;
    const std::optional<UploadArguments> arguments = ParseUploadArguments(args, error);
    if (!arguments)
        return UsageError("upload", error);
    return Upload(*arguments);
}

}  // namespace cli
