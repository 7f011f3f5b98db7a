#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "platform/widgets/DialogUnits.h"
#include "platform/widgets/QtListCtrl.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DialogTemplate.h"
#include "ui/LocalFileDlg.h"
#include "ui/ServerDlg.h"
#include "ui/TessarineView.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
using V = CTessarineView;
using Rows = std::vector<std::vector<std::string>>;

namespace {

Rows Cells(const CQtListCtrl& list)
{
    Rows rows;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < list.ColumnCount(); ++column)
            cells.push_back(list.GetItemText(row, column));
    }
    return rows;
}

std::vector<std::string> Titles(const CQtListCtrl& list)
{
    std::vector<std::string> titles;
    for (int column = 0; column < list.ColumnCount(); ++column)
        titles.push_back(list.headerItem()->text(column).toStdString());
    return titles;
}

// A point in the first column of a row (the row may be wider than the list).
QPoint RowPoint(CQtListCtrl& list, int row)
{
    return {10, list.visualItemRect(list.topLevelItem(row)).center().y()};
}

void ClickRow(CQtListCtrl& list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, RowPoint(list, row));
}

void DoubleClickRow(CQtListCtrl& list, int row)
{
    const QPoint at = RowPoint(list, row);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);  // as the mouse ends a double click
}

// Which of Edit and Delete of servers, then of files, are enabled.
std::vector<bool> EditDeleteStates(const CTessarineView& view)
{
    return {view.GetDlgItem(V::IDC_SERVER_EDIT)->isEnabled(), view.GetDlgItem(V::IDC_SERVER_DELETE)->isEnabled(),
            view.GetDlgItem(V::IDC_FILE_EDIT)->isEnabled(), view.GetDlgItem(V::IDC_FILE_DELETE)->isEnabled()};
}

// The server dialog as a user fills it: each field reached by its label's
// mnemonic, everything it held replaced, then Enter.
void TypeServer(CServerDlg&, const char* server, const char* user, const char* password, const char* folder)
{
    const std::pair<Qt::Key, const char*> fields[] = {
        {Qt::Key_S, server}, {Qt::Key_U, user}, {Qt::Key_P, password}, {Qt::Key_B, folder}};
    for (const auto& [key, text] : fields) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// The local file dialog: a name typed, the field left with Tab (the type is
// proposed), the web folder typed, Enter.
void TypeFile(CLocalFileDlg& dlg, const char* name, const char* webFolder)
{
    QWidget* field = FindControl(dlg, CLocalFileDlg::IDC_FILE_NAME);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QString::fromUtf8(name));
    QTest::keyClick(field, Qt::Key_Tab);  // to Browse
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(webFolder));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

class ViewTest : public ::testing::Test {
protected:
    QApplication& app = test::UiApp();  // before any widget or timer
    ViewTest()
    {
        for (const char* name : {"index.html", "notes"})
            test::WriteFile(dir.file(name), "<p>text</p>\n");
        test::WriteFile(dir.file("logo.gif"), std::string("GIF89a\0\x80", 8));
        doc.m_strLastBrowseFolder = dir.str() + "/";
        view = new CTessarineView(&host);
        host.setCentralWidget(view);
        doc.AddView(view);
        doc.UpdateAllViews(nullptr);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void Click(int id) { QTest::mouseClick(view->GetDlgItem(id), Qt::LeftButton); }
    void AddServer(const char* server, const char* user, const char* password, const char* folder)
    {
        test::WhenShown<CServerDlg>([=](CServerDlg& dlg) { TypeServer(dlg, server, user, password, folder); });
        Click(V::IDC_SERVER_ADD);
    }
    void AddFile(const char* name, const char* webFolder)
    {
        test::WhenShown<CLocalFileDlg>([=](CLocalFileDlg& dlg) { TypeFile(dlg, name, webFolder); });
        Click(V::IDC_FILE_ADD);
    }
    std::string Path(const char* name) const { return dir.file(name); }

    test::TempDir dir;
    test::CurrentDirGuard cwd;
    test::ScriptedMessageBox box;
    test::DialogWatchdog watchdog;
    CTessarineDoc doc;
    QMainWindow host;
    CTessarineView* view = nullptr;
};

}  // namespace

