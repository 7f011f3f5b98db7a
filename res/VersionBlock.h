#pragma once
// The program's version block: the fixed part (file and product version as
// two 32-bit halves each, flags, operating system, file type) and the string
// table (U.S. English, code page 0x04B0). The block compiled into the
// program comes from res/Version.cmake.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct VersionBlock {
    std::uint32_t fileVersionMS = 0;     // major << 16 | minor
    std::uint32_t fileVersionLS = 0;     // third << 16 | fourth
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0x4;          // 32-bit Windows
    std::uint32_t fileType = 1;          // application
    std::vector<std::pair<std::string, std::string>> strings;

    // The value of a string table entry; empty when it is absent.
    std::string String(const std::string& name) const;
};

// Packs four version numbers into a block's two halves.
constexpr std::uint32_t VersionHalf(unsigned high, unsigned low)
{
    return (static_cast<std::uint32_t>(high & 0xFFFF) << 16) | (low & 0xFFFF);
}

// The block compiled into this program (never null).
const VersionBlock* ProgramVersionBlock();
