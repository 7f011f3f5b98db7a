#include "platform/shell/RunningCopiesSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace running_copies {

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Remaining(long long startMs, int timeoutMs)
{
    if (timeoutMs < 0)
        return -1;
    const long long left = startMs + timeoutMs - NowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitReadable(int fd, int timeoutMs)
{
    pollfd entry{fd, POLLIN, 0};
    for (;;) {
        const int ready = poll(&entry, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0;
    }
}

long ReadSome(int fd, char* buffer, unsigned long size)
{
    for (;;) {
        const ssize_t got = recv(fd, buffer, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == ECONNRESET)
            return 0;
        return got;
    }
}

bool WriteAll(int fd, const std::string& data, int timeoutMs)
{
    const long long start = NowMs();
    std::size_t sent = 0;
    while (sent < data.size()) {
        pollfd entry{fd, POLLOUT, 0};
        const int left = Remaining(start, timeoutMs);
        const int ready = poll(&entry, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t wrote = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (wrote < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (wrote < 0)
            return false;
        sent += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace running_copies
