#pragma once
// Bits of an entry's m_wFlags.

#include "platform/framework/Types.h"

// The entry is selected for removal; set and consumed within one delete
// operation, so it is never stored. The reader clears it.
constexpr WORD ENTRY_MARKED = 0x0001;
// File entries only: send the file in ASCII transfer mode (clear: binary).
constexpr WORD FILE_ASCII = 0x0002;
