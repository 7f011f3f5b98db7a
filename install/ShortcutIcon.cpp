#include "install/ShortcutIcon.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

std::uint32_t Crc32(const std::string& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::string& bytes)
{
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : bytes) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& png, const char* type, const std::string& data)
{
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type) + data;
    png += typed;
    PutBigEndian(png, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string& raw)
{
    std::string out = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + size == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(size & 0xFF);
        out += static_cast<char>(size >> 8);
        out += static_cast<char>(~size & 0xFF);
        out += static_cast<char>((~size >> 8) & 0xFF);
        out.append(raw, at, size);
        at += size;
    } while (at < raw.size());
    PutBigEndian(out, Adler32(raw));
    return out;
}

bool InCircle(int x, int y, int cx, int cy, int r)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The application icon: a blue disc (the site) with a white arrow going up
// (the upload).
std::uint32_t ApplicationPixel(int x, int y)
{
    if (!InCircle(x, y, 15, 15, 14))
        return 0;
    const bool shaft = x >= 13 && x <= 17 && y >= 12 && y <= 24;
    const bool head = y >= 5 && y <= 12 && std::abs(x - 15) <= y - 5;
    if (shaft || head)
        return 0xFFFFFFFFu;
    return InCircle(x, y, 15, 15, 12) ? 0x2A6FD0FFu : 0x1B3F80FFu;
}

// The uninstall icon: the application icon crossed out in red.
std::uint32_t UninstallPixel(int x, int y)
{
    if (std::abs(x - y) <= 2 || std::abs(x + y - 31) <= 2)
        return 0xD02020FFu;
    return ApplicationPixel(x, y);
}

}  // namespace

std::vector<std::uint32_t> ShortcutIconPixels(int iconIndex)
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kShortcutIconSize; ++y)
        for (int x = 0; x < kShortcutIconSize; ++x)
            pixels.push_back(iconIndex == 3 ? UninstallPixel(x, y) : ApplicationPixel(x, y));
    return pixels;
}

std::string EncodePng(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter type none
        for (int x = 0; x < width; ++x)
            PutBigEndian(raw, pixels[static_cast<std::size_t>(y * width + x)]);
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    return png;
}

std::string ShortcutIconPng(int iconIndex)
{
    return EncodePng(ShortcutIconPixels(iconIndex), kShortcutIconSize, kShortcutIconSize);
}
