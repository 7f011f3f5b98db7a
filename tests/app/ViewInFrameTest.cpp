// The configuration view inside the program's main window: filled from the
// configuration the program opened, and its lists following the window's
// size.

#include "app/MainFrame.h"
#include "model/FileStatus.h"
#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/widgets/QtListCtrl.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"
#include "ui/TessarineView.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

// A site of three servers and five files: new, unchanged, changed since
// sent, and one whose local copy is gone.
void WriteSite(const test::TempDir& dir, const std::string& path)
{
    for (const char* name : {"index.html", "about.html", "news.html", "logo.gif"})
        test::WriteFile(dir.file(std::string("site/") + name), name);
    CTessarineDoc doc;
    doc.AddServer("ftp.example.org", "anna", "secret", "public_html");
    doc.AddServer("backup.example.net", "anna2", "pw", "");
    doc.AddServer("mirror.example.com", "web", "pw", "www\\site");
    doc.AddFile(dir.file("site/index.html"), "", 1);
    doc.AddFile(dir.file("site/about.html"), "about", 1);
    doc.AddFile(dir.file("site/news.html"), "news", 1);
    doc.AddFile(dir.file("site/logo.gif"), "images", 0);
    doc.AddFile(dir.file("site/old.html"), "", 1);
    const LocalFileStatus sent = *GetLocalFileStatus(dir.file("site/about.html"));
    doc.m_files[1].m_timeLocal = sent.m_mtime;
    doc.m_files[1].m_dwLocalSize = sent.m_size;
    doc.m_files[2].m_timeLocal = sent.m_mtime;
    doc.m_files[2].m_dwLocalSize = sent.m_size + 1;
    doc.m_files[4].m_timeLocal = sent.m_mtime;
    SaveDocumentFile(doc, path);
}

}  // namespace

TEST(ViewInFrame, ShowsTheOpenedConfigurationAndFollowsTheWindowSize)
{
    test::ForgetRegistration();
    test::TempDir dir;
    WriteSite(dir, dir.file("site.tsn"));
    test::StartedApp started({dir.file("site.tsn")});
    ASSERT_TRUE(started.started);
    CMainFrame& frame = *started.frame();
    CTessarineView& view = *frame.View();

    ASSERT_EQ(view.m_listServers->GetItemCount(), 3) << "the view is filled when the file opens";
    EXPECT_EQ(view.m_listServers->GetItemText(0, 0), "backup.example.net");
    EXPECT_EQ(view.m_listServers->GetItemText(2, 2), "www/site");
    std::vector<std::string> statuses;
    for (int row = 0; row < view.m_listFiles->GetItemCount(); ++row)
        statuses.push_back(view.m_listFiles->GetItemText(row, 3));
    EXPECT_EQ(statuses, (std::vector<std::string>{"No changes", "New file", "New file", "Updated file",
                                                  "Error opening file"}))
        << "about, index, logo, news, old";

    const int rightMargin = view.GetDlgItem(CTessarineView::IDC_SERVER_ADD)->x();
    const int bottomMargin = view.GetDlgItem(CTessarineView::IDC_SERVERS_LABEL)->y();
    const int serverHeight = view.m_listServers->height();
    for (const QSize size : {QSize(760, 520), QSize(1000, 700), frame.minimumSize()}) {
        frame.resize(size);
        QApplication::processEvents();
        const QRect servers = view.m_listServers->geometry();
        const QRect files = view.m_listFiles->geometry();
        EXPECT_EQ(servers.x() + servers.width(), view.width() - rightMargin);
        EXPECT_EQ(servers.height(), serverHeight);
        EXPECT_EQ(files.x() + files.width(), view.width() - rightMargin);
        EXPECT_EQ(files.y() + files.height(), view.height() - bottomMargin);
    }
    frame.resize(760, 420);
    QApplication::processEvents();
    test::SaveScreenshot(frame, "view-configuration");
}
