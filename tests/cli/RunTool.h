#pragma once
// Runs the built `tessarine` (from TESSARINE_DIST_DIR) with arguments and
// collects its exit status and output, for tests of the tool's contract.

#include <string>
#include <vector>

namespace test {

struct ToolResult {
    int status = -1;   // exit status; -1 when it did not exit normally
    std::string out;   // standard output
    std::string err;   // standard error
};

// The built tool's path (from TESSARINE_DIST_DIR); throws when it is unset.
std::string ToolPath();

// Blocks until the tool ends. Its standard input is /dev/null.
ToolResult RunTool(const std::vector<std::string>& args);

}  // namespace test
