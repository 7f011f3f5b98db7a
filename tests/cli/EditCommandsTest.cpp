// The edit commands of the tool, run as a user runs them from a shell, with
// the results read back from the saved file.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"
#include "upload/RunLock.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using test::RunTool;
using test::ProgramResult;

namespace {

class EditCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::current_path(dir.path());
        Run({"new", "site.tsn"}, 0);
        test::WriteFile("www/index.html", "<html></html>\n");
        test::WriteFile("www/img/logo.gif", "GIF89a");
        test::WriteFile("www/img/photo[1].jpg", "\xFF\xD8");
        test::WriteFile("www/notes", "plain text\n");
        test::WriteFile("www/blob", std::string("a\0b", 3));
    }

    // Runs the tool and expects the status; returns the result for more checks.
    ProgramResult Run(const std::vector<std::string>& args, int status, const std::string& input = "")
    {
        test::RunOptions options;
        if (!input.empty())
            options.input = input;
        ProgramResult result = RunTool(args, options);
        EXPECT_EQ(result.status, status) << args[0] << ": " << result.err;
        return result;
    }
    static void Load(CTessarineDoc& doc, const std::string& path = "site.tsn")
    {
        ASSERT_EQ(OpenDocumentFile(doc, path), OpenOutcome::opened);
    }
    // The site every test starts from: two servers, three files.
    void BuildSite()
    {
        Run({"add-server", "site.tsn", "--server", "ftp.example.com", "--user", "anna", "--password-stdin",
             "--base-folder", "pub\\site"},
            0, "s3cret word\n");
        Run({"add-server", "site.tsn", "--server=backup.example.com", "--user=bert"}, 0);
        Run({"add-file", "site.tsn", "www/index.html", "--web-folder", "www\\pages"}, 0);
        Run({"add-file", "site.tsn", "www/img/*.gif", "--web-folder", "www/img"}, 0);
        Run({"add-file", "site.tsn", "www/img/photo[1].jpg", "--ascii"}, 0);
    }
    std::string Full(const std::string& relative) const { return (dir.path() / relative).string(); }

    test::CurrentDirGuard restore;
    test::TempDir dir;
};

}  // namespace

TEST_F(EditCommandsTest, BuildsASiteFromTheShell)
{
    BuildSite();
    CTessarineDoc doc;
    Load(doc);
    ASSERT_EQ(doc.m_servers.size(), 2u);
    EXPECT_EQ(doc.m_servers[0], (ServerEntry{"ftp.example.com", "anna", "s3cret word", "pub/site", 0}));
    EXPECT_EQ(doc.m_servers[1], (ServerEntry{"backup.example.com", "bert", "", "", 0}));
    ASSERT_EQ(doc.m_files.size(), 3u);
    EXPECT_EQ(doc.m_files[0].m_strFileName, Full("www/index.html"));
    EXPECT_EQ(doc.m_files[0].m_strWebFolder, "www/pages");
    EXPECT_EQ(doc.m_files[0].m_wFlags, FILE_ASCII);  // from the extension
    EXPECT_EQ(doc.m_files[1].m_strFileName, Full("www/img/logo.gif"));
    EXPECT_EQ(doc.m_files[1].m_wFlags, 0);
    EXPECT_EQ(doc.m_files[2].m_strFileName, Full("www/img/photo[1].jpg"));
    EXPECT_EQ(doc.m_files[2].m_strWebFolder, "www/img");  // the last web folder, proposed again
    EXPECT_EQ(doc.m_files[2].m_wFlags, FILE_ASCII);      // as told, whatever the content
    EXPECT_EQ(doc.m_strLastWebFolder, "www/img");
    EXPECT_EQ(doc.m_files[2].m_timeLocal, CTime(0));

    const ProgramResult shown = Run({"show", "site.tsn", "--json"}, 0);
    for (const std::string& part :
         {std::string("\"serverName\": \"backup.example.com\""), std::string("\"baseFolder\": \"pub/site\""),
          "\"fileName\": \"" + Full("www/img/photo[1].jpg") + "\"", std::string("\"status\": \"New file\"")})
        EXPECT_NE(shown.out.find(part), std::string::npos) << part << " in " << shown.out;
    EXPECT_EQ(shown.out.find("s3cret"), std::string::npos);
}

