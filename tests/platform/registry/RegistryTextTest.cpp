#include "platform/registry/RegistryText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

RegistryKeyRecord Key(std::vector<std::string> path, std::vector<RegistryValue> values)
{
    return {HKEY_CURRENT_USER, std::move(path), std::move(values)};
}

const std::vector<RegistryKeyRecord>& EveryType()
{
    static const std::vector<RegistryKeyRecord> keys = {
        Key({"Exported"}, {}),
        Key({"Exported", "Orvik"},
            {
                {"", REG_SZ, std::string("default\0", 8)},
                {"binary", REG_BINARY, std::string("\x00\x7f\xff", 3)},
                {"dword", REG_DWORD, std::string("\x2a\x00\x00\x80", 4)},
                {"empty binary", REG_BINARY, std::string()},
                {"empty text", REG_SZ, std::string("\0", 1)},
                {"expand", REG_EXPAND_SZ, std::string("%HOME%\0", 7)},
                {"multi", REG_MULTI_SZ, std::string("a\0b c\0\0", 7)},
                {"odd dword", REG_DWORD, std::string("\x01\x02", 2)},
                {"other type", 0xb, std::string("12345678", 8)},
                {"quote\"and\\slash", REG_SZ, std::string("C:\\\"x\"\0", 7)},
                {"text", REG_SZ, std::string("Tessarine 1.1\0", 14)},
                {"text with line feed", REG_SZ, std::string("a\nb\0", 4)},
                {"text without zero", REG_SZ, std::string("abc", 3)},
                {"two zeros", REG_SZ, std::string("a\0b\0", 4)},
            }),
    };
    return keys;
}

TEST(RegistryText, FormatsEachTypeInItsForm)
{
    const std::string text = FormatRegistryText(EveryType());
    for (const char* line : {
             "REGEDIT4\n\n[HKEY_CURRENT_USER\\Exported]\n\n[HKEY_CURRENT_USER\\Exported\\Orvik]\n",
             "\n@=\"default\"\n",
             "\n\"binary\"=hex:00,7f,ff\n",
             "\n\"dword\"=dword:8000002a\n",
             "\n\"empty binary\"=hex:\n",
             "\n\"empty text\"=\"\"\n",
             "\n\"expand\"=hex(2):25,48,4f,4d,45,25,00\n",
             "\n\"multi\"=hex(7):61,00,62,20,63,00,00\n",
             "\n\"odd dword\"=hex(4):01,02\n",
             "\n\"other type\"=hex(b):31,32,33,34,35,36,37,38\n",
             "\n\"quote\\\"and\\\\slash\"=\"C:\\\\\\\"x\\\"\"\n",
             "\n\"text with line feed\"=hex(1):61,0a,62,00\n",
             "\n\"text without zero\"=hex(1):61,62,63\n",
             "\n\"two zeros\"=hex(1):61,00,62,00\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
}

TEST(RegistryText, EveryTypeComesBackThroughTheStore)
{
    test::TempDir dir("tessarine-registry");
    RegistryStore store(dir.file("registry.sqlite3"));
    std::vector<RegistryEdit> edits;
    RegistryTextError error;
    ASSERT_TRUE(ParseRegistryText(FormatRegistryText(EveryType()), edits, error)) << error.message;
    ASSERT_EQ(store.Apply(edits), ERROR_SUCCESS);
    std::vector<RegistryKeyRecord> keys;
    ASSERT_EQ(store.ExportTree(HKEY_CURRENT_USER, "Exported", keys), ERROR_SUCCESS);
    ASSERT_EQ(keys.size(), EveryType().size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(keys[k].path, EveryType()[k].path);
        ASSERT_EQ(keys[k].values.size(), EveryType()[k].values.size());
        for (std::size_t v = 0; v < keys[k].values.size(); ++v) {
            const RegistryValue& got = keys[k].values[v];
            const RegistryValue& want = EveryType()[k].values[v];
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.type, want.type) << want.name;
            EXPECT_EQ(got.data, want.data) << want.name;
        }
    }
}

TEST(RegistryText, ReadsContinuedLinesCommentsDeletionsAndShortRoots)
{
    const std::string text =
        "REGEDIT4\r\n; a comment\r\n[HKCU\\A]\r\n\"b\"=hex:01,\\\r\n  02,03\r\n\"d\"=dword:2a\r\n"
        "\"gone\"=-\r\n[-HKLM\\Old]\r\n";
    std::vector<RegistryEdit> edits;
    RegistryTextError error;
    ASSERT_TRUE(ParseRegistryText(text, edits, error)) << error.line << ": " << error.message;
    ASSERT_EQ(edits.size(), 5u);
    EXPECT_EQ(edits[0].kind, RegistryEdit::CreateKey);
    EXPECT_EQ(edits[0].keyPath, "A");
    EXPECT_EQ(edits[1].value.data, "\x01\x02\x03");
    EXPECT_EQ(edits[2].value.data, std::string("\x2a\0\0\0", 4));
    EXPECT_EQ(edits[3].kind, RegistryEdit::DeleteValue);
    EXPECT_EQ(edits[4].kind, RegistryEdit::DeleteKey);
    EXPECT_EQ(edits[4].root, HKEY_LOCAL_MACHINE);
}

TEST(RegistryText, NamesTheLineOfAFault)
{
    const struct {
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"", 1, "REGEDIT4"},
        {"Windows Registry Editor Version 5.00\n", 1, "REGEDIT4"},
        {"REGEDIT4\n\"a\"=\"b\"\n", 2, "must follow a key header"},
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", 2, "unknown root key"},
        {"REGEDIT4\n[HKCU\\A\\\\B]\n", 2, "empty key name"},
        {"REGEDIT4\n[HKCU\\A\n", 2, "must end with ]"},
        {"REGEDIT4\n[-HKCU]\n", 2, "root key cannot be deleted"},
        {"REGEDIT4\n[HKCU\\A]\n\n\"a\"=dword:123456789\n", 4, "1 to 8 hex digits"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=hex:1,zz\n", 3, "bad hex bytes"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=hex(q):00\n", 3, "bad value type"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=\"unterminated\n", 3, "bad text value"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=\"x\" trailing\n", 3, "bad text value"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=\"C:\\x\"\n", 3, "bad text value"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"\n", 3, "= expected"},
        {"REGEDIT4\n[HKCU\\A]\nname=\"x\"\n", 3, "must start with"},
        {"REGEDIT4\n[HKCU\\A]\n\"a\"=hex:01,\\\n02\n\"b\"=12\n", 5, "unknown value form"},
    };
    for (const auto& c : cases) {
        std::vector<RegistryEdit> edits;
        RegistryTextError error;
        EXPECT_FALSE(ParseRegistryText(c.text, edits, error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.text << " gave " << error.message;
    }
}

}  // namespace
