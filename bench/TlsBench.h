#pragma once
// upload_bench --tls: ours beside lftp and curl against a vsftpd speaking
// FTP over TLS (see TlsBench.cpp for the options).

#include <string>

namespace bench {

// tool: the full path of our `tessarine` program. Returns the exit status.
int RunTlsBench(int argc, char** argv, const std::string& tool);

}  // namespace bench
