#include "cli/TerminalMessageBox.h"
#include "cli/UploadArguments.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using cli::QuestionPolicy;

TEST(UploadArguments, ParsesTheFlagsInAnyOrder)
{
    struct Case {
        cli::Args args;
        QuestionPolicy questions;
        bool passive, dryRun, noSave;
    };
    const Case cases[] = {
        {{"site.tsn"}, QuestionPolicy::Ask, false, false, false},
        {{"--yes", "site.tsn"}, QuestionPolicy::AllYes, false, false, false},
        {{"site.tsn", "--no", "--passive"}, QuestionPolicy::AllNo, true, false, false},
        {{"--dry-run", "--no-save", "site.tsn", "--yes", "--yes"}, QuestionPolicy::AllYes, false, true, true},
        {{"--", "-odd.tsn"}, QuestionPolicy::Ask, false, false, false},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto parsed = cli::ParseUploadArguments(c.args, error);
        ASSERT_TRUE(parsed) << error;
        EXPECT_EQ(parsed->questions, c.questions);
        EXPECT_EQ(parsed->passive, c.passive);
        EXPECT_EQ(parsed->dryRun, c.dryRun);
        EXPECT_EQ(parsed->noSave, c.noSave);
    }
    std::string error;
    EXPECT_EQ(cli::ParseUploadArguments({"--", "-odd.tsn"}, error)->path, "-odd.tsn");
}

TEST(UploadArguments, VerbosityAndJsonTakeTheirShortAndLongForms)
{
    using cli::Verbosity;
    const std::tuple<cli::Args, Verbosity, bool> cases[] = {
        {{"site.tsn"}, Verbosity::normal, false},
        {{"-v", "site.tsn"}, Verbosity::verbose, false},
        {{"site.tsn", "--verbose", "-v"}, Verbosity::verbose, false},
        {{"-q", "site.tsn", "--json"}, Verbosity::quiet, true},
        {{"--quiet", "site.tsn"}, Verbosity::quiet, false},
    };
    for (const auto& [args, verbosity, json] : cases) {
        std::string error;
        const auto parsed = cli::ParseUploadArguments(args, error);
        ASSERT_TRUE(parsed) << error;
        EXPECT_EQ(parsed->verbosity, verbosity) << args[0];
        EXPECT_EQ(parsed->json, json) << args[0];
    }
}

TEST(UploadArguments, RefusesWhatCannotBeMeant)
{
    const std::pair<cli::Args, const char*> cases[] = {
        {{}, "missing argument"},
        {{"--yes"}, "missing argument"},
        {{"a.tsn", "b.tsn"}, "unexpected argument 'b.tsn'"},
        {{"a.tsn", "--yes", "--no"}, "--yes and --no cannot be given together"},
        {{"a.tsn", "--force"}, "unknown option '--force'"},
        {{"-odd.tsn"}, "unknown option '-odd.tsn'"},
        {{"a.tsn", "-v", "--quiet"}, "--verbose and --quiet cannot be given together"},
        {{"a.tsn", "-vq"}, "unknown option '-vq'"},
        {{"a.tsn", "-y"}, "unknown option '-y'"},
    };
    for (const auto& [args, message] : cases) {
        std::string error;
        EXPECT_FALSE(cli::ParseUploadArguments(args, error));
        EXPECT_EQ(error, message);
    }
}

TEST(TerminalAnswers, OnlyYesMeansYes)
{
    const std::pair<const char*, bool> cases[] = {
        {"y\n", true}, {"YES\n", true}, {"  yes  \n", true}, {"n\n", false},
        {"\n", false}, {"yess\n", false}, {"", false},
    };
    for (const auto& [input, yes] : cases) {
        std::FILE* in = fmemopen(const_cast<char*>(input), std::char_traits<char>::length(input), "r");
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(cli::ReadYesAnswer(in), yes) << input;
        std::fclose(in);
    }
}

}  // namespace
