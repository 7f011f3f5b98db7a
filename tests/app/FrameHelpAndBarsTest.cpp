// The frame's bars and help, and how it ends when asked to from outside.

#include "app/AdvertisementBar.h"
#include "app/FrameCommands.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/ResourcePictures.h"
#include "app/TerminationWatcher.h"
#include "model/TessarineDoc.h"
#include "ui/TessarineView.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QDockWidget>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <cstdlib>

using test::StartedApp;
using namespace res;

namespace {

std::string ShippedHelp()
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/Tessup.hlp";
}

// Lets events through until done() holds, for a bounded number of rounds.
bool ProcessUntil(const std::function<bool()>& done)
{
    for (int round = 0; round < 200 && !done(); ++round)
        QTest::qWait(10);
    return done();
}

class FrameHelpAndBarsTest : public ::testing::Test {
protected:
    void SetUp() override { test::ForgetRegistration(); }
    void TearDown() override { test::ForgetRegistration(); }
    test::TempDir dir;
};

}  // namespace

TEST_F(FrameHelpAndBarsTest, TheAdvertisementBarIsMadeWithTheFrameAndHiddenAndTheToolbarShowsTheStrip)
{
    StartedApp started({});
    CMainFrame& frame = *started.frame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    auto* dock = qobject_cast<QDockWidget*>(frame.GetControlBar(ID_ADVERTISEMENT_BAR));
    ASSERT_NE(dock, nullptr);
    CAdvertisementBar* bar = frame.AdvertisementBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(dock->isVisible());
    EXPECT_EQ(dock->windowTitle(), "Please click on the advertisement");
    EXPECT_EQ(bar->windowTitle(), "Please click on the advertisement");
    EXPECT_EQ(frame.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    EXPECT_EQ(dock->allowedAreas(), Qt::BottomDockWidgetArea);
    EXPECT_EQ(bar->link().controlId(), 1022);
    EXPECT_EQ(bar->link().bitmapRect().size(), QSize(220, 27));
    EXPECT_TRUE(bar->rect().contains(bar->link().geometry())) << "the bar grew to hold its link";
    // Start-up hid the bar, but the frame's minimum counts only the others.
    const QSize minimum = frame.minimumSize();
    frame.resize(minimum + QSize(80, 80));  // room for the bar below the form
    frame.ShowControlBar(ID_ADVERTISEMENT_BAR, true, false);
    ProcessUntil([&] { return dock->geometry().top() >= frame.centralWidget()->geometry().bottom(); });
    EXPECT_TRUE(bar->link().isVisible());
    const QRect view = frame.centralWidget()->geometry();
    const QRect docked = dock->geometry();
    EXPECT_GE(docked.top(), view.bottom()) << "under the view";
    EXPECT_LE(docked.bottom(), frame.statusBar()->geometry().top()) << "above the status bar";
    frame.UpdateMinimumSize();
    EXPECT_EQ(frame.minimumSize(), minimum);
    test::SaveScreenshot(frame, "main-window-advertisement");

    // The toolbar's pictures are the drawn strip's, in button order.
    int picture = 0;
    for (QAction* action : frame.findChild<QToolBar*>()->actions()) {
        if (action->isSeparator())
            continue;
        const QImage shown = action->icon().pixmap(QSize(16, 15)).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage strip = ToolbarButtonPixmap(static_cast<ToolbarImage>(picture++)).toImage().convertToFormat(
            QImage::Format_ARGB32);
        EXPECT_EQ(shown, strip) << action->toolTip().toStdString();
    }
    EXPECT_EQ(picture, static_cast<int>(ToolbarImage::Count));
}

TEST_F(FrameHelpAndBarsTest, HelpTopicsF1AndContextHelpOpenTheTopicOfWhatWasChosen)
{
    test::WriteConfiguration(dir.file("site.tsn"));
    StartedApp started({dir.file("site.tsn")});
    started.app->m_pszHelpFilePath = ShippedHelp();
    CMainFrame& frame = *started.frame();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    frame.SendCommand(ID_HELP_FINDER);
    CHelpWindow& help = frame.HelpWindow();
    ASSERT_TRUE(help.IsLoaded());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    auto* contents = help.findChild<QListWidget*>();
    for (int row = 0; row < contents->count(); ++row) {
        const QString title = contents->item(row)->text();
        EXPECT_LE(contents->fontMetrics().horizontalAdvance(title), contents->viewport()->width())
            << "cut off: " << title.toStdString();
    }
    test::SaveScreenshot(help, "help-contents");

    // F1: the topic of the window with the focus.
    struct F1Row {
        const char* name;
        QWidget* focus;
        int topic;
    };
    help.close();
    frame.centralWidget()->setFocusPolicy(Qt::StrongFocus);
    frame.statusBar()->setFocusPolicy(Qt::StrongFocus);
    for (const F1Row& row :
         {F1Row{"in the view", frame.centralWidget(), 2}, F1Row{"a control without a topic", frame.statusBar(), 1}}) {
        help.close();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        row.focus->setFocus();
        QTest::keyClick(frame.windowHandle(), Qt::Key_F1);
        EXPECT_EQ(help.CurrentTopic(), row.topic) << row.name;
    }
    // F1 in a dialog over the window, which blocks the window's own F1:
    // the dialog's topic, and the dialog stays open.
    struct DialogRow {
        const char* name;
        std::function<void()> open;
        int topic;
    };
    const DialogRow dialogs[] = {
        {"server dialog", [&] { frame.View()->OnServerAdd(); }, 3},
        {"local file dialog", [&] { frame.View()->OnFileAdd(); }, 4},
        {"About box", [&] { frame.SendCommand(ID_APP_ABOUT); }, 57664},
    };
    for (const DialogRow& row : dialogs) {
        SCOPED_TRACE(row.name);
        help.close();
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, Qt::Key_F1);
            stayedOpen = dialog->isVisible();
            dialog->close();
        });
        row.open();
        EXPECT_EQ(help.CurrentTopic(), row.topic);
        EXPECT_TRUE(help.isVisible());
        EXPECT_TRUE(stayedOpen);
    }

    // F1 in an open menu: the highlighted command's topic.
    QMenu* file = frame.FileMenu();
    file->popup(frame.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    file->setActiveAction(frame.CommandAction(ID_FILE_SAVE));
    QTest::keyClick(file, Qt::Key_F1);
    EXPECT_EQ(help.CurrentTopic(), 57603);
    EXPECT_FALSE(file->isVisible());

    // Shift+F1, then a click or a command: its topic, and nothing else
    // happens (no upload, no save question for the modified configuration).
    CTessarineDoc& doc = *static_cast<CTessarineDoc*>(started.app->GetDocument());
    ASSERT_TRUE(doc.AddServer("ftp.other.org", "bob", "pw", ""));
    QWidget* uploadButton = frame.findChild<QToolBar*>()->widgetForAction(frame.CommandAction(ID_FILE_UPLOAD));
    struct PickRow {
        const char* name;
        std::function<void()> pick;
        int topic;
    };
    const PickRow picks[] = {
        {"toolbar button", [&] { QTest::mouseClick(uploadButton, Qt::LeftButton); }, 32771},
        {"menu command", [&] { frame.CommandAction(ID_FILE_NEW)->trigger(); }, 57600},
        {"the view", [&] { QTest::mouseClick(frame.centralWidget(), Qt::LeftButton); }, 2},
    };
    for (const PickRow& row : picks) {
        SCOPED_TRACE(row.name);
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(frame.windowHandle(), Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_TRUE(frame.InHelpMode());
        EXPECT_EQ(frame.IdleText(), "Select an object on which to get Help");
        row.pick();
        EXPECT_FALSE(frame.InHelpMode());
        EXPECT_EQ(frame.IdleText(), "For Help, press F1");
        EXPECT_EQ(help.CurrentTopic(), row.topic);
    }
    EXPECT_TRUE(started.box.shown().empty());
    EXPECT_EQ(doc.m_servers.size(), 2u);
}

TEST_F(FrameHelpAndBarsTest, PrintSetupOpensThePrinterChoice)
{
    StartedApp started({});
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            EXPECT_NE(button->text(), "&Print") << "setting up prints nothing";
        test::SaveScreenshot(*dialog, "print-setup");
        dialog->close();
    });
    started.frame()->SendCommand(ID_FILE_PRINT_SETUP);
    EXPECT_EQ(title, "Print Setup");
}

