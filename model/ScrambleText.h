#pragma once
// The reversible transform that hides passwords in the configuration file.
// Works on blocks of four bytes (the last may be shorter): each block, read
// as a little-endian number padded with zero bytes, gets the block key
// key * (1 + 4k) added (scramble) or subtracted (unscramble), modulo 2^32,
// and only as many bytes as the block had are kept. The result has the
// text's length; any byte value, 0 included, can occur in it.

#include "platform/framework/Types.h"

#include <string>

constexpr DWORD PASSWORD_KEY = 0x2B7D4E19;

enum class ScrambleDirection { scramble, unscramble };

std::string ScrambleText(const std::string& text, DWORD key, ScrambleDirection direction);
