#pragma once
// Builders for byte strings written out by hand in tests, so that expected
// file contents do not come from the code under test.

#include <cstdint>
#include <string>

namespace test {

// "4B 54 0a" -> the three bytes; spaces are ignored.
std::string Hex(const std::string& hex);
// Little-endian encodings.
std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);
// A string with the one-byte length prefix (text shorter than 255 bytes).
std::string Short(const std::string& text);
// "4B 54 0A" (upper case, one space between bytes), for readable failures.
std::string ToHex(const std::string& bytes);

}  // namespace test
