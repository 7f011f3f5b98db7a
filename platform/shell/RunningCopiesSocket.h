#pragma once
// Local-socket plumbing shared by the running-copies service and its
// client: bounded reads and writes on one connection. A time-out of -1
// waits without limit.

#include <string>

namespace running_copies {

enum class ReadEnd { Complete, Closed, TimedOut, TooLong, Failed };

// Writes all of data; false on a failure or time-out.
bool WriteAll(int fd, const std::string& data, int timeoutMs);

// Reads into out until complete(out) holds, the peer closes, maxBytes are
// exceeded or timeoutMs pass without the reply being complete.
template <typename Complete>
ReadEnd ReadUntil(int fd, std::string& out, std::size_t maxBytes, int timeoutMs, Complete complete);

// Milliseconds left of a time-out that began at startMs (-1 stays -1).
int Remaining(long long startMs, int timeoutMs);
long long NowMs();
// Waits until fd is readable; false on time-out or failure.
bool WaitReadable(int fd, int timeoutMs);
// One read; the byte count, 0 at the end, -1 on failure.
long ReadSome(int fd, char* buffer, unsigned long size);

template <typename Complete>
ReadEnd ReadUntil(int fd, std::string& out, std::size_t maxBytes, int timeoutMs, Complete complete)
{
    const long long start = NowMs();
    char buffer[4096];
    while (!complete(out)) {
        if (out.size() > maxBytes)
            return ReadEnd::TooLong;
        const int left = Remaining(start, timeoutMs);
        if (left == 0 || !WaitReadable(fd, left))
            return left == 0 ? ReadEnd::TimedOut : ReadEnd::TimedOut;
        const long got = ReadSome(fd, buffer, sizeof buffer);
        if (got == 0)
            return ReadEnd::Closed;
        if (got < 0)
            return ReadEnd::Failed;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return ReadEnd::Complete;
}

}  // namespace running_copies
