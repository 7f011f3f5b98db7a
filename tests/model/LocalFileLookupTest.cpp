#include "model/LocalFileLookup.h"

#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(MatchesFilePattern, OnlyStarAndQuestionMarkAreWildcards)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},           {"*", "index.htm", true},   {"*.htm", "a.htm", true},
        {"*.htm", "a.html", false}, {"a*b*c", "aXXbYc", true},  {"a*b", "ab", true},
        {"a*b", "abba", false},     {"*a", "bbba", true},       {"**", "x", true},
        {"?", "", false},           {"a?c", "abc", true},       {"a?c", "ac", false},
        {"[a]", "a", false},        {"[a]", "[a]", true},       {"photo[1].jpg", "photo1.jpg", false},
        {"a\\b", "a\\b", true},     {"A.HTM", "a.htm", false},  {"*.*", "README", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesFilePattern(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

class FindLocalFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"b.htm", "a.htm", "photo[1].jpg", "sub/x.txt", "other/photo1.jpg"})
            test::WriteFile(dir.file(name), "x");
        fs::create_directory(dir.path() / "0.htm");  // a folder that sorts first
        fs::create_symlink(dir.path() / "gone", dir.path() / "dangling.htm");
        fs::current_path(dir.path());
    }
    test::CurrentDirGuard restore;  // declared first: restores after dir is gone
    test::TempDir dir;
};

TEST_F(FindLocalFileTest, GivesTheFullPathOfTheFirstFileThatMatches)
{
    const std::string root = dir.str();
    struct Case {
        std::string typed;
        std::string found;  // empty: nothing found
    };
    const Case cases[] = {
        {"b.htm", root + "/b.htm"},
        {"./sub/../b.htm", root + "/b.htm"},
        {root + "/a.htm", root + "/a.htm"},
        {"*.htm", root + "/a.htm"},           // the folder 0.htm is passed over
        {"?.htm", root + "/a.htm"},
        {"photo[1].jpg", root + "/photo[1].jpg"},
        {"other/photo[1].jpg", ""},           // brackets are no wildcard
        {"sub/*", root + "/sub/x.txt"},
        {"*/x.txt", ""},                      // the folder part is literal
        {"A.HTM", ""},                        // names keep their case
        {"0.htm", ""},                        // a folder is no match
        {"sub", ""},
        {"sub/", ""},
        {"dangling.htm", ""},
        {"missing.htm", ""},
        {"", ""},
        {"nofolder/*.htm", ""},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> found = FindLocalFile(c.typed);
        EXPECT_EQ(found.value_or(""), c.found) << "typed '" << c.typed << "'";
    }
}

TEST_F(FindLocalFileTest, ConfirmReplacesTheTextOrTellsTheFileIsMissing)
{
    test::ScriptedMessageBox box;
    std::string field = "b.htm";
    EXPECT_TRUE(ConfirmLocalFileName(field));
    EXPECT_EQ(field, dir.file("b.htm"));
    EXPECT_TRUE(box.shown().empty());

    field = "nothing*.gif";
    EXPECT_FALSE(ConfirmLocalFileName(field));
    EXPECT_EQ(field, "nothing*.gif");
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0],
              (test::ShownMessage{"Tessarine", "nothing*.gif\n\nThe local file does not exist.",
                                  MB_OK | MB_ICONEXCLAMATION}));
}