// A TLS scheme is part of the name: stored and shown as written, its mode
// named in the JSON listing (null for plain FTP).
TEST_F(EditCommandsTest, TlsSchemesAreStoredAsWrittenAndNamedInJson)
{
    Run({"add-server", "site.tsn", "--server", "ftpes://ftp.example.com", "--user", "anna"}, 0);
    Run({"add-server", "site.tsn", "--server", "FTPS://[::1]:2990", "--user", "anna"}, 0);
    Run({"add-server", "site.tsn", "--server", "ftp://plain.example.com", "--user", "anna"}, 0);
    Run({"add-server", "site.tsn", "--server", "plain.example.com:2121", "--user", "anna"}, 0);
    Run({"edit-server", "site.tsn", "3", "--server", "ftps://plain.example.com"}, 0);
    const ProgramResult shown = Run({"show", "site.tsn", "--json"}, 0);
    for (const char* part :
         {"\"serverName\": \"ftpes://ftp.example.com\",\n      \"tls\": \"explicit\"",
          "\"serverName\": \"FTPS://[::1]:2990\",\n      \"tls\": \"implicit\"",
          "\"serverName\": \"ftp://plain.example.com\",\n      \"tls\": null",
          "\"serverName\": \"ftps://plain.example.com\",\n      \"tls\": \"implicit\""})
        EXPECT_NE(shown.out.find(part), std::string::npos) << part << " in " << shown.out;
    EXPECT_NE(Run({"show", "site.tsn"}, 0).out.find("  1  FTPS://[::1]:2990\n"), std::string::npos);
}

TEST_F(EditCommandsTest, RefusedChangesLeaveTheFileByteForByte)
{
    BuildSite();
    fs::create_directory("www/folder.html");
    const std::string before = test::ReadFile("site.tsn");
    ASSERT_FALSE(before.empty());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // expected part of standard error
    };
    const Case cases[] = {
        {{"add-server", "site.tsn", "--server", "FTP.Example.COM", "--user", "ANNA", "--password", "other",
          "--base-folder", "PUB/Site"},
         4, "The web site FTP server already exists.\n"},
        {{"add-file", "site.tsn", "www/INDEX.html"}, 4, "www/INDEX.html\n\nThe local file does not exist.\n"},
        {{"add-file", "site.tsn", "www/index.html", "--web-folder", "WWW/Pages"}, 4,
         "The local file to upload already exists.\n"},
        {{"add-file", "site.tsn", "www/folder.html"}, 4, "The local file does not exist."},
        {{"add-file", "site.tsn", "www/img/photo1.jpg"}, 4, "The local file does not exist."},
        {{"edit-server", "site.tsn", "1", "--server", "ftp.example.com", "--user", "anna", "--base-folder",
          "pub/site"},
         4, "The web site FTP server already exists.\n"},
        {{"edit-server", "site.tsn", "0", "--user", ""}, 4, "must not be empty"},
        {{"add-server", "site.tsn", "--server", "", "--user", "x"}, 4, "must not be empty"},
        {{"add-server", "site.tsn", "--server", "sftp://ftp.example.com", "--user", "x"}, 4,
         "tessarine: The server name \"sftp://ftp.example.com\" names SFTP, another protocol"},
        {{"add-server", "site.tsn", "--server", "ftpes://anna@ftp.example.com", "--user", "x"}, 4, "user name"},
        {{"edit-server", "site.tsn", "0", "--server", "ftps://ftp.example.com/www"}, 4, "a path after the host"},
        {{"edit-server", "site.tsn", "1", "--server", "gopher://ftp.example.com"}, 4, "\"gopher://\""},
        {{"edit-file", "site.tsn", "2", "--file", "www/index.html", "--web-folder", "www/pages"}, 4,
         "The local file to upload already exists.\n"},
        {{"edit-file", "site.tsn", "0", "--file", "gone.html"}, 4, "gone.html\n\nThe local file does not exist."},
        {{"remove-server", "site.tsn", "2"}, 2, "no server has the index '2'"},
        {{"remove-file", "site.tsn", "0", "3"}, 2, "no file has the index '3'"},
        {{"remove-file", "site.tsn", "-1"}, 2, ""},
        {{"edit-file", "site.tsn", "9"}, 2, ""},
        {{"edit-server", "site.tsn", "01x"}, 2, ""},
        {{"add-server", "site.tsn", "--server", "s", "--user", "u", "--password", "p", "--password-stdin"}, 2,
         "not both"},
        {{"add-server", "site.tsn", "--server", "s"}, 2, "--user"},
        {{"add-file", "site.tsn", "www/notes", "--ascii", "--binary"}, 2, "not both"},
        {{"add-file", "site.tsn", "www/notes", "--file", "x"}, 2, "unknown option '--file'"},
        {{"add-file", "site.tsn", "www/notes", "--web-folder"}, 2, "needs a value"},
        {{"remove-server", "site.tsn"}, 2, ""},
    };
    for (const Case& c : cases) {
        const ProgramResult result = RunTool(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[0] << " " << c.args[2] << ": " << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << c.args[0] << ": " << result.err;
        EXPECT_EQ(test::ReadFile("site.tsn"), before) << c.args[0] << " " << c.args[2];
    }
}

