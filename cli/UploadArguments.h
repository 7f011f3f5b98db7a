#pragma once
// The arguments of `tessarine upload`, parsed apart from running anything.

#include "cli/Commands.h"
#include "cli/TerminalUploadUi.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class QuestionPolicy {
    Ask,     // on the terminal; No when there is none
    AllYes,  // --yes
    AllNo,   // --no: the run stops at the first problem
};

struct UploadArguments {
    std::string path;
    QuestionPolicy questions = QuestionPolicy::Ask;
    bool passive = false;
    bool noPipelining = false;
    std::vector<std::string> trustedFingerprints;  // --trust-fingerprint, in one form
    bool dryRun = false;
    bool noSave = false;
    Verbosity verbosity = Verbosity::normal;  // -q/--quiet, -v/--verbose
    bool json = false;                        // one JSON object a line on standard output
};

// The parsed arguments, or nullopt with error set to what is wrong.
std::optional<UploadArguments> ParseUploadArguments(const Args& args, std::string& error);

}  // namespace cli
