// Building a real site's file list from the shell: add-file with several
// paths and patterns (all or nothing), add-tree over a folder tree run twice,
// remove-file --missing, and show --status before an upload.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;
using test::ProgramResult;
using test::RunTool;

namespace {

class SiteFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::current_path(dir.path());
        Run({"new", "site.tsn"}, 0);
    }
    ProgramResult Run(const std::vector<std::string>& args, int status)
    {
        ProgramResult result = RunTool(args);
        EXPECT_EQ(result.status, status) << args[0] << ": " << result.err << result.out;
        return result;
    }
    // (file below the test folder, web folder, ASCII) of every entry, in order.
    std::vector<std::tuple<std::string, std::string, bool>> Entries()
    {
        test::ScriptedMessageBox quiet;
        CTessarineDoc doc;
        EXPECT_EQ(OpenDocumentFile(doc, "site.tsn"), OpenOutcome::opened);
        std::vector<std::tuple<std::string, std::string, bool>> entries;
        for (const FileEntry& file : doc.m_files)
            entries.emplace_back(fs::path(file.m_strFileName).lexically_relative(dir.path()).string(),
                                 file.m_strWebFolder, (file.m_wFlags & FILE_ASCII) != 0);
        return entries;
    }
    // A site tree with what add-tree must leave out beside what it takes.
    void WriteTree()
    {
        test::WriteFile("site/index.html", "<p>home</p>\n");
        test::WriteFile("site/about.html", "<p>about</p>\n");
        test::WriteFile("site/img/b.png", std::string("\x89PNG\0", 5));
        test::WriteFile("site/img/a.jpg", "\xFF\xD8");
        test::WriteFile("site/img/cover.psd", "8BPS");
        test::WriteFile("site/img/icons/home.gif", "GIF89a");
        test::WriteFile("site/drafts/next.html", "<p>soon</p>\n");
        test::WriteFile("site/.htaccess", "Options -Indexes\n");
        test::WriteFile("site/.git/config", "[core]\n");
        test::WriteFile("site/img/.thumbs/a.jpg", "\xFF\xD8");
        test::WriteFile("shared/style.css", "p {}\n");
        fs::create_directory_symlink("../../shared", "site/img/shared");
        fs::create_symlink("../index.html", "site/img/home.html");
        fs::create_symlink("nowhere.html", "site/dangling.html");
        ASSERT_EQ(::mkfifo("site/pipe.html", 0600), 0);
    }

    test::CurrentDirGuard restore;
    test::TempDir dir;
};

TEST_F(SiteFilesTest, SeveralPathsAreAddedInOrderOrNoneIs)
{
    test::WriteFile("www/index.html", "<html></html>\n");
    test::WriteFile("www/img/b.gif", "GIF89a");
    test::WriteFile("www/img/a.gif", "GIF89a");
    test::WriteFile("www/img/photo[1].jpg", "\xFF\xD8");
    test::WriteFile("www/img/notes.txt", "text\n");
    fs::create_directory("www/img/c.gif");  // a folder the pattern also names
    Run({"add-file", "site.tsn", "www/index.html", "--web-folder", "pages"}, 0);
    const std::string before = test::ReadFile("site.tsn");

    // One path of each kind of refusal among good ones: every one listed, nothing stored.
    const ProgramResult refused = Run({"add-file", "site.tsn", "www/img/a.gif", "www/missing.html", "www/img",
                                       "www/index.html", "www/img/*.png", "www/img/a.gif", "--web-folder", "pages"},
                                      4);
    EXPECT_EQ(refused.err, "tessarine: add-file: nothing was added; 5 of 6 refused:\n"
                           "  www/missing.html: The local file does not exist.\n"
                           "  www/img: The local file does not exist. It is a folder: 'tessarine add-tree' adds the "
                           "files below a folder.\n"
                           "  www/index.html: The local file to upload already exists.\n"
                           "  www/img/*.png: The local file does not exist.\n"
                           "  www/img/a.gif: The local file to upload already exists.\n");
    EXPECT_EQ(test::ReadFile("site.tsn"), before);

    // A quoted pattern: every match (no folder), in byte order; "[1]" is no wildcard.
    const ProgramResult added = Run({"add-file", "site.tsn", "www/img/*.gif", "www/img/photo[1].jpg",
                                     "www/img/*.txt", "--web-folder", "img"},
                                    0);
    EXPECT_EQ(added.out, "Added 4 files.\n");
    using E = std::tuple<std::string, std::string, bool>;
    EXPECT_EQ(Entries(), (std::vector<E>{{"www/index.html", "pages", true},
                                         {"www/img/a.gif", "img", false},
                                         {"www/img/b.gif", "img", false},
                                         {"www/img/photo[1].jpg", "img", false},
                                         {"www/img/notes.txt", "img", true}}));
    // The pattern again: its matches are listed already, so the whole command is refused.
    EXPECT_NE(Run({"add-file", "site.tsn", "www/img/*.gif", "--web-folder", "img"}, 4).err.find(
                  "www/img/b.gif: The local file to upload already exists."),
              std::string::npos);
}