// An upload run saves the whole configuration at its end: an edit made while
// it runs would be undone, so the edit (and a forced new file) is refused
// until the run has ended. The lock cannot tell who holds it, so the text
// does not guess.
TEST_F(EditCommandsTest, AnEditIsRefusedWhileAnUploadRunHoldsTheFile)
{
    BuildSite();
    const std::string before = test::ReadFile("site.tsn");
    const std::vector<std::vector<std::string>> edits = {
        {"add-server", "site.tsn", "--server", "s", "--user", "u"},
        {"edit-server", "site.tsn", "0", "--user", "carl"},
        {"remove-server", "site.tsn", "1"},
        {"add-file", "site.tsn", "www/notes"},
        {"edit-file", "site.tsn", "0", "--binary"},
        {"remove-file", "site.tsn", "0", "2"},
        {"new", "site.tsn", "--force"},
    };
    {
        CUploadRunLock run;
        ASSERT_EQ(run.Acquire(Full("site.tsn")), CUploadRunLock::Result::Locked);
        for (const std::vector<std::string>& args : edits) {
            const ProgramResult result = RunTool(args);
            EXPECT_EQ(result.status, 4) << args[0] << ": " << result.err;
            const std::string what = args[0] == "new" ? "it was not replaced" : "the " + args[0] + " change was not made";
            EXPECT_EQ(result.err, "tessarine: " + Full("site.tsn") + " is in use by another run or edit; " + what +
                                      ".\nTry again when it has ended.\n");
            EXPECT_EQ(test::ReadFile("site.tsn"), before) << args[0];
        }
    }
    for (const std::vector<std::string>& args : edits)
        Run(args, 0);
    EXPECT_NE(test::ReadFile("site.tsn"), before);
}

