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

}  // namespace cli