TEST_F(SiteFilesTest, AddTreeTakesEveryRegularFileOnceAndAgainOnlyTheNewOnes)
{
    WriteTree();
    const std::vector<std::string> args = {"add-tree", "site.tsn", "site", "--web-folder", "www",
                                           "--exclude", "*.psd", "--exclude=drafts/*"};
    std::vector<std::string> dry = args;
    dry.push_back("--dry-run");
    const ProgramResult preview = Run(dry, 0);
    EXPECT_NE(preview.out.find("6 files would be added, 0 already listed; nothing was saved"), std::string::npos)
        << preview.out;
    EXPECT_TRUE(Entries().empty());

    const ProgramResult first = Run(args, 0);
    using E = std::tuple<std::string, std::string, bool>;
    const std::vector<E> tree = {{"site/about.html", "www", true},
                                 {"site/img/a.jpg", "www/img", false},
                                 {"site/img/b.png", "www/img", false},
                                 {"site/img/home.html", "www/img", true},  // a link to a file is its file
                                 {"site/img/icons/home.gif", "www/img/icons", false},
                                 {"site/index.html", "www", true}};
    ASSERT_EQ(Entries(), tree) << first.out;
    EXPECT_NE(first.out.find("Added " + dir.file("site/img/icons/home.gif") + " -> www/img/icons\n"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("6 files added, 0 already listed left as they were.\n"), std::string::npos);

    // A new page and a changed one: only the new one is added, at the end.
    test::WriteFile("site/contact.html", "<p>mail</p>\n");
    test::WriteFile("site/index.html", "<p>home, changed</p>\n");
    const ProgramResult second = Run(args, 0);
    EXPECT_EQ(second.out, "Added " + dir.file("site/contact.html") + " -> www\n"
                                                                   "1 file added, 6 already listed left as they were.\n");
    std::vector<E> grown = tree;
    grown.push_back({"site/contact.html", "www", true});
    EXPECT_EQ(Entries(), grown);

    // Nothing new: no change, a clean exit, the file as it was.
    const std::string before = test::ReadFile("site.tsn");
    EXPECT_NE(Run(args, 0).out.find("0 files added, 7 already listed"), std::string::npos);
    EXPECT_EQ(test::ReadFile("site.tsn"), before);
}

TEST_F(SiteFilesTest, AddTreeTakesAHiddenOrLinkedFolderWhenItIsNamed)
{
    test::WriteFile("real/.well-known/security.txt", "Contact: me\n");
    test::WriteFile("real/page.html", "<p>\n");
    fs::create_directory_symlink("real", "linked");
    // Named as the folder: the link is followed; a hidden folder named is entered.
    Run({"add-tree", "site.tsn", "linked/"}, 0);
    Run({"add-tree", "site.tsn", "real/.well-known", "--web-folder", ".well-known"}, 0);
    using E = std::tuple<std::string, std::string, bool>;
    EXPECT_EQ(Entries(), (std::vector<E>{{"linked/page.html", "", true},
                                         {"real/.well-known/security.txt", ".well-known", true}}));
    // The configuration itself, inside the folder named, is never a site file.
    fs::create_directory("here");
    Run({"new", "here/site.tsn"}, 0);
    test::WriteFile("here/page.html", "<p>\n");
    fs::current_path("here");
    EXPECT_EQ(Run({"add-tree", "site.tsn", "."}, 0).out,
              "Added " + dir.file("here/page.html") + " -> <base>\nLeft out " + dir.file("here/site.tsn") +
                  ": it is this configuration.\n1 file added, 0 already listed left as they were.\n");
    fs::current_path(dir.path());
    test::WriteFile("plain.html", "<p>\n");
    for (const char* notAFolder : {"plain.html", "missing"})
        EXPECT_EQ(Run({"add-tree", "site.tsn", notAFolder}, 4).err,
                  std::string("tessarine: ") + notAFolder + " is not a folder; nothing was added.\n");
    EXPECT_NE(Run({"add-tree", "site.tsn"}, 2).err.find("Usage: tessarine add-tree"), std::string::npos);
}

TEST_F(SiteFilesTest, RemoveMissingDropsOnlyTheFilesThatAreGone)
{
    for (const char* name : {"a.html", "b.html", "c.html", "d.html"})
        test::WriteFile(std::string("site/") + name, "<p>\n");
    Run({"add-tree", "site.tsn", "site"}, 0);
    fs::remove("site/b.html");
    fs::remove("site/d.html");
    fs::create_directory("site/d.html");  // a folder where the file was is no file either
    const ProgramResult removed = Run({"remove-file", "site.tsn", "--missing"}, 0);
    EXPECT_EQ(removed.out, "Removed 1  " + dir.file("site/b.html") + "\nRemoved 3  " + dir.file("site/d.html") + "\n");
    using E = std::tuple<std::string, std::string, bool>;
    EXPECT_EQ(Entries(), (std::vector<E>{{"site/a.html", "", true}, {"site/c.html", "", true}}));

    const std::string before = test::ReadFile("site.tsn");
    EXPECT_EQ(Run({"remove-file", "site.tsn", "--missing"}, 0).out, "No local file of the list is missing.\n");
    EXPECT_EQ(test::ReadFile("site.tsn"), before);
    Run({"remove-file", "site.tsn", "0", "--missing"}, 2);
    Run({"remove-file", "site.tsn", "1"}, 0);
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(SiteFilesTest, ShowStatusListsOnlyWhatTheNextUploadWouldConsider)
{
    for (const char* name : {"new.html", "sent.html", "changed.html", "gone.html"})
        test::WriteFile(std::string("site/") + name, "<p>\n");
    Run({"add-tree", "site.tsn", "site", "--web-folder", "www"}, 0);
    {
        // As an upload leaves them: sent.html and changed.html sent, with their present time and size.
        test::ScriptedMessageBox quiet;
        CTessarineDoc doc;
        ASSERT_EQ(OpenDocumentFile(doc, "site.tsn"), OpenOutcome::opened);
        for (FileEntry& file : doc.m_files) {
            struct stat st {};
            ASSERT_EQ(::stat(file.m_strFileName.c_str(), &st), 0);
            if (file.m_strFileName.ends_with("/sent.html") || file.m_strFileName.ends_with("/changed.html")) {
                file.m_timeLocal = CTime(static_cast<std::int32_t>(st.st_mtime));
                file.m_dwLocalSize = static_cast<DWORD>(st.st_size);
            }
        }
        ASSERT_TRUE(SaveDocumentFile(doc, "site.tsn"));
    }
    test::WriteFile("site/changed.html", "<p>longer now</p>\n");
    fs::remove("site/gone.html");
    // add-tree sorted them: changed, gone, new, sent.
    EXPECT_EQ(Run({"show", "site.tsn", "--status"}, 0).out,
              "0  Updated file  " + dir.file("site/changed.html") + " -> www\n2  New file  " +
                  dir.file("site/new.html") + " -> www\n");
    const std::string json = Run({"show", "site.tsn", "--status", "--json"}, 0).out;
    EXPECT_NE(json.find("\"status\": \"Updated file\""), std::string::npos);
    EXPECT_EQ(json.find("sent.html"), std::string::npos) << json;
    EXPECT_EQ(json.find("gone.html"), std::string::npos) << json;
}

}  // namespace