TEST_F(EditCommandsTest, EditsChangeOnlyWhatIsGiven)
{
    BuildSite();
    {
        // An upload record, as a run would have left it.
        CTessarineDoc doc;
        Load(doc);
        doc.m_files[1].m_timeLocal = CTime(1'600'000'000);
        doc.m_files[1].m_dwLocalSize = 6;
        test::ScriptedMessageBox quiet;
        ASSERT_TRUE(SaveDocumentFile(doc, "site.tsn"));
    }
    Run({"edit-server", "site.tsn", "0", "--user", "anna2"}, 0);
    Run({"edit-server", "site.tsn", "1", "--password-stdin", "--base-folder", "b\\c"}, 0, "pw\r\n");
    Run({"edit-file", "site.tsn", "1", "--web-folder", "images"}, 0);
    Run({"edit-file", "site.tsn", "0", "--file", "www/notes"}, 0);
    Run({"edit-file", "site.tsn", "2", "--file", "www/blob"}, 0);
    CTessarineDoc doc;
    Load(doc);
    EXPECT_EQ(doc.m_servers[0], (ServerEntry{"ftp.example.com", "anna2", "s3cret word", "pub/site", 0}));
    EXPECT_EQ(doc.m_servers[1], (ServerEntry{"backup.example.com", "bert", "pw", "b/c", 0}));
    EXPECT_EQ(doc.m_files[1].m_strFileName, Full("www/img/logo.gif"));
    EXPECT_EQ(doc.m_files[1].m_strWebFolder, "images");
    EXPECT_EQ(doc.m_files[1].m_wFlags, 0);
    EXPECT_EQ(doc.m_files[1].m_timeLocal, CTime(1'600'000'000));  // an edit keeps the record
    EXPECT_EQ(doc.m_files[1].m_dwLocalSize, 6u);
    EXPECT_EQ(doc.m_files[0].m_strFileName, Full("www/notes"));
    EXPECT_EQ(doc.m_files[0].m_strWebFolder, "www/pages");
    EXPECT_EQ(doc.m_files[0].m_wFlags, FILE_ASCII);  // from the new file's content
    EXPECT_EQ(doc.m_files[2].m_wFlags, 0);           // a 0 byte: binary
    EXPECT_EQ(doc.m_strLastWebFolder, "www/img");
}

TEST_F(EditCommandsTest, RemovesByDocumentIndexNotByRow)
{
    BuildSite();
    // The rows sort as backup (1), ftp (0) and, by full path, img/logo.gif (1),
    // img/photo[1].jpg (2), index.html (0): the indices are not the row positions.
    Run({"remove-server", "site.tsn", "0"}, 0);
    Run({"remove-file", "site.tsn", "2", "0", "2"}, 0);
    CTessarineDoc doc;
    Load(doc);
    ASSERT_EQ(doc.m_servers.size(), 1u);
    EXPECT_EQ(doc.m_servers[0].m_strServerName, "backup.example.com");
    ASSERT_EQ(doc.m_files.size(), 1u);
    EXPECT_EQ(doc.m_files[0].m_strFileName, Full("www/img/logo.gif"));
}

TEST_F(EditCommandsTest, PathsAreTheShellsWhateverTheRememberedBrowseFolder)
{
    test::TempDir browse;
    test::WriteFile(browse.file("www/notes"), "elsewhere");
    test::WriteFile(browse.file("site.tsn"), "not touched");
    {
        CTessarineDoc doc;
        Load(doc);
        doc.m_strLastBrowseFolder = browse.str() + "/";
        test::ScriptedMessageBox quiet;
        ASSERT_TRUE(SaveDocumentFile(doc, "site.tsn"));
    }
    Run({"add-file", "site.tsn", "www/notes"}, 0);
    Run({"add-file", "site.tsn", "www/index.html"}, 0);
    Run({"edit-file", "site.tsn", "1", "--file", "www/blob"}, 0);
    CTessarineDoc doc;
    Load(doc);
    ASSERT_EQ(doc.m_files.size(), 2u);
    EXPECT_EQ(doc.m_files[0].m_strFileName, Full("www/notes"));
    EXPECT_EQ(doc.m_files[1].m_strFileName, Full("www/blob"));
    EXPECT_EQ(test::ReadFile(browse.file("site.tsn")), "not touched");
}

TEST_F(EditCommandsTest, AFileThatCannotBeLoadedIsLeftAlone)
{
    test::WriteFile("foreign.tsn", "this is no configuration");
    const ProgramResult result = Run({"add-server", "foreign.tsn", "--server", "s", "--user", "u"}, 3);
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(test::ReadFile("foreign.tsn"), "this is no configuration");
    Run({"remove-file", "missing.tsn", "0"}, 3);
    EXPECT_FALSE(fs::exists("missing.tsn"));
}
