#include "app/FrameCommands.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "ui/TessarineView.h"
#include "common/RegistryHelpers.h"
#include "model/TessarineDoc.h"
#include "platform/shell/RunningCopies.h"
#include "platform/widgets/QtRunningCopiesService.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include "platform/framework/DocumentFile.h"

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using test::StartedApp;
using namespace res;

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { test::ForgetRegistration(); }
    void TearDown() override { test::ForgetRegistration(); }

    static CTessarineDoc& Doc(StartedApp& started)
    {
        return *static_cast<CTessarineDoc*>(started.app->GetDocument());
    }
    static std::vector<std::string> RecentMenu(CMainFrame& frame)
    {
        frame.UpdateRecentFileMenu();
        std::vector<std::string> texts;
        for (QAction* action : frame.FileMenu()->actions())
            if (action->isVisible() && action->text().startsWith('&') && action->text()[1].isDigit())
                texts.push_back(action->text().toStdString());
        return texts;
    }
    test::TempDir dir;
};

}  // namespace

TEST_F(FrameTest, NewAndExitAskToSaveAModifiedConfiguration)
{
    test::WriteConfiguration(dir.file("site.tsn"));
    struct Row {
        const char* name;
        unsigned int command;
        int answer;
        bool goesOn;      // a new document / the window closes
        bool savedToFile; // the change is in the file afterwards
    };
    const Row rows[] = {
        {"New, Yes", ID_FILE_NEW, IDYES, true, true},
        {"New, No", ID_FILE_NEW, IDNO, true, false},
        {"New, Cancel", ID_FILE_NEW, IDCANCEL, false, false},
        {"Exit, Yes", ID_APP_EXIT, IDYES, true, true},
        {"Exit, No", ID_APP_EXIT, IDNO, true, false},
        {"Exit, Cancel", ID_APP_EXIT, IDCANCEL, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::WriteConfiguration(dir.file("site.tsn"));
        StartedApp started({dir.file("site.tsn")}, {row.answer});
        ASSERT_TRUE(started.started);
        CTessarineDoc& doc = Doc(started);
        ASSERT_TRUE(doc.AddServer("ftp.other.org", "bob", "pw", ""));
        started.frame()->SendCommand(row.command);
        const std::vector<test::ShownMessage> asked = {
            {"Tessarine", "Save changes to site.tsn?", MB_YESNOCANCEL | MB_ICONEXCLAMATION}};
        EXPECT_EQ(started.box.shown(), asked);
        if (row.command == ID_FILE_NEW) {
            EXPECT_EQ(doc.m_servers.size(), row.goesOn ? 0u : 2u);
            EXPECT_EQ(started.frame()->windowTitle().toStdString(),
                      row.goesOn ? "Untitled - Tessarine" : "site.tsn - Tessarine");
        } else {
            EXPECT_EQ(started.frame()->isVisible(), !row.goesOn);
        }
        CTessarineDoc reread;
        ASSERT_EQ(OpenDocumentFile(reread, dir.file("site.tsn")), OpenOutcome::opened);
        EXPECT_EQ(reread.m_servers.size(), row.savedToFile ? 2u : 1u);
        // An unmodified document is not asked about.
        started.box.Clear();
        if (doc.IsModified())
            doc.SetModifiedFlag(false);
        started.frame()->SendCommand(ID_FILE_NEW);
        EXPECT_TRUE(started.box.shown().empty());
    }
}

TEST_F(FrameTest, TheRecentFileListSurvivesARestartAndKeepsNine)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i) {
        paths.push_back(dir.file("site" + std::to_string(i) + ".tsn"));
        test::WriteConfiguration(paths.back());
    }
    {
        StartedApp first({paths[0]});
        for (int i = 1; i < 10; ++i)
            ASSERT_NE(first.app->OpenDocumentFile(paths[static_cast<std::size_t>(i)]), nullptr);
        ASSERT_NE(first.app->OpenDocumentFile(paths[3]), nullptr);  // moves up, not twice
    }
    const std::string key = "Software\\Orvik\\Tessarine\\Recent File List";
    const std::vector<int> order = {3, 9, 8, 7, 6, 5, 4, 2, 1};
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::string value;
        RegistryGetString(HKEY_CURRENT_USER, key, "File" + std::to_string(i + 1), value, "<missing>");
        EXPECT_EQ(value, paths[static_cast<std::size_t>(order[i])]) << i;
    }
    std::string tenth;
    RegistryGetString(HKEY_CURRENT_USER, key, "File10", tenth, "<missing>");
    EXPECT_EQ(tenth, "<missing>");

    std::filesystem::remove(paths[9]);
    StartedApp second({}, {IDOK});
    const std::vector<std::string> menu = RecentMenu(*second.frame());
    ASSERT_EQ(menu.size(), 9u);
    EXPECT_EQ(menu[0], "&1 " + AbbreviatePath(paths[3], 30));
    EXPECT_EQ(menu[8], "&9 " + AbbreviatePath(paths[1], 30));
    // A recent file that is gone says so and leaves the list; one that is
    // there opens.
    second.app->OnOpenRecentFile(1);
    EXPECT_EQ(second.box.texts(), std::vector<std::string>{paths[9] + " was not found."});
    EXPECT_EQ(RecentMenu(*second.frame()).size(), 8u);
    second.app->OnOpenRecentFile(2);
    EXPECT_EQ(second.app->GetDocument()->GetPathName(), paths[7]);
    EXPECT_EQ(RecentMenu(*second.frame())[0], "&1 " + AbbreviatePath(paths[7], 30));
}

