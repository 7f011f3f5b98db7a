#pragma once
// UTF-8 validity, for printing stored texts as they are where they are valid.

#include <cstddef>
#include <string>
#include <string_view>

// The length of the valid UTF-8 sequence that starts at text[pos] (1 to 4),
// or 0 when the bytes there are not one (a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF, a cut sequence).
std::size_t ValidUtf8Length(std::string_view text, std::size_t pos);

// text for a terminal: valid UTF-8 as it stands, control characters and
// bytes that are not valid UTF-8 as \xNN.
std::string PrintableText(std::string_view text);
