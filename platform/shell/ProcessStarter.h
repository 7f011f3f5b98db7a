#pragma once
// Starting programs as independent processes, and finding them.

#include <string>
#include <vector>

struct ProcessOutcome {
    bool started = false;  // the program was executed (exec succeeded)
    int error = 0;         // the errno that prevented it, when not started
    bool exited = false;   // it ended within the wait
    int exitCode = -1;     // its exit status when exited; -1 when ended by a signal
};

// Starts the program file at path with argv (argv[0] included) and the
// caller's environment, in currentDirectory (empty: the caller's), in a
// session of its own, with no open descriptors but 0 to 2 and every signal
// at its default. The new process is never a child of the caller: an
// intermediate process starts it and ends, so the system reaps it and no
// zombie is left and no SIGCHLD handling is needed. Blocks until the program
// was executed or failed to, and then up to waitMilliseconds more for it to
// end (0: no waiting); a program still running then runs on.
ProcessOutcome StartDetachedProcess(const std::string& path, const std::vector<std::string>& argv,
                                    const std::string& currentDirectory, int waitMilliseconds = 0);

// The first folder/name (folders with or without a trailing "/"; empty
// folders skipped) that is a regular file the caller may execute; empty
// when none is.
std::string FindProgram(const std::string& name, const std::vector<std::string>& folders);

// The folders of PATH in order (empty entries skipped); the system's default
// search path when PATH is not set.
std::vector<std::string> SearchPathFolders();