TEST_F(ViewTest, AnEmptyConfigurationShowsTheColumnsAndOnlyTheAddButtons)
{
    EXPECT_EQ(Titles(*view->m_listServers), (std::vector<std::string>{"Server Name", "User Name", "Base Folder"}));
    EXPECT_EQ(Titles(*view->m_listFiles), (std::vector<std::string>{"File Name", "Web Folder", "Type", "Status"}));
    EXPECT_EQ(view->m_listServers->GetItemCount() + view->m_listFiles->GetItemCount(), 0);
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(view->GetDlgItem(V::IDC_SERVER_ADD)->isEnabled());
    EXPECT_TRUE(view->GetDlgItem(V::IDC_FILE_ADD)->isEnabled());
    // Each column as wide as the wider of its title and sample, plus a margin.
    const QFontMetrics metrics = view->m_listFiles->fontMetrics();
    EXPECT_EQ(view->m_listFiles->columnWidth(3),
              metrics.horizontalAdvance("Error opening file") + metrics.horizontalAdvance("      "));
}

TEST_F(ViewTest, ServersAndFilesAddedEditedAndDeletedThroughTheWindow)
{
    AddServer("beta.example.org", "bob", "pw", "");
    AddServer("alpha.example.org", "anna", "x", "www\\site");
    const Rows servers = {{"alpha.example.org", "anna", "www/site"}, {"beta.example.org", "bob", "<root>"}};
    EXPECT_EQ(Cells(*view->m_listServers), servers) << "sorted by name";
    ASSERT_EQ(doc.m_servers.size(), 2u);
    EXPECT_EQ(doc.m_servers[0].m_strServerName, "beta.example.org") << "kept in the order of addition";

    AddFile("notes", "docs");
    AddFile("logo.gif", "img");
    AddFile("index.html", "");
    const Rows files = {{Path("index.html"), "<base>", "ASCII", "New file"},
                        {Path("logo.gif"), "img", "Binary", "New file"},
                        {Path("notes"), "docs", "ASCII", "New file"}};
    EXPECT_EQ(Cells(*view->m_listFiles), files);
    EXPECT_EQ(doc.m_strLastWebFolder, "") << "the last dialog's web folder is remembered";

    // A duplicate (case aside, another password) is refused; nothing changes.
    AddServer("ALPHA.example.org", "Anna", "other", "www/site");
    EXPECT_EQ(box.texts(), (std::vector<std::string>{"The web site FTP server already exists."}));
    EXPECT_EQ(Cells(*view->m_listServers), servers);
    EXPECT_EQ(Cells(*view->m_listFiles), files);
    box.Clear();
    test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& dlg) { TypeFile(dlg, "logo.gif", "IMG"); });
    Click(V::IDC_FILE_ADD);
    EXPECT_EQ(box.texts(), (std::vector<std::string>{"The local file to upload already exists."}));
    EXPECT_EQ(Cells(*view->m_listFiles), files);

    // Edit through the button: the row clicked, its dialog changed.
    ClickRow(*view->m_listServers, 1);
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{true, true, false, false}));
    // A click on empty space below the rows clears the selection and the buttons.
    QTest::mouseClick(view->m_listServers->viewport(), Qt::LeftButton, {},
                      QPoint(10, view->m_listServers->viewport()->height() - 2));
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{false, false, false, false}));
    ClickRow(*view->m_listServers, 1);
    std::string shownName;
    test::WhenShown<CServerDlg>([&](CServerDlg& dlg) {
        shownName = FindControlAs<QLineEdit>(dlg, CServerDlg::IDC_SERVER_NAME)->text().toStdString();
        TypeServer(dlg, "beta.example.org", "bob", "pw", "pub");
    });
    Click(V::IDC_SERVER_EDIT);
    EXPECT_EQ(shownName, "beta.example.org");
    EXPECT_EQ(Cells(*view->m_listServers)[1], (std::vector<std::string>{"beta.example.org", "bob", "pub"}));
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{false, false, false, false}));

    // A double click opens the row's dialog; Escape changes nothing.
    test::WhenShown<CServerDlg>([&](CServerDlg& dlg) {
        shownName = FindControlAs<QLineEdit>(dlg, CServerDlg::IDC_SERVER_NAME)->text().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    DoubleClickRow(*view->m_listServers, 0);
    EXPECT_EQ(shownName, "alpha.example.org");

    // Two rows: Delete only; the file dialog through a double click.
    ClickRow(*view->m_listFiles, 1);
    ClickRow(*view->m_listFiles, 2, Qt::ControlModifier);
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{true, true, false, true}))
        << "the server row double-clicked stays selected";
    Click(V::IDC_FILE_DELETE);
    EXPECT_EQ(Cells(*view->m_listFiles), Rows{files[0]});
    EXPECT_EQ(EditDeleteStates(*view), (std::vector<bool>{false, false, false, false}));
    test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& dlg) { TypeFile(dlg, "index.html", "www\\en"); });
    DoubleClickRow(*view->m_listFiles, 0);
    EXPECT_EQ(Cells(*view->m_listFiles), (Rows{{Path("index.html"), "www/en", "ASCII", "New file"}}));
    EXPECT_EQ(doc.m_strLastWebFolder, "www\\en");

    // Servers deleted with both selected.
    ClickRow(*view->m_listServers, 0);
    ClickRow(*view->m_listServers, 1, Qt::ShiftModifier);
    Click(V::IDC_SERVER_DELETE);
    EXPECT_TRUE(doc.m_servers.empty());
    EXPECT_EQ(view->m_listServers->GetItemCount(), 0);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ViewTest, TheStatusColumnShowsTheLocalHalfOfTheRecord)
{
    struct Row {
        const char* file;
        bool sent;       // an upload record exists
        bool sameAsSent; // the record holds the file's present time and size
        bool removed;    // the local file is gone
        const char* status;
    };
    const Row rows[] = {
        {"a.html", false, false, false, "New file"},
        {"b.html", true, true, false, "No changes"},
        {"c.html", true, false, false, "Updated file"},
        {"d.html", true, true, true, "Error opening file"},
        {"e.html", false, false, true, "Error opening file"},
    };
    for (const Row& row : rows) {
        test::WriteFile(dir.file(row.file), "page");
        FileEntry& entry = doc.m_files.emplace_back();
        entry.m_strFileName = dir.file(row.file);
        if (row.sent) {
            entry.m_timeLocal = CTime(static_cast<std::int32_t>(
                std::chrono::duration_cast<std::chrono::seconds>(
                    fs::last_write_time(entry.m_strFileName).time_since_epoch() -
                    std::chrono::file_clock::now().time_since_epoch() +
                    std::chrono::system_clock::now().time_since_epoch())
                    .count()));
            entry.m_dwLocalSize = row.sameAsSent ? 4 : 5;
        }
        if (row.removed)
            fs::remove(entry.m_strFileName);
    }
    doc.UpdateAllViews(nullptr);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].file);
        EXPECT_EQ(Cells(*view->m_listFiles)[i][3], rows[i].status);
    }
}

