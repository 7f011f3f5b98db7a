#include "install/InstallerClock.h"

#include <chrono>
#include <thread>

std::uint32_t SystemInstallerClock::TickCount()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemInstallerClock::Sleep(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

IInstallerClock& DefaultInstallerClock()
{
    static SystemInstallerClock clock;
    return clock;
}

std::uint32_t RemainingShowTime(std::uint32_t shownAt, std::uint32_t now, std::uint32_t minimumMs)
{
    if (now < shownAt || now - shownAt > minimumMs)
        return 0;
    return minimumMs - (now - shownAt);
}
