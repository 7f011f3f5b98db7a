#include "res/VersionText.h"

#include <gtest/gtest.h>

#include <optional>

TEST(VersionText, MadeUpBlocks)
{
    struct Case {
        const char* name;
        unsigned a, b, c, d;
        const char* text;
    };
    const Case cases[] = {
        {"plain", 1, 0, 0, 0, "1.00"},
        {"this program", 1, 1, 0, 2, "1.01"},
        {"two-digit minor", 2, 10, 0, 0, "2.10"},
        {"three-digit minor", 1, 123, 0, 0, "1.123"},
        {"two-digit major", 10, 0, 0, 0, "10.00"},
        {"beta 3", 1, 1, 3, 0, "1.01 Beta 3"},
        {"beta 1, fourth ignored", 1, 1, 1, 77, "1.01 Beta 1"},
        {"beta 99", 1, 1, 99, 0, "1.01 Beta 99"},
        {"100 is no beta", 1, 1, 100, 0, "1.01"},
        {"largest numbers", 65535, 65535, 65535, 65535, "65535.65535"},
    };
    for (const Case& c : cases) {
        VersionBlock block;
        block.fileVersionMS = VersionHalf(c.a, c.b);
        block.fileVersionLS = VersionHalf(c.c, c.d);
        // Only the file version counts, never the product version.
        block.productVersionMS = VersionHalf(9, 9);
        block.productVersionLS = VersionHalf(5, 0);
        EXPECT_EQ(GetVersionText(&block), c.text) << c.name;
    }
    EXPECT_EQ(GetVersionText(nullptr), "") << "missing block";
}

TEST(VersionText, ProgramBlockComesFromTheVersionFile)
{
    const VersionBlock* block = ProgramVersionBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->fileVersionMS, 0x00010001u);
    EXPECT_EQ(block->fileVersionLS, 0x00000002u);
    EXPECT_EQ(block->productVersionMS, block->fileVersionMS);
    EXPECT_EQ(block->productVersionLS, block->fileVersionLS);
    EXPECT_EQ(block->fileOS, 0x4u);
    EXPECT_EQ(block->fileType, 1u);
    for (const char* name : {"FileDescription", "InternalName", "ProductName"})
        EXPECT_EQ(block->String(name), "Tessarine") << name;
    EXPECT_EQ(block->String("FileVersion"), "1, 1, 0, 2");
    EXPECT_EQ(block->String("ProductVersion"), "1, 1, 0, 2");
    EXPECT_EQ(block->String("OriginalFilename"), "Tessup.EXE");
    for (const char* name : {"CompanyName", "LegalCopyright", "LegalTrademarks", "Comments"})
        EXPECT_FALSE(block->String(name).empty()) << name;
    EXPECT_EQ(block->String("NoSuchName"), "");
    EXPECT_EQ(GetVersionText(), "1.01");
}