TEST_F(ViewTest, TheListsFollowTheWindowSize)
{
    const DialogBaseUnits base = BaseUnitsOf(view->font());
    const QRect serversAsDesigned = MapDialogRect({61, 17, 132, 50}, base);
    const QRect filesAsDesigned = MapDialogRect({61, 85, 132, 51}, base);
    const int margin = DialogUnitsToPixelsX(7, base);
    const int bottomMargin = DialogUnitsToPixelsY(7, base);
    const QRect addButton = view->GetDlgItem(V::IDC_SERVER_ADD)->geometry();
    const QSize form = CTessarineView::FormSize(*view);
    EXPECT_EQ(view->minimumSize(), form);
    for (const QSize grow : {QSize(0, 0), QSize(300, 0), QSize(0, 200), QSize(450, 320), QSize(10, 10)}) {
        SCOPED_TRACE(grow.width() * 1000 + grow.height());
        host.resize(host.size() - view->size() + form + grow);
        test::ProcessEvents();
        ASSERT_EQ(view->size(), form + grow);
        const QRect servers = view->m_listServers->geometry();
        const QRect files = view->m_listFiles->geometry();
        EXPECT_EQ(servers.topLeft(), serversAsDesigned.topLeft());
        EXPECT_EQ(servers.height(), serversAsDesigned.height()) << "the server list keeps its height";
        EXPECT_EQ(servers.left() + servers.width(), view->width() - margin);
        EXPECT_EQ(files.topLeft(), filesAsDesigned.topLeft());
        EXPECT_EQ(files.left() + files.width(), view->width() - margin);
        EXPECT_EQ(files.top() + files.height(), view->height() - bottomMargin);
        EXPECT_EQ(view->GetDlgItem(V::IDC_SERVER_ADD)->geometry(), addButton) << "buttons never move";
    }
    host.resize(host.size() - view->size() + form + QSize(260, 120));
    test::ProcessEvents();
    test::SaveScreenshot(host, "view-empty-resized");
}

