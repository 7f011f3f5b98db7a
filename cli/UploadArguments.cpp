#include "cli/UploadArguments.h"

namespace cli {

namespace {

bool TakeFlag(const std::string& arg, UploadArguments& parsed, std::string& error)
{
    if (arg == "--passive")
        parsed.passive = true;
    else if (arg == "--dry-run")
        parsed.dryRun = true;
    else if (arg == "--no-save")
        parsed.noSave = true;
    else if (arg == "--yes" || arg == "--no") {
        const QuestionPolicy policy = arg == "--yes" ? QuestionPolicy::AllYes : QuestionPolicy::AllNo;
        if (parsed.questions != QuestionPolicy::Ask && parsed.questions != policy) {
            error = "--yes and --no cannot be given together";
            return false;
        }
        parsed.questions = policy;
    } else {
        error = "unknown option '" + arg + "'";
        return false;
    }
    return true;
}

}  // namespace

std::optional<UploadArguments> ParseUploadArguments(const Args& args, std::string& error)
{
    UploadArguments parsed;
    bool havePath = false;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!TakeFlag(arg, parsed, error))
                return std::nullopt;
        } else if (havePath) {
            error = "only one configuration file can be uploaded at a time";
            return std::nullopt;
        } else {
            parsed.path = arg;
            havePath = true;
        }
    }
    if (!havePath || parsed.path.empty()) {
        error = "no configuration file given";
        return std::nullopt;
    }
    return parsed;
}

}  // namespace cli
