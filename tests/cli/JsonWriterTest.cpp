#include "cli/JsonWriter.h"
#include "cli/Utf8.h"

#include <gtest/gtest.h>

TEST(JsonWriter, TextsAreTheStoredBytes)
{
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {"\n\r\t\x01\x1F", "\"\\n\\r\\t\\u0001\\u001F\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xF0\x9F\x98\x80\""},  // valid UTF-8 as it stands
        {"caf\xE9", "\"caf\\u00E9\""},                 // Latin-1 byte
        {"\xC3", "\"\\u00C3\""},                        // cut sequence
        {"\xC0\xAF", "\"\\u00C0\\u00AF\""},             // overlong
        {"\xED\xA0\x80", "\"\\u00ED\\u00A0\\u0080\""},  // encoded surrogate
        {"\xF4\x90\x80\x80", "\"\\u00F4\\u0090\\u0080\\u0080\""},  // above U+10FFFF
        {"\x80x", "\"\\u0080x\""},                      // stray continuation byte
        {"\x7F", "\"\x7F\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonWriter::Quote(c.bytes), c.json);
}

TEST(JsonWriter, NestsObjectsAndArraysWithCommas)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("a");
    json.Number(-1);
    json.Key("list");
    json.BeginArray();
    json.Number(1);
    json.String("x");
    json.EndArray();
    json.Key("none");
    json.BeginArray();
    json.EndArray();
    json.Key("v");
    json.Null();
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\n  \"a\": -1,\n  \"list\": [\n    1,\n    \"x\"\n  ],\n  \"none\": [],\n  \"v\": null\n}\n");
}

TEST(PrintableText, EscapesWhatATerminalWouldMisshow)
{
    EXPECT_EQ(PrintableText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(PrintableText("a\x1B[2Jb\xE9\\"), "a\\x1B[2Jb\\xE9\\\\");
}
