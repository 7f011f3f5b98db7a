// The licence reader: our own License.rtf, the pieces of the format it
// uses, plain text, and input meant to break it.

#include "install/RtfReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string Source(const std::string& name)
{
    return std::string(std::getenv("TESSARINE_SOURCE_DIR")) + "/" + name;
}

const RichTextRun* FindRun(const RichText& text, const std::string& part)
{
    for (const RichTextParagraph& paragraph : text.paragraphs)
        for (const RichTextRun& run : paragraph.runs)
            if (run.text.find(part) != std::string::npos)
                return &run;
    return nullptr;
}

}  // namespace

TEST(RtfReader, ReadsOurLicence)
{
    const RichText licence = ReadRichText(test::ReadFile(Source("res/License.rtf")));
    const std::string plain = licence.PlainText();
    ASSERT_GT(licence.paragraphs.size(), 20u);
    EXPECT_EQ(plain.substr(0, plain.find('\n')), "Tessarine Licence Agreement");
    // Nothing of the format shows: no control words, no font table, no braces.
    for (const char* hidden : {"\\", "{", "}", "Arial", "Times New Roman", "generator", "fs20"})
        EXPECT_EQ(plain.find(hidden), std::string::npos) << hidden;
    EXPECT_NE(plain.find("Version 1.1 \u2014 Orvik"), std::string::npos);
    EXPECT_NE(plain.find("(\u201cthe program\u201d)"), std::string::npos);
    EXPECT_NE(plain.find("Copyright \u00a9 Orvik."), std::string::npos);
    const RichTextRun* heading = FindRun(licence, "Tessarine Licence Agreement");
    ASSERT_TRUE(heading);
    EXPECT_TRUE(heading->bold);
    EXPECT_EQ(heading->halfPoints, 28);
    const RichTextRun* never = FindRun(licence, "never");
    ASSERT_TRUE(never);
    EXPECT_TRUE(never->italic);
    EXPECT_EQ(never->text, "never");
    const RichTextRun* body = FindRun(licence, "Orvik grants you");
    ASSERT_TRUE(body);
    EXPECT_FALSE(body->bold || body->italic);
    EXPECT_EQ(body->halfPoints, 20);
}

TEST(RtfReader, ReadsTheFormatsPieces)
{
    struct Row {
        const char* name;
        std::string rtf;
        std::vector<RichTextParagraph> paragraphs;
    };
    const auto plain = [](std::string text) { return RichTextRun{std::move(text), false, false, 24}; };
    const Row rows[] = {
        {"groups restore the formatting", "{\\rtf1 a{\\b b{\\i c}d}e}",
         {{{plain("a"), {"b", true, false, 24}, {"c", true, true, 24}, {"d", true, false, 24}, plain("e")}}}},
        {"\\b0 \\i0 \\plain and sizes", "{\\rtf1\\fs40\\b\\i x\\b0 y\\plain z\\fs0 w}",
         {{{{"x", true, true, 40}, {"y", false, true, 40}, plain("zw")}}}},
        {"paragraphs, an empty one, line break, tab", "{\\rtf1 one\\par\\par two\\line three\\tab four\\par}",
         {{{plain("one")}}, {}, {{plain("two\u2028three\tfour")}}}},
        {"escaped symbols", "{\\rtf1 \\\\ \\{ \\} a\\~b\\-c\\_d}", {{{plain("\\ { } a\u00a0bc\u2011d")}}}},
        {"code page 1252 escapes", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\'93q\\'94 \\'81}",
         {{{plain("caf\u00e9 \u20ac \u201cq\u201d \u0081")}}}},
        {"code page 65001 escapes, broken ones as 1252", "{\\rtf1\\ansicpg65001 \\'c3\\'a9 \\'e9!}",
         {{{plain("\u00e9 \u00e9!")}}}},
        {"\\u with its stand-in skipped", "{\\rtf1 a\\u8364?b\\uc2\\u8364\\'80\\'80c\\uc0\\u-4064 d}",
         {{{plain("a\u20acb\u20acc\uf020d")}}}},
        {"a surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", {{{plain("\U0001f600")}}}},
        {"a lone surrogate", "{\\rtf1\\u-10179?x}", {{{plain("\ufffdx")}}}},
        {"a lone second half", "{\\rtf1\\u-8704?x}", {{{plain("\ufffdx")}}}},
        {"hidden destinations", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\*\\unknown junk{x}}"
                                "{\\info{\\title T}}{\\pict 0102}{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}ok}",
         {{{plain("linkok")}}}},
        {"binary data skipped", "{\\rtf1 a\\bin3 {}}b}", {{{plain("ab")}}}},
        {"symbol words", "{\\rtf1\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}",
         {{{plain("\u2014\u2013\u2018\u2019\u201c\u201d\u2022")}}}},
        {"table cells and rows", "{\\rtf1 a\\cell b\\row c}", {{{plain("a\tb")}}, {{plain("c")}}}},
        {"line feeds in the source are no text", "{\\rtf1 a\r\nb\\\nc}", {{{plain("ab")}}, {{plain("c")}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ReadRichText(row.rtf).paragraphs, row.paragraphs);
    }
}

TEST(RtfReader, PlainTextShowsAsItsText)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"lines", "line one\r\nline two\n\nfour", "line one\nline two\n\nfour"},
        {"braces and backslashes stay", "{\\b not rtf}", "{\\b not rtf}"},
        {"UTF-8 kept, other bytes read as 1252", "caf\xc3\xa9 caf\xe9 \x93q\x94", "caf\u00e9 caf\u00e9 \u201cq\u201d"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RichText text = ReadRichText(row.bytes);
        EXPECT_EQ(text.PlainText(), row.text);
        for (const RichTextParagraph& paragraph : text.paragraphs)
            for (const RichTextRun& run : paragraph.runs)
                EXPECT_FALSE(run.bold || run.italic);
    }
}

TEST(RtfReader, HostileInputEndsQuicklyWithWhatItCanRead)
{
    struct Row {
        const char* name;
        std::string rtf;
        std::string text;
    };
    const Row rows[] = {
        {"closing braces first", "{\\rtf1 a}}}}b}}", "ab"},
        {"never closed", "{\\rtf1 {\\b a{\\i b", "ab"},
        {"huge numbers", "{\\rtf1\\fs99999999999999999999999 a\\u99999999999999999 b\\bin99999999999}", "a\uca00"},
        {"negative size", "{\\rtf1\\fs-5 a}", "a"},
        {"deep nesting", "{\\rtf1" + std::string(1'000'000, '{') + "x" + std::string(1'000'000, '}') + "y}", "xy"},
        {"deep nesting never closed", "{\\rtf1" + std::string(1'000'000, '{') + "\\b x", "x"},
        {"a very long control word", "{\\rtf1\\" + std::string(100'000, 'b') + " a}", "a"},
        {"cut escapes", "{\\rtf1 a\\'4", "a"},
        {"cut after a backslash", "{\\rtf1 a\\", "a"},
        {"NUL bytes", std::string("{\\rtf1 a\0b}", 11), std::string("a\0b", 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ReadRichText(row.rtf).PlainText(), row.text);
    }
    // Sizes stay within what a text view can draw.
    const RichText huge = ReadRichText("{\\rtf1\\fs99999999 a}");
    EXPECT_EQ(huge.paragraphs.at(0).runs.at(0).halfPoints, 400);
    EXPECT_EQ(ReadRichText("{\\rtf1\\fs1 a}").paragraphs.at(0).runs.at(0).halfPoints, 2);
}
