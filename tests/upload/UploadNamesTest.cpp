#include "upload/ErrorText.h"
#include "upload/UploadNames.h"

#include <gtest/gtest.h>

namespace {

TEST(UploadNames, TargetFolderTemporaryNameAndShownPath)
{
    struct Case {
        const char* local;
        const char* base;
        const char* web;
        const char* targetFolder;
        const char* targetName;
        const char* temporaryName;
        const char* remotePath;
    };
    const Case cases[] = {
        {"/s/index.html", "", "", "", "index.html", "OrviktsnTemp.html", "index.html"},
        {"/s/index.html", "www", "images/icons", "www/images/icons", "index.html", "OrviktsnTemp.html",
         "www/images/icons/index.html"},
        {"/s/a.gif", "/site/", "", "/site/", "a.gif", "OrviktsnTemp.gif", "/site/a.gif"},
        {"/s/a.gif", "www", "", "www/", "a.gif", "OrviktsnTemp.gif", "www/a.gif"},
        {"/s/a.gif", "", "pics", "pics", "a.gif", "OrviktsnTemp.gif", "pics/a.gif"},
        {"/s/README", "www", "", "www/", "README", "OrviktsnTemp", "www/README"},
        {"/s.d/README", "", "", "", "README", "OrviktsnTemp", "README"},
        {"/s/archive.tar.gz", "", "", "", "archive.tar.gz", "OrviktsnTemp.gz", "archive.tar.gz"},
        {"/s/x.htm", "", "a\\b", "a\\b", "x.htm", "OrviktsnTemp.htm", "a/b/x.htm"},
    };
    for (const Case& c : cases) {
        const UploadNames names = BuildUploadNames(c.local, c.base, c.web);
        EXPECT_EQ(names.targetFolder, c.targetFolder) << c.local << " " << c.base << " " << c.web;
        EXPECT_EQ(names.targetName, c.targetName) << c.local;
        EXPECT_EQ(names.temporaryName, c.temporaryName) << c.local;
        EXPECT_EQ(names.remotePath, c.remotePath) << c.local << " " << c.base << " " << c.web;
    }
    EXPECT_EQ(BuildUploadNames("/s/a.css", "", "").asideName, "OrviktsnOld.css");
}

TEST(UploadNames, FolderLevelsAreCreatedFromTheLoginFolderOrFromTheTop)
{
    using Levels = std::vector<std::string>;
    EXPECT_EQ(FolderLevels("www/images/icons"), (Levels{"www", "www/images", "www/images/icons"}));
    EXPECT_EQ(FolderLevels("www/"), (Levels{"www"}));
    EXPECT_EQ(FolderLevels("/site/"), (Levels{"/site"}));
    EXPECT_EQ(FolderLevels("/site/images"), (Levels{"/site", "/site/images"}));
    EXPECT_EQ(FolderLevels(""), Levels{});
    EXPECT_EQ(FolderLevels("/"), Levels{});
}

TEST(ErrorText, IsCutAt255BytesWhereACharacterBegins)
{
    EXPECT_EQ(CutErrorText("550 Permission denied."), "550 Permission denied.");
    EXPECT_EQ(CutErrorText(std::string(300, 'a')), std::string(255, 'a'));
    // "é" is two bytes: one that would straddle byte 255 is left out whole.
    const std::string straddling = std::string(254, 'a') + "\xC3\xA9" + "tail";
    EXPECT_EQ(CutErrorText(straddling), std::string(254, 'a'));
    const std::string fitting = std::string(253, 'a') + "\xC3\xA9" + "tail";
    EXPECT_EQ(CutErrorText(fitting), std::string(253, 'a') + "\xC3\xA9");
    // A four-byte character across the limit, and bytes that are not UTF-8.
    EXPECT_EQ(CutErrorText(std::string(253, 'a') + "\xF0\x9F\x98\x80"), std::string(253, 'a'));
    EXPECT_EQ(CutErrorText(std::string(300, '\x80')).size(), 255u);
}

}  // namespace
