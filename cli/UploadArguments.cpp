#include "cli/UploadArguments.h"

#include "cli/OptionParser.h"

namespace cli {

std::optional<UploadArguments> ParseUploadArguments(const Args& args, std::string& error)
{
    const ParsedOptions parsed = ParseFlags(args,
                                            {{"yes", false},
                                             {"no", false},
                                             {"passive", false},
                                             {"no-pipelining", false},
                                             {"dry-run", false},
                                             {"no-save", false},
                                             {"verbose", false, 'v'},
                                             {"quiet", false, 'q'},
                                             {"json", false}},
                                            1);
    error = parsed.error;
    if (error.empty() && parsed.Has("yes") && parsed.Has("no"))
        error = "--yes and --no cannot be given together";
    if (error.empty() && parsed.Has("verbose") && parsed.Has("quiet"))
        error = "--verbose and --quiet cannot be given together";
    if (error.empty() && parsed.positional[0].empty())
        error = "missing argument";
    if (!error.empty())
        return std::nullopt;
    UploadArguments upload;
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
