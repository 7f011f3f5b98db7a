#pragma once
// A certificate's fingerprint as the user sees and types it: the SHA-256 of
// the leaf certificate's DER as 32 upper-case hex pairs joined by colons
// ("3A:0F:...:C2"). Pure.

#include <array>
#include <optional>
#include <string>

namespace ftp {

using Sha256 = std::array<unsigned char, 32>;

std::string FormatFingerprint(const Sha256& digest);

// The canonical form of text (any case, surrounding blanks ignored), or none
// when text is not 32 colon-separated hex pairs.
std::optional<std::string> ParseFingerprint(const std::string& text);

}  // namespace ftp
