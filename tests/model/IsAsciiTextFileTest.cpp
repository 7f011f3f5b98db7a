#include "model/TessarineDoc.h"
#include "platform/framework/WaitCursor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

class CountingWaitCursor : public IWaitCursorHandler {
public:
    CountingWaitCursor() : m_previous(SetWaitCursorHandler(this)) {}
    ~CountingWaitCursor() override { SetWaitCursorHandler(m_previous); }
    void BeginWaitCursor() override { ++depth, ++begun; }
    void EndWaitCursor() override { --depth; }
    int depth = 0;
    int begun = 0;

private:
    IWaitCursorHandler* m_previous;
};

struct Case {
    const char* name;      // file name in the test folder
    bool exists;
    std::string content;
    bool ascii;
    bool readsContent;     // the wait cursor shows while the content is read
};

}  // namespace

TEST(IsAsciiTextFile, ExtensionFirstThenContent)
{
    const std::string text4k(4096, 'a');
    const std::string late = std::string(5000, 'a') + "\xE9";
    const Case cases[] = {
        {"index.HTML", false, "", true, false},     // by name alone
        {"a.htm", false, "", true, false},
        {"b.ShTmL", false, "", true, false},
        {"notes.txt", true, "\x01\xFF", true, false},  // content not looked at
        {"photo.JPG", true, "plain", false, false},
        {"x.gif", false, "", false, false},
        {"x.zip", false, "", false, false},
        {"readme", true, "plain text\r\n\tand more\x7F", true, true},
        {"zero", true, std::string("ab\0cd", 5), false, true},
        {"latin1", true, "caf\xE9", false, true},
        {"empty.dat", true, "", true, true},
        {"missing.dat", false, "", false, true},
        {"page.html.bak", true, "<p>", true, true},
        {"archive.tar.zip", false, "", false, false},
        {".htm", false, "", true, false},           // the whole name is the extension
        {"htm", true, "\x80", false, true},
        {"block.dat", true, text4k, true, true},
        {"late.dat", true, late, false, true},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        if (c.exists)
            test::WriteFile(path, c.content);
        CountingWaitCursor cursor;
        EXPECT_EQ(CTessarineDoc::IsAsciiTextFile(path), c.ascii) << c.name;
        EXPECT_EQ(cursor.begun, c.readsContent ? 1 : 0) << c.name;
        EXPECT_EQ(cursor.depth, 0) << c.name;
    }
}

TEST(IsAsciiTextFile, TheExtensionIsTakenAfterTheLastSlash)
{
    test::TempDir dir;
    test::WriteFile(dir.file("site.htm/logo"), "\x89PNG");
    EXPECT_FALSE(CTessarineDoc::IsAsciiTextFile(dir.file("site.htm/logo")));
    test::WriteFile(dir.file("img.gif/readme"), "hello");
    EXPECT_TRUE(CTessarineDoc::IsAsciiTextFile(dir.file("img.gif/readme")));
}

TEST(IsAsciiTextFile, FoldersFifosAndDevicesAreBinaryWithoutWaiting)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& path : {dir.file("folder"), dir.file("fifo"), std::string("/dev/zero"),
                                   std::string("/dev/null"), std::string("/dev/tty")}) {
        CountingWaitCursor cursor;
        EXPECT_FALSE(CTessarineDoc::IsAsciiTextFile(path)) << path;
        EXPECT_EQ(cursor.depth, 0) << path;
    }
}
