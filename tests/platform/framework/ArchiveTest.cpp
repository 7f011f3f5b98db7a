#include "platform/framework/Archive.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

using test::Hex;
using test::Le16;
using test::Le32;
using test::ToHex;

namespace {

std::string Stored(const std::string& text)
{
    CArchive ar;
    ar << text;
    return ar.GetStoredBytes();
}

std::string Loaded(const std::string& bytes)
{
    CArchive ar(bytes);
    std::string text;
    ar >> text;
    EXPECT_EQ(ar.GetRemaining(), 0u) << "prefix consumed the wrong number of bytes";
    return text;
}

struct PrefixCase {
    std::size_t length;
    std::string prefix;
};

}  // namespace

TEST(Archive, NumbersAreLittleEndian)
{
    CArchive ar;
    ar << static_cast<BYTE>(0x7F) << static_cast<WORD>(0x1234) << static_cast<DWORD>(0xA1B2C3D4) << CTime(-2);
    EXPECT_EQ(ToHex(ar.GetStoredBytes()), "7F 34 12 D4 C3 B2 A1 FE FF FF FF");

    CArchive in(ar.GetStoredBytes());
    BYTE b = 0;
    WORD w = 0;
    DWORD d = 0;
    CTime t;
    in >> b >> w >> d >> t;
    EXPECT_EQ(b, 0x7F);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(d, 0xA1B2C3D4u);
    EXPECT_EQ(t.GetTime(), -2);
    EXPECT_TRUE(ar.IsStoring());
    EXPECT_FALSE(in.IsStoring());
}

TEST(Archive, StringPrefixFormsAtTheirBoundaries)
{
    const PrefixCase cases[] = {
        {0, Hex("00")},
        {254, Hex("FE")},
        {255, Hex("FF") + Le16(255)},
        {65533, Hex("FF") + Le16(65533)},
        {65534, Hex("FF FF FF") + Le32(65534)},
        {65535, Hex("FF FF FF") + Le32(65535)},
        {70000, Hex("FF FF FF") + Le32(70000)},
    };
    for (const PrefixCase& c : cases) {
        const std::string text(c.length, 'x');
        const std::string bytes = Stored(text);
        EXPECT_EQ(ToHex(bytes.substr(0, c.prefix.size())), ToHex(c.prefix)) << "length " << c.length;
        EXPECT_EQ(bytes.size(), c.prefix.size() + c.length) << "length " << c.length;
        EXPECT_EQ(Loaded(bytes), text) << "length " << c.length;
    }
}

TEST(Archive, ReadsLongerPrefixFormsThanTheWriterChooses)
{
    // A short text announced with a WORD or DWORD length is still that text.
    EXPECT_EQ(Loaded(Hex("FF") + Le16(3) + "abc"), "abc");
    EXPECT_EQ(Loaded(Hex("FF FF FF") + Le32(2) + "ab"), "ab");
    EXPECT_EQ(Loaded(Hex("FF FF FF") + Le32(0)), "");
}

TEST(Archive, WideStringsAreConvertedToUtf8)
{
    struct WideCase {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const WideCase cases[] = {
        {"three ASCII units", Hex("FF FE FF 03 41 00 42 00 43 00"), "ABC"},
        {"Latin and BMP", Hex("FF FE FF 02 E9 00 AC 20"), "\xC3\xA9\xE2\x82\xAC"},
        {"surrogate pair", Hex("FF FE FF 02 3D D8 00 DE"), "\xF0\x9F\x98\x80"},
        {"lone high surrogate", Hex("FF FE FF 02 3D D8 41 00"), "\xEF\xBF\xBD" "A"},
        {"lone low surrogate", Hex("FF FE FF 01 00 DE"), "\xEF\xBF\xBD"},
        {"high surrogate at the end", Hex("FF FE FF 02 41 00 00 D8"), "A\xEF\xBF\xBD"},
        {"reversed pair", Hex("FF FE FF 02 00 DE 3D D8"), "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"zero unit kept", Hex("FF FE FF 02 41 00 00 00"), std::string("A\0", 2)},
        {"WORD length", Hex("FF FE FF FF") + Le16(1) + Hex("5A 00"), "Z"},
        {"DWORD length", Hex("FF FE FF FF FF FF") + Le32(1) + Hex("5A 00"), "Z"},
    };
    for (const WideCase& c : cases)
        EXPECT_EQ(ToHex(Loaded(c.bytes)), ToHex(c.text)) << c.name;
}

TEST(Archive, InsideTheWideFormTheWord0xFFFEIsALength)
{
    // 65534 units of U+6161, three UTF-8 bytes each.
    const std::string bytes = Hex("FF FE FF FF FE FF") + std::string(2 * 0xFFFE, 'a');
    std::string expected;
    for (int i = 0; i < 0xFFFE; ++i)
        expected += "\xE6\x85\xA1";
    EXPECT_EQ(Loaded(bytes), expected);
}

TEST(Archive, ShortDataRaisesEndOfFile)
{
    const std::string cases[] = {
        "",
        Hex("05") + "abcd",                // text one byte short
        Hex("FF 01"),                      // WORD length cut
        Hex("FF FF FF 02 00"),             // DWORD length cut
        Hex("FF FF FF") + Le32(0xFFFFFFFF) + "tiny",  // 4 GiB claimed
        Hex("FF FE FF 02 41 00 42"),       // wide text one byte short
        Hex("FF FE FF FF FF") + Le32(0x80000000),  // wide length whose bytes overflow 32 bits
    };
    for (const std::string& bytes : cases) {
        CArchive ar(bytes);
        try {
            std::string text;
            ar >> text;
            ADD_FAILURE() << "no exception for " << ToHex(bytes);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << ToHex(bytes);
        }
    }
}

TEST(Archive, ShortNumberRaisesEndOfFileAndConsumesNothing)
{
    const std::string bytes = Hex("01 02 03");
    CArchive ar(bytes);
    DWORD d = 0;
    EXPECT_THROW(ar >> d, CArchiveException);
    EXPECT_EQ(ar.GetRemaining(), 3u);
    WORD w = 0;
    ar >> w;
    EXPECT_EQ(w, 0x0201);
}

TEST(Archive, EnsureCanHoldComparesWithWhatRemains)
{
    const std::string bytes(40, '\0');
    CArchive ar(bytes);
    EXPECT_NO_THROW(ar.EnsureCanHold(10, 4));
    EXPECT_THROW(ar.EnsureCanHold(11, 4), CArchiveException);
    EXPECT_THROW(ar.EnsureCanHold(0xFFFFFFFFu, 20), CArchiveException);
    EXPECT_NO_THROW(ar.EnsureCanHold(0, 20));
}
