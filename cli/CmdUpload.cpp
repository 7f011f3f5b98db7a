// tessarine upload SITE.tsn [--yes | --no] [--passive] [--no-pipelining] [--trust-fingerprint FP]...
//                           [--dry-run] [--no-save]
//                  [-v | -q] [--json]
//
// Runs the program's own upload on the loaded configuration, then saves the
// new upload records atomically, and ends with a summary. The exit status
// tells a clean run (0) from one that completed past a skipped file (1) and
// one that stopped (6).

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/TerminalMessageBox.h"
#include "cli/TerminalUploadUi.h"
#include "cli/ToolDocument.h"
#include "cli/UploadArguments.h"
#include "model/TessarineDoc.h"
#include "platform/ftp/CertificateDecision.h"

#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

// The certificate question on the terminal. Asked only when the tool may
// ask (a terminal, neither --yes nor --no): nothing else trusts a
// certificate by itself.
class CTerminalCertificateQuestions : public ftp::ICertificateQuestions {
public:
    bool TrustCertificate(const ftp::CertificateQuestion& question) override
    {
        std::fprintf(stderr, "%s\n[y/N] ", ftp::CertificateQuestionText(question).c_str());
        std::fflush(stderr);
        return ReadYesAnswer(stdin);
    }
};

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
int RunStatus(const CTessarineDoc& doc, const CUploadReporter& reporter)
{
    switch (doc.GetLastUploadOutcome()) {
    case UploadRunOutcome::stopped:
        return kExitStopped;
    case UploadRunOutcome::completedAfterProblems:
        return kExitIncomplete;
    case UploadRunOutcome::completed:
        break;
    }
    return reporter.Problems().empty() ? kExitOk : kExitIncomplete;
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
    // With --json standard output carries only the JSON lines; the
    // summary people read goes to standard error.
    std::FILE* bar = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    CUploadReporter reporter(arguments.verbosity, arguments.json, arguments.dryRun, PlanUpload(doc), stdout, bar);
    UploadOptions options{arguments.dryRun, arguments.passive, arguments.noPipelining};
    CTerminalCertificateQuestions certificateQuestions;
    options.trustedFingerprints = arguments.trustedFingerprints;
    options.mayAskAboutCertificates = arguments.questions == QuestionPolicy::Ask && ::isatty(STDIN_FILENO);
    options.certificateQuestions = &certificateQuestions;
    CTerminalUploadUi ui(options, reporter);
    CTerminalMessageBox box(arguments.questions,
                            [&reporter](const std::string& text, unsigned int style) { return reporter.MessageShown(text, style); });
    InstallUploadInterruptHandler();
    doc.OnUpload();
    reporter.RunEnded();
    const int status = RunStatus(doc, reporter);
    PrintProblems(reporter.Problems());
    int saved = kExitOk;
    if (!arguments.dryRun && !arguments.noSave && doc.IsModified())
        saved = SaveConfiguration(doc, arguments.path);
    const int exitStatus = saved == kExitOk ? status : saved;
    const std::string summary = reporter.SummaryText();
    std::fputs(summary.c_str(), arguments.json ? stderr : stdout);
    if (arguments.json)
        std::fputs(reporter.SummaryJson(exitStatus).c_str(), stdout);
    std::fflush(stdout);
    return exitStatus;
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
