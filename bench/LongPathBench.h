#pragma once
// upload_bench --long-path: the three tools through a LatencyProxy in front
// of vsftpd (see LongPathBench.cpp for the options).

#include <string>

namespace bench {

// tool: the full path of our `tessarine` program. Returns the exit status.
int RunLongPathBench(int argc, char** argv, const std::string& tool);

}  // namespace bench
