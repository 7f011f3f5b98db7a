#pragma once
// Runs the built `tessarine` (from TESSARINE_DIST_DIR) as a shell would:
// with arguments, a given standard input and the test's current folder, and
// collects its exit status and both outputs. Blocks until it ends.

#include <string>
#include <vector>

namespace test {

struct ToolResult {
    int status = -1;  // the exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace test
