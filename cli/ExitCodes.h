#pragma once
// Exit statuses of the `tessarine` tool. Scripts rely on them: never renumber.

namespace cli {

enum ExitCode : int {
    kExitOk = 0,            // success
    kExitIncomplete = 1,    // upload completed, but files were skipped
    kExitUsage = 2,         // wrong usage (a usage text was printed)
    kExitLoadFailed = 3,    // the configuration could not be loaded
    kExitRefused = 4,       // an edit was refused (its message was printed)
    kExitSaveFailed = 5,    // the configuration could not be saved
    kExitStopped = 6,       // the upload stopped
    kExitRegistry = 7,      // a registry store error
};

// What an exit status means, in a few words (the --json summary gives it).
inline const char* ExitCodeMeaning(int status)
{
    switch (status) {
    case kExitOk: return "success";
    case kExitIncomplete: return "upload completed, but files were skipped";
    case kExitUsage: return "wrong usage";
    case kExitLoadFailed: return "the configuration could not be loaded";
    case kExitRefused: return "the change was refused";
    case kExitSaveFailed: return "the configuration could not be saved";
    case kExitStopped: return "the upload stopped";
    case kExitRegistry: return "a registry store error";
    }
    return "unknown";
}

}  // namespace cli
