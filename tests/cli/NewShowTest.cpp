// The tool's contract for `new` and `show`: files, output and exit statuses.

#include "tests/support/Program.h"
#include "tests/support/Bytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using test::Hex;
using test::Le16;
using test::Le32;
using test::RunTool;
using test::Short;
using test::ProgramResult;

namespace {

const std::string kEmptyConfiguration = Hex("4B 54 53 4E 09 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

unsigned int Mode(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Version 9: one server with password "abcde" and one file of odd bytes.
std::string OddConfiguration(const std::string& localFile)
{
    return "KTSN" + Le32(9) + Short("w\\x") + Le32(4) + Short("/b/") + Le32(1) + Short("ftp.\"q\".org") +
           Short("caf\xE9") + Hex("05 7A B0 E0 8F E2") + Short("") + Le32(1) + Short(localFile) +
           Short("docs") + Le16(0x0003) + Le32(0xFFFFFFFF) + Le32(7) + Le32(5) + Le32(0x80000000);
}

}  // namespace

TEST(ToolNew, WritesTheEmptyConfigurationForItsOwnerOnly)
{
    test::TempDir dir;
    const std::string path = dir.file("site.tsn");
    const ProgramResult r = RunTool({"new", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ToHex(test::ReadFile(path)), test::ToHex(kEmptyConfiguration));
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_EQ(r.out, "");
}

TEST(ToolNew, LeavesAnExistingFileWholeUnlessForced)
{
    test::TempDir dir;
    const std::string path = dir.file("site.tsn");
    test::WriteFile(path, "precious");
    ProgramResult r = RunTool({"new", path});
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find(path), std::string::npos);
    EXPECT_EQ(test::ReadFile(path), "precious");
    r = RunTool({"new", "--force", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(path), kEmptyConfiguration);
}

TEST(ToolNew, AFileThatCannotBeWrittenIsExitFiveNamingIt)
{
    test::TempDir dir;
    test::WriteFile(dir.file("plain"), "x");
    const std::string path = dir.file("plain/site.tsn");
    const ProgramResult r = RunTool({"new", path});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, path + " cannot be reached: a part of its path is not a folder.\n");
}

TEST(ToolUsage, WrongUsageIsExitTwoWithTheSynopsis)
{
    const std::vector<std::vector<std::string>> cases = {
        {"new"}, {"new", "a.tsn", "b.tsn"}, {"show"}, {"show", "a.tsn", "--jsn"},
        {"show", "a.tsn", "--show-passwords"}, {"frobnicate"}, {},
    };
    for (const auto& args : cases) {
        const ProgramResult r = RunTool(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("tessarine"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_NE(RunTool({"show"}).err.find("Usage: tessarine show SITE.tsn"), std::string::npos);
}

TEST(ToolUsage, HelpAndVersion)
{
    const ProgramResult help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("tessarine new SITE.tsn"), std::string::npos);
    EXPECT_NE(help.out.find("tessarine show SITE.tsn"), std::string::npos);
    const ProgramResult version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tessarine 1.01\n");
}

TEST(ToolShow, JsonHoldsEveryFieldInDocumentOrder)
{
    test::TempDir dir;
    const std::string path = dir.file("odd.tsn");
    const std::string missing = dir.file("gone.html");
    test::WriteFile(path, OddConfiguration(missing));
    const ProgramResult r = RunTool({"show", path, "--json", "--show-passwords"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\n"
              "  \"formatVersion\": 9,\n"
              "  \"lastWebFolder\": \"w\\\\x\",\n"
              "  \"lastFilterIndex\": 4,\n"
              "  \"lastBrowseFolder\": \"/b/\",\n"
              "  \"servers\": [\n"
              "    {\n"
              "      \"index\": 0,\n"
              "      \"serverName\": \"ftp.\\\"q\\\".org\",\n"
              "      \"tls\": null,\n"
              "      \"userName\": \"caf\\u00E9\",\n"
              "      \"baseFolder\": \"\",\n"
              "      \"password\": \"abcde\"\n"
              "    }\n"
              "  ],\n"
              "  \"files\": [\n"
              "    {\n"
              "      \"index\": 0,\n"
              "      \"fileName\": \"" + missing + "\",\n"
              "      \"webFolder\": \"docs\",\n"
              "      \"flags\": 2,\n"
              "      \"type\": \"ASCII\",\n"
              "      \"timeLocal\": -1,\n"
              "      \"timeRemote\": 7,\n"
              "      \"localSize\": 5,\n"
              "      \"remoteSize\": 2147483648,\n"
              "      \"status\": \"Error opening file\"\n"
              "    }\n"
              "  ]\n"
              "}\n");
    EXPECT_EQ(r.err, "");
}

TEST(ToolShow, PasswordsOnlyWhenAskedFor)
{
    test::TempDir dir;
    const std::string path = dir.file("odd.tsn");
    test::WriteFile(path, OddConfiguration(dir.file("gone.html")));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", path}, std::vector<std::string>{"show", path, "--json"}}) {
        const ProgramResult r = RunTool(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.find("abcde"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("password"), std::string::npos) << r.out;
    }
    const ProgramResult text = RunTool({"show", path});
    EXPECT_NE(text.out.find("ftp.\"q\".org"), std::string::npos);
    EXPECT_NE(text.out.find("Error opening file"), std::string::npos);
    EXPECT_NE(text.out.find("<root>"), std::string::npos);
}

TEST(ToolShow, StatusAndVersionOfOlderAndEmptyFiles)
{
    test::TempDir dir;
    test::WriteFile(dir.file("page.txt"), "hello");
    const std::string v2 = dir.file("v2.tsn");
    test::WriteFile(v2, "KTSN" + Le32(2) + Le32(0) + Le32(1) + Short(dir.file("page.txt")) + Short(""));
    ProgramResult r = RunTool({"show", v2, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"formatVersion\": 2,"), std::string::npos);
    EXPECT_NE(r.out.find("\"type\": \"ASCII\""), std::string::npos);
    EXPECT_NE(r.out.find("\"status\": \"New file\""), std::string::npos);

    const std::string empty = dir.file("empty.tsn");
    test::WriteFile(empty, "");
    r = RunTool({"show", empty, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"formatVersion\": null,"), std::string::npos);
}

TEST(ToolShow, AFileThatDoesNotLoadIsExitThreeWithTheMessage)
{
    test::TempDir dir;
    test::WriteFile(dir.file("foreign.tsn"), "GIF89a and more");
    test::WriteFile(dir.file("future.tsn"), "KTSN" + Le32(10));
    test::WriteFile(dir.file("cut.tsn"), kEmptyConfiguration.substr(0, 21));
    struct Case {
        std::string path;
        std::string err;
    };
    const Case cases[] = {
        // The designed texts after the tool's name and the file's; a file
        // error names the file already.
        {dir.file("foreign.tsn"),
         "tessarine: " + dir.file("foreign.tsn") + ": This file is not a Tessarine file or the file is corrupt.\n"},
        {dir.file("future.tsn"),
         "tessarine: " + dir.file("future.tsn") +
             ": This file was saved using a future version Tessarine or the file is corrupt. "
             "Please obtain an update to open this file.\n"},
        {dir.file("cut.tsn"), "tessarine: " + dir.file("cut.tsn") + ": Unexpected file format.\n"},
        {dir.file("missing.tsn"), "tessarine: " + dir.file("missing.tsn") + " was not found.\n"},
        {dir.path().string(), "tessarine: " + dir.path().string() + " is a folder, not a file.\n"},
    };
    for (const Case& c : cases) {
        const ProgramResult r = RunTool({"show", c.path, "--json"});
        EXPECT_EQ(r.status, 3) << c.path;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(test::ReadFile(dir.file("foreign.tsn")), "GIF89a and more");
}
