#pragma once
// Conversion of UTF-16 text to the program's 8-bit code page, UTF-8.

#include <string>
#include <string_view>

// bytes holds UTF-16LE code units (an odd last byte is ignored). Paired
// surrogates become one code point; a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// Appends code point cp (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
