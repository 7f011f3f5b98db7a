#pragma once
// The framework's calendar time: a signed 32-bit count of seconds since
// 1 January 1970 00:00 UTC. 0 means "none".

#include <cstdint>

class CTime {
public:
    constexpr CTime(std::int32_t seconds = 0) : m_time(seconds) {}
    constexpr std::int32_t GetTime() const { return m_time; }
    constexpr bool operator==(const CTime&) const = default;

private:
    std::int32_t m_time;
};
