// Upload from the main window against a real server: the progress dialog
// over the window, the window taking no input during the run and all of it
// again afterwards, questions answered while the dialog is up, Cancel, and
// a request to end during the run.

#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/TerminationWatcher.h"
#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/widgets/ElidedLabel.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "tests/app/AppTestSupport.h"
#include "tests/servers/TestServers.h"
#include "tests/support/TempDir.h"
#include "upload/QtUploadUi.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <filesystem>
#include <fstream>

using test::StartedApp;
using namespace res;

namespace {

// Clicks through the window system, as a user's click comes: a window
// blocked by a modal one never sees it.
void UserClick(QWidget& widget)
{
    QWidget* window = widget.window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget.mapTo(window, widget.rect().center()));
}

// Whether a user's click on the status bar reaches the frame.
bool TakesInput(CMainFrame& frame)
{
    struct Counter : QObject {
        QWidget* frame;
        int presses = 0;
        explicit Counter(QWidget* f) : frame(f) {}
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::MouseButtonPress && o->isWidgetType() &&
                static_cast<QWidget*>(o)->window() == frame)
                ++presses;
            return false;
        }
    } counter(&frame);
    qApp->installEventFilter(&counter);
    UserClick(*frame.statusBar());
    qApp->removeEventFilter(&counter);
    return counter.presses > 0;
}

// What the progress dialog showed during the run: called when it appears
// and at every new bar value.
struct DialogWatch : QObject {
    std::function<void(CUploadProgressDlg&)> onShow;
    std::function<void(CUploadProgressDlg&, int)> onBar;
    DialogWatch() { qApp->installEventFilter(this); }
    ~DialogWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* dialog = dynamic_cast<CUploadProgressDlg*>(o);
        if (dialog && e->type() == QEvent::Show) {
            QObject::connect(dialog->ProgressBar(), &QProgressBar::valueChanged, dialog,
                             [this, dialog](int value) {
                                 if (onBar)
                                     onBar(*dialog, value);
                             });
            if (onShow)
                onShow(*dialog);
        }
        return false;
    }
};

class UploadFromWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new test::PyFtpdServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        test::ForgetRegistration();
        for (const auto& entry : std::filesystem::directory_iterator(server->Root()))
            std::filesystem::remove_all(entry.path());
    }
    void TearDown() override { test::ForgetRegistration(); }

    std::string LocalFile(const std::string& name, std::size_t bytes)
    {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path;
    }
    // site.tsn with the servers (password "" means the right one) and files.
    std::string Configuration(const std::vector<std::string>& passwords, const std::vector<std::string>& files)
    {
        CTessarineDoc doc;
        int n = 0;
        for (const std::string& password : passwords)
            doc.AddServer(server->Address(), server->User(), password.empty() ? server->Password() : password,
                          "site" + std::to_string(n++));
        for (const std::string& file : files)
            doc.AddFile(file, "www", 0);
        const std::string path = dir.file("site.tsn");
        EXPECT_TRUE(SaveDocumentFile(doc, path));
        return path;
    }
    static CTessarineDoc& Doc(StartedApp& started)
    {
        return *static_cast<CTessarineDoc*>(started.app->GetDocument());
    }
    static bool Arrived(const std::string& remote)
    {
        return std::filesystem::exists(server->Root() / remote);
    }
    static void Activate(CMainFrame& frame)
    {
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    }

    static test::PyFtpdServer* server;
    test::TempDir dir;
};

test::PyFtpdServer* UploadFromWindowTest::server = nullptr;

}  // namespace

