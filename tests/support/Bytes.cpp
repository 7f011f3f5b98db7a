#include "tests/support/Bytes.h"

#include <stdexcept>

namespace test {

std::string Hex(const std::string& hex)
{
    std::string digits;
    for (char c : hex)
        if (c != ' ' && c != '\n')
            digits.push_back(c);
    if (digits.size() % 2 != 0)
        throw std::invalid_argument("odd number of hex digits");
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Le16(std::uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value)
{
    return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) + Le16(static_cast<std::uint16_t>(value >> 16));
}

std::string Short(const std::string& text)
{
    if (text.size() >= 255)
        throw std::invalid_argument("Short() takes texts under 255 bytes");
    return std::string(1, static_cast<char>(text.size())) + text;
}

std::string ToHex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char byte : bytes) {
        if (!out.empty())
            out.push_back(' ');
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0xF]);
    }
    return out;
}

}  // namespace test
