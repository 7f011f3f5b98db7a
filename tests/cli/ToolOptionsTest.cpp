// Every command's --help, its option errors and "--"; and what the tool
// prints of names that came from a file: control characters escaped.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using test::ProgramResult;
using test::RunTool;

namespace {

const char* const kCommands[] = {"new",      "show",      "add-server",  "edit-server", "remove-server", "add-file",
                                 "add-tree", "edit-file", "remove-file", "registry",    "upload"};

class ToolOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::current_path(dir.path());
        ASSERT_EQ(RunTool({"new", "site.tsn"}).status, 0);
        test::WriteFile("page.html", "<p>\n");
        test::WriteFile("-x", "a file whose name starts with a dash\n");
    }
    std::size_t FileCount()
    {
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        EXPECT_EQ(OpenDocumentFile(doc, "site.tsn"), OpenOutcome::opened);
        return doc.m_files.size();
    }
    test::CurrentDirGuard restore;
    test::TempDir dir;
};

}  // namespace

TEST_F(ToolOptionsTest, EveryCommandAnswersHelpAndRefusesUnknownOptions)
{
    for (const char* command : kCommands) {
        SCOPED_TRACE(command);
        for (const char* help : {"--help", "-h"}) {
            // Help wins wherever it stands before "--", even after other arguments.
            const ProgramResult r = RunTool({command, "site.tsn", help});
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out.rfind(std::string("Usage: tessarine ") + command, 0), 0u) << r.out;
            EXPECT_NE(r.out.find("-h, --help"), std::string::npos);
            EXPECT_EQ(r.err, "");
        }
        for (const char* unknown : {"--frobnicate", "-x"}) {
            const ProgramResult r = RunTool({command, "site.tsn", unknown, "1"});
            EXPECT_EQ(r.status, 2) << unknown << ": " << r.err;
            EXPECT_NE(r.err.find(std::string("unknown option '") + unknown + "'"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(std::string("Usage: tessarine ") + command), std::string::npos);
        }
    }
    const ProgramResult options = RunTool({"add-server", "--help"});
    EXPECT_NE(options.out.find("--password-stdin"), std::string::npos);
    EXPECT_NE(options.out.find("--base-folder FOLDER"), std::string::npos);
    EXPECT_EQ(FileCount(), 0u);
}

TEST_F(ToolOptionsTest, DoubleDashEndsTheOptionsAndNamesAreChecked)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // a part of standard error
    };
    const Case cases[] = {
        {{"add-file", "site.tsn", "--", "-x"}, 0, ""},
        {{"add-file", "site.tsn", "--", "--help"}, 4, "--help\n\nThe local file does not exist."},  // a name, not help
        {{"new", ""}, 2, "Usage: tessarine new"},
        {{"new", "--", ""}, 2, "Usage: tessarine new"},
        {{"add-file", "missing.tsn", "page.html"}, 3, "'tessarine new missing.tsn' makes an empty configuration."},
        {{"remove-file", "gone/site.tsn", "0"}, 3, "'tessarine new gone/site.tsn'"},
        {{"show", "missing.tsn"}, 3, "tessarine: missing.tsn was not found.\n"},
    };
    for (const Case& c : cases) {
        const ProgramResult r = RunTool(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // A file loaded for show names itself too, but show does not hint at new.
    EXPECT_EQ(RunTool({"show", "missing.tsn"}).err.find("tessarine new"), std::string::npos);
    EXPECT_EQ(FileCount(), 1u);
    EXPECT_FALSE(fs::exists("missing.tsn"));
}

// Names from a file reach the terminal with their control characters
// escaped: C0, DEL and the UTF-8 form of C1 (U+009B is a terminal's CSI);
// printable UTF-8 stays as it is.
TEST_F(ToolOptionsTest, NamesFromAFileCannotSteerTheTerminal)
{
    const std::string evil = "\x1b]0;owned\x07" "caf\xC3\xA9\x7f\xC2\x9B" "2J";
    const std::string shown = "\\x1b]0;owned\\x07caf\xC3\xA9\\x7f\\xc2\\x9b2J";
    CTessarineDoc doc;
    test::ScriptedMessageBox box;
    ASSERT_TRUE(doc.AddServer(evil, "anna", "", ""));
    ASSERT_TRUE(doc.AddFile(dir.file(evil), "", 0));
    ASSERT_TRUE(SaveDocumentFile(doc, "site.tsn"));

    // The duplicate message of the program names no file; the load message
    // of a file whose name holds the bytes does.
    const ProgramResult dup = RunTool({"add-server", "site.tsn", "--server", evil, "--user", "anna"});
    EXPECT_EQ(dup.status, 4);
    EXPECT_EQ(dup.err, "The web site FTP server already exists.\n");

    const std::string badName = "bad\x1b[31m.tsn";
    test::WriteFile(badName, "not a configuration");
    const ProgramResult load = RunTool({"show", badName});
    EXPECT_EQ(load.status, 3);
    EXPECT_EQ(load.err.find('\x1b'), std::string::npos) << load.err;
    EXPECT_NE(load.err.find("bad\\x1b[31m.tsn: This file is not a Tessarine file"), std::string::npos) << load.err;

    const ProgramResult listing = RunTool({"show", "site.tsn"});
    EXPECT_EQ(listing.status, 0) << listing.err;
    for (const char raw : {'\x1b', '\x07', '\x7f'})
        EXPECT_EQ(listing.out.find(raw), std::string::npos) << int(raw);
    EXPECT_EQ(listing.out.find("\xC2\x9B"), std::string::npos);
    EXPECT_NE(listing.out.find("caf\xC3\xA9"), std::string::npos);
}
