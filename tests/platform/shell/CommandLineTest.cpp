#include "platform/shell/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAsTheOriginalPlatformDid)
{
    const struct {
        const char* line;
        const char* program;
        Args arguments;
    } cases[] = {
        {"Tessup /install", "Tessup", {"/install"}},
        {"  \tTessup   a\t b ", "Tessup", {"a", "b"}},
        {"\"/opt/my tools/Tessup\" /installstep2", "/opt/my tools/Tessup", {"/installstep2"}},
        // No probing of longer prefixes: the first blank ends the program.
        {"/opt/my tools/Tessup x", "/opt/my", {"tools/Tessup", "x"}},
        {"\"unterminated program", "unterminated program", {}},
        {"\"a\"b c", "a", {"b", "c"}},
        {"p \"abc\" d e", "p", {"abc", "d", "e"}},
        {"p a\\\\\\b d\"e f\"g h", "p", {"a\\\\\\b", "de fg", "h"}},
        {"p a\\\\\\\"b c d", "p", {"a\\\"b", "c", "d"}},
        {"p a\\\\\\\\\"b c\" d e", "p", {"a\\\\b c", "d", "e"}},
        {"p \"\" x", "p", {"", "x"}},
        {"p \"a\"\"b\" c", "p", {"a\"b", "c"}},
        {"p \"trailing\\\\\"", "p", {"trailing\\"}},
        {"p C:\\dir\\", "p", {"C:\\dir\\"}},
        {"", "", {}},
    };
    for (const auto& c : cases) {
        const SplitCommand split = SplitCommandLine(c.line);
        EXPECT_EQ(split.program, c.program) << c.line;
        EXPECT_EQ(split.arguments, c.arguments) << c.line;
    }
}

TEST(CommandLine, QuotedArgumentsSplitBackExactly)
{
    const Args cases[] = {
        {"Tessup", "/install"},
        {"/opt/my tools/Tessup", "/home/me/My Site/site.tsn"},
        {"p", "", "a b", "tab\there", "line\nfeed", "quote\"inside", "\"", "\\"},
        {"p", "ends with\\", "two\\\\", "back\\\"quote", "\\\\\"", "C:\\Program Files\\"},
        {"p", "plain", "x\\y"},
    };
    for (const Args& argv : cases) {
        const std::optional<std::string> line = BuildCommandLine(argv);
        ASSERT_TRUE(line.has_value());
        const SplitCommand split = SplitCommandLine(*line);
        EXPECT_EQ(split.program, argv[0]) << *line;
        EXPECT_EQ(split.arguments, Args(argv.begin() + 1, argv.end())) << *line;
    }
    EXPECT_EQ(QuoteArgument("plain"), "plain");
    EXPECT_EQ(QuoteArgument("a b\\"), "\"a b\\\\\"");
    EXPECT_FALSE(BuildCommandLine({"bad\"program"}).has_value());
    EXPECT_FALSE(BuildCommandLine({}).has_value());
}

}  // namespace
