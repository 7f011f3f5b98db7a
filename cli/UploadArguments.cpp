#include "cli/UploadArguments.h"

#include "cli/OptionParser.h"
#include "platform/ftp/Fingerprint.h"

namespace cli {

std::optional<UploadArguments> ParseUploadArguments(const Args& args, std::string& error)
{
    ParsedOptions parsed = ParseOptions(args,
                                            {{"yes", false},
                                             {"no", false},
                                             {"passive", false},
                                             {"no-pipelining", false},
                                             {"dry-run", false},
                                             {"no-save", false},
                                             {"verbose", false, 'v'},
                                             {"quiet", false, 'q'},
                                             {"json", false},
                                             {"trust-fingerprint", true, 0, true}},
                                            {.singleDashIsOption = true, .repeatedFlagsAllowed = true});
    parsed.RequirePositional(1);
    error = parsed.error;
    if (error.empty() && parsed.Has("yes") && parsed.Has("no"))
        error = "--yes and --no cannot be given together";
    if (error.empty() && parsed.Has("verbose") && parsed.Has("quiet"))
        error = "--verbose and --quiet cannot be given together";
    if (error.empty() && parsed.positional[0].empty())
        error = "missing argument";
    UploadArguments upload;
    for (const std::string& text : parsed.Values("trust-fingerprint")) {
        const std::optional<std::string> fingerprint = ftp::ParseFingerprint(text);
        if (!fingerprint && error.empty())
            error = "--trust-fingerprint: '" + text + "' is not a SHA-256 fingerprint (32 hex pairs with colons)";
        if (fingerprint)
            upload.trustedFingerprints.push_back(*fingerprint);
    }
    if (!error.empty())
        return std::nullopt;
    upload.path = parsed.positional[0];
    upload.questions = parsed.Has("yes") ? QuestionPolicy::AllYes
                       : parsed.Has("no") ? QuestionPolicy::AllNo
                                            : QuestionPolicy::Ask;
    upload.passive = parsed.Has("passive");
    upload.noPipelining = parsed.Has("no-pipelining");
    upload.dryRun = parsed.Has("dry-run");
    upload.noSave = parsed.Has("no-save");
    upload.verbosity = parsed.Has("verbose") ? Verbosity::verbose
                       : parsed.Has("quiet") ? Verbosity::quiet
                                             : Verbosity::normal;
    upload.json = parsed.Has("json");
    return upload;
}

}  // namespace cli