TEST_F(UploadFromWindowTest, EachWayToUploadShowsTheDialogOverAWindowThatTakesInputOnlyAfterwards)
{
    const std::string small = LocalFile("index.html", 3000);
    const std::string big = LocalFile("movie.bin", 20000);
    struct Row {
        const char* name;
        std::function<void(CMainFrame&)> start;
        std::string wrongPassword;  // empty: the right one
        bool cancelAtTwo;
        std::vector<std::string> messages;
        bool bigArrives;
    };
    const Row rows[] = {
        {"File menu, complete",
         [](CMainFrame& f) { f.CommandAction(ID_FILE_UPLOAD)->trigger(); }, "", false, {"Upload complete."}, true},
        {"Ctrl+U, Cancel when the bar reaches 2",
         [](CMainFrame& f) { QTest::keyClick(f.windowHandle(), Qt::Key_U, Qt::ControlModifier); }, "", true, {},
         false},
        {"toolbar button, the login fails",
         [](CMainFrame& f) {
             UserClick(*f.findChild<QToolBar*>()->widgetForAction(f.CommandAction(ID_FILE_UPLOAD)));
         },
         "wrong", false, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        StartedApp started({Configuration({row.wrongPassword}, {small, big})}, {IDOK});
        CMainFrame& frame = *started.frame();
        Activate(frame);
        ASSERT_TRUE(TakesInput(frame));

        DialogWatch watch;
        bool shown = false, blocked = false;
        std::vector<int> bar;
        std::vector<std::string> filesShown, destinations;
        std::string serverShown;
        watch.onShow = [&](CUploadProgressDlg& dialog) {
            shown = true;
            EXPECT_EQ(dialog.parentWidget(), &frame);
            // Looked at from the run's first pump, once the dialog is up.
            QTimer::singleShot(0, &dialog, [&] { blocked = !TakesInput(frame); });
        };
        watch.onBar = [&](CUploadProgressDlg& dialog, int value) {
            bar.push_back(value);
            filesShown.push_back(dialog.FileLabel()->FullText().toStdString());
            destinations.push_back(dialog.DestinationLabel()->FullText().toStdString());
            serverShown = dialog.ServerLabel()->FullText().toStdString();
            if (value == 10 && filesShown.back() == big)
                test::SaveScreenshot(dialog, "upload-progress");
            if (row.cancelAtTwo && value == 2 && filesShown.back() == big)
                UserClick(*dialog.CancelButton());
        };
        row.start(frame);

        EXPECT_TRUE(shown);
        EXPECT_TRUE(blocked) << "the window took input during the run";
        EXPECT_FALSE(frame.UploadUi().IsRunning());
        EXPECT_TRUE(TakesInput(frame)) << "the window takes input again";
        const std::vector<std::string> texts = started.box.texts();
        if (row.wrongPassword.empty()) {
            EXPECT_EQ(texts, row.messages);
            EXPECT_EQ(serverShown, server->Address());
            EXPECT_TRUE(Arrived("site0/www/index.html"));
            EXPECT_NE(std::find(filesShown.begin(), filesShown.end(), small), filesShown.end());
            EXPECT_NE(std::find(destinations.begin(), destinations.end(), "site0/www/movie.bin"), destinations.end());
        } else {
            ASSERT_EQ(started.box.shown().size(), 1u);
            EXPECT_EQ(started.box.shown()[0].style, static_cast<unsigned>(MB_ICONEXCLAMATION));
            EXPECT_TRUE(bar.empty());
        }
        EXPECT_EQ(Arrived("site0/www/movie.bin"), row.bigArrives);
        if (row.cancelAtTwo) {
            ASSERT_FALSE(bar.empty());
            EXPECT_EQ(bar.back(), 2) << "no block was sent after Cancel";
        } else if (row.bigArrives) {
            // The bar moved block by block over the big file: 0, 1, ... 20.
            EXPECT_EQ(bar.back(), 20);
            EXPECT_GE(bar.size(), 20u);
        }
        EXPECT_TRUE(Doc(started).IsModified()) << "every run marks the configuration modified";
        Doc(started).SetModifiedFlag(false);
    }
}

TEST_F(UploadFromWindowTest, TheRunsQuestionsAreAnsweredWhileTheDialogIsUp)
{
    const std::string missing = dir.file("gone.html");
    const std::string present = LocalFile("index.html", 1500);
    StartedApp started({Configuration({""}, {missing, present})});
    CMainFrame& frame = *started.frame();
    Activate(frame);
    // Real message boxes, answered by a user's click.
    QtMessageBoxHandler qtBox;
    IMessageBoxHandler* scripted = SetMessageBoxHandler(&qtBox);
    struct Asked {
        std::string text;
        bool dialogUp;
    };
    std::vector<Asked> asked;
    struct BoxWatch : QObject {
        std::function<void(QMessageBox&)> onShow;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (auto* box = qobject_cast<QMessageBox*>(o); box && e->type() == QEvent::Show)
                onShow(*box);
            return false;
        }
    } watch;
    watch.onShow = [&](QMessageBox& box) {
        asked.push_back({box.text().toStdString(), frame.UploadUi().IsRunning() && frame.UploadUi().Dialog()->isVisible()});
        QTimer::singleShot(0, &box, [&box] {
            QAbstractButton* yes = box.button(QMessageBox::Yes);
            UserClick(yes ? *yes : *box.button(QMessageBox::Ok));
        });
    };
    qApp->installEventFilter(&watch);
    frame.SendCommand(ID_FILE_UPLOAD);
    qApp->removeEventFilter(&watch);
    SetMessageBoxHandler(scripted);

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, missing + "\nError opening file.\n\nDo you want to continue uploading files?");
    EXPECT_TRUE(asked[0].dialogUp);
    EXPECT_EQ(asked[1].text, "Upload complete.");
    EXPECT_TRUE(Arrived("site0/www/index.html")) << "Yes went on with the next file";
    EXPECT_TRUE(TakesInput(frame));
    // The last box and the dialog gone, the keyboard is the window's again.
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &frame);
}