TEST_F(FrameTest, TheMinimumSizeIsTheFormPlusEveryBarShownOrHidden)
{
    StartedApp started({});
    CMainFrame& frame = *started.frame();
    const QSize form = CTessarineView::FormSize(*frame.View());
    auto* toolbar = frame.findChild<QToolBar*>();
    const int bars = frame.menuBar()->sizeHint().height() + toolbar->sizeHint().height() +
                     frame.statusBar()->sizeHint().height();
    const QSize expected(form.width(), form.height() + bars);
    EXPECT_GT(form.width(), 200);  // 200 dialog units are more than 200 pixels
    for (unsigned int hide : {0u, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        if (hide)
            frame.SendCommand(hide);
        frame.UpdateMinimumSize();
        EXPECT_EQ(frame.minimumSize(), expected) << hide;
        frame.resize(10, 10);
        EXPECT_GE(frame.width(), expected.width());
        EXPECT_GE(frame.height(), expected.height());
    }
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(frame.statusBar()->isVisible());
    EXPECT_FALSE(frame.CommandAction(ID_VIEW_TOOLBAR)->isChecked());
    frame.SendCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(frame.CommandAction(ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(FrameTest, MenusToolbarPromptsAndTheUploadRule)
{
    test::WriteConfiguration(dir.file("site.tsn"));
    StartedApp started({dir.file("site.tsn")});
    CMainFrame& frame = *started.frame();
    struct MenuRow {
        const char* title;
        std::vector<std::string> items;  // "-" a separator
    };
    const MenuRow menus[] = {
        {"&File", {"&New", "&Open...", "&Save", "Save &As...", "-", "&Upload", "-", "&1 " + AbbreviatePath(dir.file("site.tsn"), 30), "Recent File", "-", "E&xit"}},
        {"&View", {"&Toolbar", "&Status Bar"}},
        {"&Help", {"&Help Topics", "-", "&About Tessarine..."}},
    };
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(bar[m]->text().toStdString(), menus[m].title);
        std::vector<std::string> items;
        for (QAction* action : bar[m]->menu()->actions())
            items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        EXPECT_EQ(items, menus[m].items) << menus[m].title;
    }
    struct KeyRow {
        unsigned int id;
        const char* key;
    };
    for (const KeyRow& row : {KeyRow{ID_FILE_NEW, "Ctrl+N"}, KeyRow{ID_FILE_OPEN, "Ctrl+O"},
                              KeyRow{ID_FILE_SAVE, "Ctrl+S"}, KeyRow{ID_FILE_UPLOAD, "Ctrl+U"},
                              KeyRow{ID_CONTEXT_HELP, "Shift+F1"}, KeyRow{ID_HELP, "F1"}})
        EXPECT_EQ(frame.CommandAction(row.id)->shortcut(), QKeySequence(row.key)) << row.id;

    const std::vector<std::string> toolbarExpected = {"New", "Open", "Save", "-", "Upload", "-",
                                                      "About", "Help Topics", "Help"};
    std::vector<std::string> toolbarSeen;
    auto* toolbar = frame.findChild<QToolBar*>();
    for (QAction* action : toolbar->actions())
        toolbarSeen.push_back(action->isSeparator() ? "-" : action->toolTip().toStdString());
    EXPECT_EQ(toolbarSeen, toolbarExpected);
    EXPECT_EQ(toolbar->iconSize(), QSize(16, 15));
    // A prompt covers the idle text while the pointer is on its command.
    frame.show();
    auto* idle = frame.statusBar()->findChild<QLabel*>();
    frame.CommandAction(ID_FILE_UPLOAD)->showStatusText(&frame);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Upload files to the web site");
    EXPECT_FALSE(idle->isVisible());
    frame.statusBar()->clearMessage();
    EXPECT_TRUE(idle->isVisible());
    EXPECT_EQ(frame.IdleText(), "For Help, press F1");
    frame.SendCommand(ID_CONTEXT_HELP);
    EXPECT_EQ(frame.IdleText(), "Select an object on which to get Help");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&frame, &escape);
    EXPECT_EQ(frame.IdleText(), "For Help, press F1");

    // Upload: enabled exactly while both lists hold an entry.
    CTessarineDoc& doc = *static_cast<CTessarineDoc*>(started.app->GetDocument());
    struct UploadRow {
        const char* name;
        std::function<void()> change;
        bool enabled;
    };
    const UploadRow uploads[] = {
        {"one server, one file", [] {}, true},
        {"no file", [&] { doc.m_files.clear(); }, false},
        {"no server either", [&] { doc.m_servers.clear(); }, false},
        {"a file only", [&] { doc.AddFile("/a.html", "", 1); }, false},
        {"both again", [&] { doc.AddServer("ftp.example.org", "me", "", ""); }, true},
    };
    for (const UploadRow& row : uploads) {
        row.change();
        frame.UpdateCommandUI();
        EXPECT_EQ(frame.CommandAction(ID_FILE_UPLOAD)->isEnabled(), row.enabled) << row.name;
    }
    test::SaveScreenshot(frame, "main-window-configuration");
    doc.SetModifiedFlag(false);  // New asks nothing and empties the lists
    frame.SendCommand(ID_FILE_NEW);
    EXPECT_TRUE(doc.m_servers.empty() && doc.m_files.empty());
    test::SaveScreenshot(frame, "main-window-empty");
}

TEST_F(FrameTest, SaveAsNamesTheFileInTheDialogAndDroppedFilesOpen)
{
    StartedApp started({}, {IDYES});
    CMainFrame& frame = *started.frame();
    CTessarineDoc& doc = Doc(started);
    ASSERT_TRUE(doc.AddServer("ftp.example.org", "anna", "pw", ""));
    // Yes to the question on an untitled configuration asks for a name.
    QStringList filters;
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        proposed = dialog->selectedFiles().value(0);
        test::SaveScreenshot(*dialog, "save-as-dialog");
        dialog->selectFile(QString::fromStdString(dir.file("new site")));
        static_cast<QDialog*>(dialog)->accept();
    });
    frame.SendCommand(ID_FILE_NEW);
    EXPECT_EQ(started.box.texts(), std::vector<std::string>{"Save changes to Untitled?"});
    EXPECT_EQ(filters, QStringList({"Tessarine Files (*.tsn)", "All Files (*)"}));
    EXPECT_TRUE(proposed.endsWith("Untitled.tsn")) << proposed.toStdString();
    CTessarineDoc reread;
    ASSERT_EQ(OpenDocumentFile(reread, dir.file("new site.tsn")), OpenOutcome::opened);
    EXPECT_EQ(reread.m_servers.size(), 1u);
    EXPECT_EQ(frame.windowTitle(), "Untitled - Tessarine");
    EXPECT_EQ(RecentMenu(frame).front(), "&1 " + AbbreviatePath(dir.file("new site.tsn"), 30));

    // A file dropped on the window opens as the configuration.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("new site.tsn")))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(frame.acceptDrops());
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(&frame, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(frame.windowTitle(), "new site.tsn - Tessarine");
    EXPECT_EQ(doc.m_servers.size(), 1u);
}

TEST_F(FrameTest, AnotherCopyAskingToEndOffersToSaveOnceThenCloses)
{
    struct Row {
        const char* name;
        int answer;
        bool mayEnd;
        bool savedToFile;
    };
    const Row rows[] = {
        {"Yes saves and ends", IDYES, true, true},
        {"No ends without saving", IDNO, true, false},
        {"Cancel keeps the program", IDCANCEL, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::WriteConfiguration(dir.file("site.tsn"));
        StartedApp started({dir.file("site.tsn")}, {row.answer});
        ASSERT_TRUE(started.started);
        ASSERT_TRUE(Doc(started).AddServer("ftp.other.org", "bob", "pw", ""));
        CMainFrame* frame = started.frame();
        EXPECT_EQ(QtTopLevelWindows::ClassOf(frame), kMainFrameWindowClass);
        QtTopLevelWindows windows;
        const std::uint64_t id = QtTopLevelWindows::IdOf(frame);
        EXPECT_EQ(windows.QueryEndSession(id), row.mayEnd);
        const std::vector<test::ShownMessage> asked = {
            {"Tessarine", "Save changes to site.tsn?", MB_YESNOCANCEL | MB_ICONEXCLAMATION}};
        EXPECT_EQ(started.box.shown(), asked);
        if (row.mayEnd) {
            // The close that follows asks no second time.
            EXPECT_TRUE(windows.CloseWindow(id));
            EXPECT_FALSE(frame->isVisible());
            EXPECT_EQ(started.box.shown().size(), 1u);
        } else {
            // Refused: a later close of the user's own asks again.
            started.box.Answer(IDCANCEL);
            frame->close();
            EXPECT_TRUE(frame->isVisible());
            EXPECT_EQ(started.box.shown().size(), 2u);
        }
        CTessarineDoc reread;
        ASSERT_EQ(OpenDocumentFile(reread, dir.file("site.tsn")), OpenOutcome::opened);
        EXPECT_EQ(reread.m_servers.size(), row.savedToFile ? 2u : 1u);
        Doc(started).SetModifiedFlag(false);
    }
}
