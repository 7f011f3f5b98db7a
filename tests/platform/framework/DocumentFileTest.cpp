#include "platform/framework/Archive.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A document of one text, stored after the byte 'T'. Loading refuses data
// that starts with anything else, as a foreign file is refused.
class TextDocument : public CDocument {
public:
    void DeleteContents() override { text.clear(); }
    void Serialize(CArchive& ar) override
    {
        ++serialized;
        if (failWith == "bad_alloc")
            throw std::bad_alloc();
        if (ar.IsStoring()) {
            ar << static_cast<BYTE>('T') << text;
            return;
        }
        BYTE tag = 0;
        ar >> tag;
        if (tag != 'T') {
            AfxMessageBox("Not mine.", MB_ICONEXCLAMATION);
            ar.RefuseLoad();
            return;
        }
        ar >> text;
    }
    std::string text;
    std::string failWith;
    int serialized = 0;
};

// A document with contents, a path and the modified flag set.
void MakeDirty(TextDocument& doc, const std::string& path)
{
    doc.text = "keep me";
    doc.SetPathName(path);
    doc.SetModifiedFlag();
}

void ExpectUnchanged(const TextDocument& doc, const std::string& path)
{
    EXPECT_EQ(doc.text, "keep me");
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_TRUE(doc.IsModified());
}

void ExpectNewUntitled(const TextDocument& doc)
{
    EXPECT_EQ(doc.text, "");
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_FALSE(doc.IsModified());
}

unsigned int Mode(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST(DocumentFile, OpenLoadsAndTakesThePath)
{
    test::TempDir dir;
    const std::string path = dir.file("site.tsn");
    test::WriteFile(path, std::string("T\x05hello"));
    TextDocument doc;
    doc.SetModifiedFlag();
    EXPECT_EQ(OpenDocumentFile(doc, path), OpenOutcome::opened);
    EXPECT_EQ(doc.text, "hello");
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.GetTitle(), "site.tsn");
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentFile, AFileThatCannotBeOpenedLeavesTheDocumentAsItWas)
{
    test::TempDir dir;
    test::WriteFile(dir.file("plain"), "x");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("missing.tsn"), dir.file("missing.tsn") + " was not found."},
        {dir.file("folder"), dir.file("folder") + " is a folder, not a file."},
        {dir.file("fifo"), dir.file("fifo") + " is not a regular file."},  // must not hang
        {"/dev/null", "/dev/null is not a regular file."},
        {dir.file("plain/under.tsn"),
         dir.file("plain/under.tsn") + " cannot be reached: a part of its path is not a folder."},
    };
    for (const Case& c : cases) {
        test::ScriptedMessageBox box;
        TextDocument doc;
        MakeDirty(doc, "/old/path.tsn");
        EXPECT_EQ(OpenDocumentFile(doc, c.path), OpenOutcome::notOpened) << c.path;
        ExpectUnchanged(doc, "/old/path.tsn");
        EXPECT_EQ(doc.serialized, 0);
        ASSERT_EQ(box.shown().size(), 1u);
        EXPECT_EQ(box.shown()[0], (test::ShownMessage{"Tessarine", c.message, MB_ICONEXCLAMATION}));
    }
}

TEST(DocumentFile, AnEmptyFileOpensAsAnEmptyDocumentWithoutSerialize)
{
    test::TempDir dir;
    const std::string path = dir.file("empty.tsn");
    test::WriteFile(path, "");
    test::ScriptedMessageBox box;
    TextDocument doc;
    MakeDirty(doc, "/old/path.tsn");
    EXPECT_EQ(OpenDocumentFile(doc, path), OpenOutcome::opened);
    EXPECT_EQ(doc.serialized, 0);
    EXPECT_EQ(doc.text, "");
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(box.shown().empty());
}

TEST(DocumentFile, FailedLoadsLeaveANewUntitledDocument)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string failWith;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"cut", std::string("T\x09short"), "", {"Unexpected file format."}},
        {"other failure", std::string("T\x02ok"), "bad_alloc", {"Failed to open document."}},
        {"refused: no second message", "X", "", {"Not mine."}},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file("bad.tsn");
        test::WriteFile(path, c.bytes);
        test::ScriptedMessageBox box;
        TextDocument doc;
        MakeDirty(doc, "/old/path.tsn");
        doc.failWith = c.failWith;
        EXPECT_EQ(OpenDocumentFile(doc, path), OpenOutcome::loadFailed) << c.name;
        ExpectNewUntitled(doc);
        EXPECT_EQ(box.texts(), c.messages) << c.name;
        for (const test::ShownMessage& shown : box.shown())
            EXPECT_EQ(shown.style, MB_ICONEXCLAMATION) << c.name;
        EXPECT_EQ(test::ReadFile(path), c.bytes) << c.name;
    }
}

TEST(DocumentFile, SaveWritesAFileOnlyItsOwnerCanRead)
{
    test::TempDir dir;
    const std::string path = dir.file("new.tsn");
    TextDocument doc;
    doc.text = "abc";
    doc.SetModifiedFlag();
    ASSERT_TRUE(SaveDocumentFile(doc, path));
    EXPECT_EQ(test::ReadFile(path), std::string("T\x03" "abc"));
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST(DocumentFile, SaveReplacesTheFileALinkPointsTo)
{
    test::TempDir dir;
    test::WriteFile(dir.file("real.tsn"), "old");
    fs::create_symlink("real.tsn", dir.file("link.tsn"));
    TextDocument doc;
    doc.text = "new";
    ASSERT_TRUE(SaveDocumentFile(doc, dir.file("link.tsn")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.tsn")));
    EXPECT_EQ(test::ReadFile(dir.file("real.tsn")), std::string("T\x03new"));
}

TEST(DocumentFile, AFailedSaveKeepsTheOldFileAndTheDocument)
{
    test::TempDir dir;
    test::WriteFile(dir.file("plain"), "x");
    fs::create_directory(dir.file("folder.tsn"));
    struct Case {
        std::string path;
        std::string failWith;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("plain/under.tsn"), "",
         dir.file("plain/under.tsn") + " cannot be reached: a part of its path is not a folder."},
        {dir.file("nofolder/x.tsn"), "", dir.file("nofolder/x.tsn") + " was not found."},
        {dir.file("folder.tsn"), "", dir.file("folder.tsn") + " is a folder, not a file."},
        {dir.file("plain"), "bad_alloc", "Failed to save document."},
    };
    for (const Case& c : cases) {
        test::ScriptedMessageBox box;
        TextDocument doc;
        MakeDirty(doc, "/old/path.tsn");
        doc.failWith = c.failWith;
        EXPECT_FALSE(SaveDocumentFile(doc, c.path)) << c.path;
        ExpectUnchanged(doc, "/old/path.tsn");
        EXPECT_EQ(box.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(test::ReadFile(dir.file("plain")), "x");
        EXPECT_TRUE(fs::is_directory(dir.file("folder.tsn")));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "a temporary file was left behind";
}