TEST_F(ViewTest, MnemonicsReachTheListsAndTheButtons)
{
    doc.AddServer("ftp.example.org", "anna", "", "");
    doc.AddServer("beta.example.org", "bob", "", "");
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    struct Row {
        Qt::Key key;
        int focused;        // the list the key moves to, or 0
        bool opensServer;   // the key presses the servers' Add button
        bool opensFile;     // ... the files' Add button
    };
    const Row rows[] = {
        {Qt::Key_W, V::IDC_SERVER_LIST, false, false},
        {Qt::Key_U, V::IDC_FILE_LIST, false, false},
        {Qt::Key_D, 0, true, false},
        {Qt::Key_A, 0, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        bool serverShown = false, fileShown = false;
        if (row.opensServer)
            test::WhenShown<CServerDlg>([&](CServerDlg& dlg) { serverShown = true; dlg.reject(); });
        if (row.opensFile)
            test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& dlg) { fileShown = true; dlg.reject(); });
        QTest::keyClick(&host, row.key, Qt::AltModifier);
        // A button's mnemonic clicks it after showing it pressed for a moment.
        if (row.opensServer || row.opensFile)
            (void)QTest::qWaitFor([&] { return serverShown || fileShown; }, 3000);
        if (row.focused)
            EXPECT_EQ(QApplication::focusWidget(), view->GetDlgItem(row.focused));
        EXPECT_EQ(serverShown, row.opensServer);
        EXPECT_EQ(fileShown, row.opensFile);
        host.activateWindow();
        (void)QTest::qWaitForWindowActive(&host);
    }
    // A selection made with the keyboard leaves the buttons as they were
    // until the next click.
    view->m_listServers->setFocus();
    QTest::keyClick(view->m_listServers, Qt::Key_Down);
    QTest::keyClick(view->m_listServers, Qt::Key_Down);
    EXPECT_EQ(view->m_listServers->GetSelectedCount(), 1);
    EXPECT_FALSE(view->GetDlgItem(V::IDC_SERVER_EDIT)->isEnabled());
    ClickRow(*view->m_listServers, 0);
    EXPECT_TRUE(view->GetDlgItem(V::IDC_SERVER_EDIT)->isEnabled());
}
