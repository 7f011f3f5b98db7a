#pragma once
// UTF-8 validity, for printing stored texts as they are where they are valid.

#include <cstddef>
#include <string>
#include <string_view>

// The length of the valid UTF-8 sequence that starts at text[pos] (1 to 4),
// or 0 when the bytes there are not one (a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF, a cut sequence).
std::size_t ValidUtf8Length(std::string_view text, std::size_t pos);

// text for a terminal: valid UTF-8 as it stands, control characters (C0,
// DEL and the UTF-8 encoded C1 range U+0080 to U+009F) and bytes that are
// not valid UTF-8 as \xNN, "\" as "\\" (so that the form reads back).
std::string PrintableText(std::string_view text);

enum class LineBreaks { keep, escape };

// A text from a file or a server inside a message: every byte as it is but
// control characters (C0, DEL, and U+0080 to U+009F encoded in UTF-8), which
// become \x1b style escapes, so that no byte from outside can steer the
// terminal. Line feed and tab are kept unless breaks is escape (a line of
// its own per file, which scripts read line by line).
std::string EscapeControls(std::string_view text, LineBreaks breaks = LineBreaks::keep);
