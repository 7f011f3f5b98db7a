#include "platform/shell/DesktopOpener.h"
#include "tests/platform/shell/RecordingOpener.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using test::RecordingOpener;

std::string Script(const test::TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.file(name);
    test::WriteFile(path, "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), 0755);
    return path;
}

TEST(ShellOpen, ChecksALocalPathBeforeAskingTheOpener)
{
    test::TempDir dir("tessarine-shell");
    test::WriteFile(dir.file("page.html"), "<p>");
    test::WriteFile(dir.file("plain"), "x");
    RecordingOpener opener(SE_OPENED);
    EXPECT_EQ(ShellOpen("open", dir.file("missing/page.html")), SE_ERR_PNF);
    EXPECT_EQ(ShellOpen("open", dir.file("plain/page.html")), SE_ERR_PNF);
    EXPECT_EQ(ShellOpen("open", dir.file("missing.html")), SE_ERR_FNF);
    EXPECT_EQ(ShellOpen("open", ""), SE_ERR_FNF);
    EXPECT_TRUE(opener.calls.empty());
    EXPECT_EQ(ShellOpen("open", dir.file("page.html")), SE_OPENED);
    EXPECT_EQ(ShellOpen("", "https://example.invalid/no/such/path"), SE_OPENED);
    EXPECT_EQ(opener.calls, (std::vector<std::string>{"open|" + dir.file("page.html"),
                                                      "|https://example.invalid/no/such/path"}));
}

TEST(XdgOpener, MapsTheOpenersExitStatus)
{
    test::TempDir dir("tessarine-shell");
    const struct {
        const char* body;
        int code;
    } cases[] = {
        {"exit 0", SE_OPENED},
        {"exit 1", 1},
        {"exit 2", SE_ERR_FNF},
        {"exit 3", SE_ERR_NOASSOC},
        {"exit 4", SE_ERR_NOASSOC},
        {"exit 30", 30},
        {"exit 77", SE_ERR_LAST},
        {"kill -9 $$", SE_ERR_LAST},
    };
    for (const auto& c : cases) {
        XdgOpener opener(Script(dir, "opener", c.body));
        EXPECT_EQ(opener.Open("open", "x"), c.code) << c.body;
    }
    EXPECT_EQ(XdgOpener(dir.file("no-such-opener")).Open("open", "x"), SE_ERR_NOASSOC);
    test::WriteFile(dir.file("not-executable"), "#!/bin/sh\n");
    EXPECT_EQ(XdgOpener(dir.file("not-executable")).Open("open", "x"), SE_ERR_NOASSOC);
}

TEST(XdgOpener, PassesTheTargetAndCountsAnOpenerStillRunningAsOpened)
{
    test::TempDir dir("tessarine-shell");
    const std::string record = dir.file("record");
    XdgOpener recording(Script(dir, "opener", "printf '%s|' \"$@\" > '" + record + "'"));
    EXPECT_EQ(recording.Open("open", "a file with spaces.html"), SE_OPENED);
    EXPECT_EQ(test::ReadFile(record), "a file with spaces.html|");
    XdgOpener staying(Script(dir, "staying", "exec sleep 2 </dev/null >/dev/null 2>&1"), 20);
    EXPECT_EQ(staying.Open("open", "x"), SE_OPENED);
}

}  // namespace
