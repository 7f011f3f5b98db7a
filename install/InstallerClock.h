#pragma once
// Time as the installer's windows use it: a millisecond tick count and a
// pause, so that tests can let the designed delays pass at once.

#include <cstdint>

class IInstallerClock {
public:
    virtual ~IInstallerClock() = default;
    // Milliseconds since some fixed start; wraps like the platform's count.
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

class SystemInstallerClock : public IInstallerClock {
public:
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

// The clock the windows use unless given another.
IInstallerClock& DefaultInstallerClock();

// The pause that keeps a message window up for at least minimumMs after
// it was shown at shownAt: none when the clock went back (a wrapped count)
// or the time has passed.
std::uint32_t RemainingShowTime(std::uint32_t shownAt, std::uint32_t now, std::uint32_t minimumMs = 500);