TEST_F(UploadFromWindowTest, ARequestToEndDuringTheRunStopsItAndThenClosesTheNormalWay)
{
    struct Row {
        const char* name;
        std::function<void()> request;
    };
    const Row rows[] = {
        {"SIGTERM", [] { raise(SIGTERM); }},
        {"the application's quit", [] { QCoreApplication::quit(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        const std::string small = LocalFile("index.html", 100);
        const std::string big = LocalFile("movie.bin", 20000);
        const std::string site = Configuration({""}, {small, big});
        StartedApp started({site}, {IDYES});
        CMainFrame& frame = *started.frame();
        Activate(frame);
        CTerminationWatcher watcher([&] { frame.close(); });
        DialogWatch watch;
        int lastBar = -1;
        watch.onBar = [&](CUploadProgressDlg& dialog, int value) {
            lastBar = value;
            if (value == 2 && dialog.FileLabel()->FullText().toStdString() == big)
                row.request();
        };
        std::vector<std::string> afterRun;
        QTimer::singleShot(0, &frame, [&] {
            frame.SendCommand(ID_FILE_UPLOAD);
            afterRun = started.box.texts();
        });
        // The program's own loop: it ends when the main window has closed.
        QTimer safety;
        safety.callOnTimeout([] { QCoreApplication::exit(1); });
        safety.start(30000);
        EXPECT_EQ(QApplication::exec(), 0) << "the window never closed";
        EXPECT_EQ(lastBar, 2) << "the run stopped at its next look";
        EXPECT_TRUE(afterRun.empty()) << "no \"Upload complete.\" for a stopped run";
        EXPECT_FALSE(frame.isVisible());
        EXPECT_EQ(started.box.texts(), std::vector<std::string>{"Save changes to site.tsn?"});
        // Yes saved what the run recorded: the small file was sent, the big one not.
        CTessarineDoc reread;
        ASSERT_EQ(OpenDocumentFile(reread, site), OpenOutcome::opened);
        ASSERT_EQ(reread.m_files.size(), 2u);
        for (const FileEntry& file : reread.m_files)
            EXPECT_EQ(file.m_timeLocal.GetTime() != 0, file.m_strFileName == small) << file.m_strFileName;
        EXPECT_TRUE(Arrived("site0/www/index.html"));
        EXPECT_FALSE(Arrived("site0/www/movie.bin"));
    }
}
