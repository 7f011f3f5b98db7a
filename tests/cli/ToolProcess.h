#pragma once
// Runs build/dist/tessarine in the background, with standard input from
// /dev/null and its output captured in files, so that a test can signal it
// half way (tests/cli/RunTool.h runs it to its end).

#include "tests/support/TempDir.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace test {

class ToolProcess {
public:
    // Starts tessarine with args; throws std::runtime_error when it cannot.
    explicit ToolProcess(const std::vector<std::string>& args);
    ~ToolProcess();

    // Waits for the end; the exit status (128 + signal when killed).
    int Wait();
    void Signal(int signal);
    std::string Stdout() const { return ReadFile(m_dir.file("out")); }
    std::string Stderr() const { return ReadFile(m_dir.file("err")); }

private:
    TempDir m_dir{"tessarine-tool"};
    pid_t m_pid = -1;
    int m_status = -1;
};

// Lines of text that end with suffix.
int CountLinesEndingWith(const std::string& text, const std::string& suffix);

}  // namespace test
