#pragma once
// The framework's fixed-width integer names, as the file format and the
// document use them.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
