#pragma once
// The single-byte code page 1252 (the ANSI code page of the licence's
// escapes) and UTF-8 output.

#include <cstdint>
#include <string>

// The Unicode code point of byte b in code page 1252; the five bytes the
// code page leaves undefined map to themselves, as the platform maps them.
char32_t CodePage1252ToUnicode(unsigned char b);

// Appends code point c as UTF-8; surrogates and values beyond U+10FFFF
// become U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