TEST_F(FrameHelpAndBarsTest, ATerminationSignalClosesTheWindowTheNormalWay)
{
    test::WriteConfiguration(dir.file("site.tsn"));
    StartedApp started({dir.file("site.tsn")}, {IDCANCEL, IDNO});
    CMainFrame& frame = *started.frame();
    CTessarineDoc& doc = *static_cast<CTessarineDoc*>(started.app->GetDocument());
    ASSERT_TRUE(doc.AddServer("ftp.other.org", "bob", "pw", ""));
    struct sigaction before = {};
    {
        CTerminationWatcher watcher([&] { frame.close(); });
        ASSERT_TRUE(watcher.IsWatching());
        raise(SIGTERM);
        ASSERT_TRUE(ProcessUntil([&] { return started.box.shown().size() == 1; }));
        EXPECT_EQ(started.box.texts(), std::vector<std::string>{"Save changes to site.tsn?"});
        EXPECT_TRUE(frame.isVisible()) << "Cancel keeps the program";
        raise(SIGTERM);
        ASSERT_TRUE(ProcessUntil([&] { return !frame.isVisible(); }));
        EXPECT_EQ(started.box.shown().size(), 2u);
    }
    sigaction(SIGTERM, nullptr, &before);
    EXPECT_EQ(before.sa_handler, SIG_DFL) << "the earlier handling is back";
}
