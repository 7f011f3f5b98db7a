#include "model/ScrambleText.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

using test::Hex;
using test::ToHex;

namespace {

std::string Scramble(const std::string& text)
{
    return ScrambleText(text, PASSWORD_KEY, ScrambleDirection::scramble);
}

std::string Unscramble(const std::string& text)
{
    return ScrambleText(text, PASSWORD_KEY, ScrambleDirection::unscramble);
}

}  // namespace

TEST(ScrambleText, KnownVectors)
{
    EXPECT_EQ(ToHex(Scramble("abcde")), "7A B0 E0 8F E2");
    EXPECT_EQ(ToHex(Scramble("zzzzzz")), "93 C8 F7 A5 F7 00");  // a zero byte inside
    EXPECT_EQ(Unscramble(Hex("93 C8 F7 A5 F7 00")), "zzzzzz");
}

TEST(ScrambleText, EveryLengthUpToThreeBlocks)
{
    // Scrambles of the first n bytes of "Pa55w0rd!"; blocks 0, 1 and 2 use
    // the keys K, 5K and 9K.
    const char* expected[] = {
        "",
        "69",
        "69 AF",
        "69 AF B2",
        "69 AF B2 60",
        "69 AF B2 60 F4",
        "69 AF B2 60 F4 B6",
        "69 AF B2 60 F4 B6 E4",
        "69 AF B2 60 F4 B6 E4 3D",
        "69 AF B2 60 F4 B6 E4 3D 02",
    };
    const std::string password = "Pa55w0rd!";
    for (std::size_t n = 0; n <= 9; ++n) {
        const std::string plain = password.substr(0, n);
        EXPECT_EQ(ToHex(Scramble(plain)), expected[n]) << "length " << n;
        EXPECT_EQ(Unscramble(Scramble(plain)), plain) << "length " << n;
    }
}

TEST(ScrambleText, CarriesAndBorrowsInShortBlocksRoundTrip)
{
    for (std::size_t n = 0; n <= 9; ++n) {
        for (char fill : {'\xFF', '\x00', '\x80'}) {
            const std::string plain(n, fill);
            const std::string scrambled = Scramble(plain);
            EXPECT_EQ(scrambled.size(), n);
            EXPECT_EQ(Unscramble(scrambled), plain) << "length " << n << " fill " << int(fill);
        }
    }
}
