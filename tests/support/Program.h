#pragma once
// Runs a program from a test: to its end with its output captured
// (RunProgram, RunTool), or in the background so that the test can signal it
// half way (Program). Standard input is /dev/null unless input is given.

#include "tests/support/TempDir.h"

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace test {

// Environment changes: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

struct RunOptions {
    std::optional<std::string> input;  // standard input's bytes; /dev/null when none
    EnvChanges env;
    std::string cwd;  // empty: ours
    // Runs the program as this user id (group id the same, no supplementary
    // groups), switched to after its standard files are opened. Needs root.
    std::optional<uid_t> user;
};

struct ProgramResult {
    int status = -1;  // exit status; 128 + signal when killed
    std::string out;  // standard output
    std::string err;  // standard error
};

class Program {
public:
    // Starts argv[0] (a path) with argv; throws std::runtime_error when it
    // cannot. A program still running when this goes is killed.
    explicit Program(const std::vector<std::string>& argv, const RunOptions& options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Blocks until the program ends; its exit status (128 + signal when killed).
    int Wait();
    void Signal(int signal);
    // What it wrote so far.
    std::string Stdout() const { return ReadFile(m_dir.file("out")); }
    std::string Stderr() const { return ReadFile(m_dir.file("err")); }

private:
    TempDir m_dir{"tessarine-program"};
    pid_t m_pid = -1;
    int m_status = -1;
};

// Starts argv and blocks until it ends.
ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options = {});

// The built tool's path (from TESSARINE_DIST_DIR); throws when it is unset.
std::string ToolPath();
// The built tool with args, run to its end.
ProgramResult RunTool(const std::vector<std::string>& args, const RunOptions& options = {});
// The arguments that start the built tool with args (for Program).
std::vector<std::string> ToolCommand(const std::vector<std::string>& args);

// Waits until path exists (a detached process writes it by renaming a
// finished file), for at most a generous bound; true when it appeared.
bool WaitForFile(const std::string& path);

}  // namespace test
