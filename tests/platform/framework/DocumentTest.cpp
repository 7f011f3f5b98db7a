#include "platform/framework/Archive.h"
#include "platform/framework/Document.h"
#include "platform/framework/FileException.h"
#include "platform/framework/WaitCursor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace {

class CountingDocument : public CDocument {
public:
    void DeleteContents() override { ++deleted; }
    void Serialize(CArchive&) override {}
    int deleted = 0;
};

class RecordingView : public CView {
public:
    explicit RecordingView(std::vector<CView*>& log) : m_log(log) {}
    void OnUpdate(CView* sender, long hint, CObject* hintObject) override
    {
        m_log.push_back(this);
        lastSender = sender;
        lastHint = hint;
        lastObject = hintObject;
    }
    CView* lastSender = reinterpret_cast<CView*>(1);
    long lastHint = -1;
    CObject* lastObject = reinterpret_cast<CObject*>(1);

private:
    std::vector<CView*>& m_log;
};

}  // namespace

TEST(Document, UpdateAllViewsTellsEveryViewButTheSenderInAttachOrder)
{
    CountingDocument doc;
    std::vector<CView*> log;
    RecordingView first(log), second(log), third(log);
    doc.AddView(&first);
    doc.AddView(&second);
    doc.AddView(&third);
    doc.AddView(&second);  // attaching twice keeps one entry
    EXPECT_EQ(first.GetDocument(), &doc);

    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(log, (std::vector<CView*>{&first, &second, &third}));
    EXPECT_EQ(first.lastSender, nullptr);
    EXPECT_EQ(first.lastHint, 0);
    EXPECT_EQ(first.lastObject, nullptr);

    log.clear();
    doc.RemoveView(&first);
    doc.UpdateAllViews(&second, 7);
    EXPECT_EQ(log, (std::vector<CView*>{&third}));
    EXPECT_EQ(third.lastHint, 7);
    EXPECT_EQ(first.GetDocument(), nullptr);
}

TEST(Document, EitherTheDocumentOrTheViewMayGoFirst)
{
    std::vector<CView*> log;
    RecordingView view(log);
    {
        CountingDocument doc;
        doc.AddView(&view);
    }
    EXPECT_EQ(view.GetDocument(), nullptr);

    CountingDocument doc;
    {
        RecordingView shortLived(log);
        doc.AddView(&shortLived);
    }
    EXPECT_TRUE(doc.GetViews().empty());
    doc.UpdateAllViews(nullptr);
}

TEST(Document, ThePathIsKeptAbsolute)
{
    CountingDocument doc;
    doc.SetPathName("sites/site.tsn");
    EXPECT_EQ(doc.GetPathName(), (std::filesystem::current_path() / "sites/site.tsn").string());
    EXPECT_EQ(doc.GetTitle(), "site.tsn");
}

TEST(Document, OnNewDocumentEmptiesAndForgetsThePath)
{
    CountingDocument doc;
    doc.SetPathName("/home/u/sites/my.site.tsn");
    EXPECT_EQ(doc.GetTitle(), "my.site.tsn");
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.deleted, 1);
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_FALSE(doc.IsModified());
}

TEST(FileException, EveryTextNamesTheFile)
{
    struct Case {
        int osError;
        CFileException::Cause cause;
        const char* text;
    };
    const Case cases[] = {
        {ENOENT, CFileException::fileNotFound, "/d/x.tsn was not found."},
        {ENOSPC, CFileException::diskFull, "There is not enough space on the disk to write /d/x.tsn."},
        {EROFS, CFileException::readOnlyFileSystem, "/d/x.tsn is on a read-only file system."},
    };
    for (const Case& c : cases) {
        const CFileException e = CFileException::FromErrno(c.osError, "/d/x.tsn");
        EXPECT_EQ(e.m_cause, c.cause) << c.text;
        EXPECT_EQ(e.GetErrorMessage(), c.text);
    }
    EXPECT_EQ(CFileException(CFileException::notRegularFile, 0, "/dev/tty").GetErrorMessage(),
              "/dev/tty is not a regular file.");
    const CFileException unknown = CFileException::FromErrno(EXDEV, "/d/x.tsn");
    EXPECT_EQ(unknown.m_cause, CFileException::generic);
    EXPECT_NE(unknown.GetErrorMessage().find("/d/x.tsn"), std::string::npos);
}

namespace {

class CountingWaitCursor : public IWaitCursorHandler {
public:
    void BeginWaitCursor() override { ++depth; ++begun; }
    void EndWaitCursor() override { --depth; }
    int depth = 0;
    int begun = 0;
};

}  // namespace

TEST(WaitCursor, IsTakenAwayOnEveryPathOut)
{
    CountingWaitCursor cursor;
    IWaitCursorHandler* previous = SetWaitCursorHandler(&cursor);
    {
        CWaitCursor wait;
        EXPECT_EQ(cursor.depth, 1);
    }
    try {
        CWaitCursor wait;
        throw CArchiveException(CArchiveException::endOfFile);
    } catch (const CArchiveException&) {
    }
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_EQ(cursor.begun, 2);
    SetWaitCursorHandler(previous);
    CWaitCursor none;  // no handler: nothing happens
}
