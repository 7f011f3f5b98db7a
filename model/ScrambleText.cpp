#include "model/ScrambleText.h"

#include <algorithm>

std::string ScrambleText(const std::string& text, DWORD key, ScrambleDirection direction)
{
    std::string result(text.size(), '\0');
    DWORD blockKey = key;
    for (std::size_t start = 0; start < text.size(); start += 4) {
        const std::size_t length = std::min<std::size_t>(4, text.size() - start);
        DWORD value = 0;
        for (std::size_t i = 0; i < length; ++i)
            value |= static_cast<DWORD>(static_cast<unsigned char>(text[start + i])) << (8 * i);
        value = direction == ScrambleDirection::scramble ? value + blockKey : value - blockKey;
        for (std::size_t i = 0; i < length; ++i)
            result[start + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        blockKey += 4 * key;  // key * (1 + 4k), modulo 2^32
    }
    return result;
}
