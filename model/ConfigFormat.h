#pragma once
// Constants of the configuration file (.tsn).

#include "platform/framework/Types.h"

// The first four bytes of a file, "KTSN", read as a little-endian DWORD.
constexpr DWORD CONFIG_MAGIC = 0x4E53544B;
// The version the writer writes; the reader accepts 0 to this.
constexpr DWORD CONFIG_VERSION = 9;
