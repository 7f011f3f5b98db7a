#pragma once
// The single-byte code page 1252, the ANSI code page of the licence's
// escapes.

#include <cstdint>

// The Unicode code point of byte b in code page 1252; the five bytes the
// code page leaves undefined map to themselves, as the platform maps them.
char32_t CodePage1252ToUnicode(unsigned char b);
