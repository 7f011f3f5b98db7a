// The latency proxy on its own, for trying a client by hand:
//   build-bench/bench/latency_proxy LISTEN_HOST TARGET_HOST ONE_WAY_MS PORT [FIRST-LAST]...
// runs until interrupted.

#include "bench/LatencyProxy.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: latency_proxy LISTEN_HOST TARGET_HOST ONE_WAY_MS PORT [FIRST-LAST]...\n");
        return 2;
    }
    std::vector<std::uint16_t> ports;
    for (int i = 4; i < argc; ++i) {
        const std::string range = argv[i];
        const std::size_t dash = range.find('-');
        const int first = std::atoi(range.substr(0, dash).c_str());
        const int last = dash == std::string::npos ? first : std::atoi(range.substr(dash + 1).c_str());
        for (int p = first; p <= last; ++p)
            ports.push_back(static_cast<std::uint16_t>(p));
    }
    bench::LatencyProxy proxy(argv[1], argv[2], ports,
                              std::chrono::microseconds(static_cast<long>(std::atof(argv[3]) * 1000)));
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    int signal = 0;
    sigwait(&set, &signal);
    return 0;
}
