#pragma once
// The error text of a caught failure as the run shows it: at most 255 bytes
// (the run's 256-byte buffer with its terminator), cut where a UTF-8
// character begins, so a cut never leaves half a character.

#include <string>

constexpr std::size_t kErrorTextLimit = 255;

std::string CutErrorText(const std::string& text, std::size_t limit = kErrorTextLimit);
