#pragma once
// Runs the built `tessarine` as RunTool does, but with input as its standard
// input (what a user pipes in, such as a password line). Blocks until it ends.

#include "tests/cli/RunTool.h"

#include <string>
#include <vector>

namespace test {

ToolResult RunToolWithInput(const std::vector<std::string>& args, const std::string& input);

}  // namespace test
