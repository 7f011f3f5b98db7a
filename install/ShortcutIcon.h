#pragma once
// The pictures of the shortcuts, as PNG files: the program's icon groups by
// index (0 the application icon, 3 the uninstall icon; any other index gives
// the application icon). Drawn here so that the installer needs no toolkit.

#include <cstdint>
#include <string>
#include <vector>

// 32 x 32 pixels, RGBA, row by row.
std::vector<std::uint32_t> ShortcutIconPixels(int iconIndex);

// A PNG file (8-bit RGBA, no interlace, stored deflate blocks) of width x
// height pixels given as 0xRRGGBBAA.
std::string EncodePng(const std::vector<std::uint32_t>& pixels, int width, int height);

// EncodePng of ShortcutIconPixels.
std::string ShortcutIconPng(int iconIndex);

constexpr int kShortcutIconSize = 32;
