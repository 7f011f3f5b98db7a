// The progress dialog and the window's pump, apart from a run: what the run
// writes into the dialog, what the user can do with it, and what the owner
// window can do meanwhile.

#include "platform/widgets/ElidedLabel.h"
#include "upload/QtUploadUi.h"
#include "upload/UploadProgressDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "upload_dialog_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Whether a click through the window system (as a user's would come)
// reaches window: a window blocked by a modal one never sees it.
bool TakesInput(QWidget& window)
{
    int presses = 0;
    struct Counter : QObject {
        int* count;
        explicit Counter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::MouseButtonPress)
                ++*count;
            return false;
        }
    } counter(&presses);
    window.installEventFilter(&counter);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    window.removeEventFilter(&counter);
    return presses > 0;
}

struct WithApp {
    WithApp() { App(); }
};

class UploadProgressDlgTest : public ::testing::Test, private WithApp {
protected:
    void SetUp() override
    {
        owner.resize(640, 480);
        owner.move(100, 80);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    QWidget owner;
};

}  // namespace

TEST_F(UploadProgressDlgTest, ShowsEmptyCentredOverItsOwnerAndBlocksItUntilItGoes)
{
    ASSERT_TRUE(TakesInput(owner));
    {
        CUploadProgressDlg dialog(&owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.windowTitle(), "Upload Progress");
        EXPECT_EQ(dialog.size(), CUploadProgressDlg::TemplateSize(dialog.font()));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "the template's size, not resizable";
        EXPECT_TRUE(dialog.IsContinuing());
        for (CElidedLabel* label : {dialog.ServerLabel(), dialog.FileLabel(), dialog.DestinationLabel()}) {
            EXPECT_EQ(label->text(), "");
            EXPECT_FALSE(label->wordWrap());
        }
        EXPECT_EQ(dialog.ProgressBar()->value(), 0);
        for (QLabel* caption : dialog.findChildren<QLabel*>())
            if (!dynamic_cast<CElidedLabel*>(caption)) {
                EXPECT_GE(caption->width(), caption->sizeHint().width()) << caption->text().toStdString();
                EXPECT_LT(caption->geometry().right(), dialog.FileLabel()->geometry().left());
            }
        const QPoint centre = dialog.frameGeometry().center();
        EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);
        EXPECT_FALSE(TakesInput(owner)) << "the owner takes no input while the dialog lives";
        EXPECT_TRUE(TakesInput(dialog)) << "the dialog itself does";
        EXPECT_TRUE(owner.isEnabled()) << "disabling the owner would disable the dialog too";
    }
    EXPECT_TRUE(TakesInput(owner));

    // Without an owner nothing is blocked.
    CUploadProgressDlg alone(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&alone));
    EXPECT_TRUE(TakesInput(owner));
}

TEST_F(UploadProgressDlgTest, CancelEscapeAndTheCloseBoxOnlyClearTheContinueFlag)
{
    struct Way {
        const char* name;
        std::function<void(CUploadProgressDlg&)> press;
    };
    const Way ways[] = {
        {"Cancel",
         [](CUploadProgressDlg& d) {
             QPushButton* cancel = d.CancelButton();
             QTest::mouseClick(d.windowHandle(), Qt::LeftButton, {}, cancel->mapTo(&d, cancel->rect().center()));
         }},
        {"Escape", [](CUploadProgressDlg& d) { QTest::keyClick(d.windowHandle(), Qt::Key_Escape); }},
        {"close box", [](CUploadProgressDlg& d) { d.close(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        CUploadProgressDlg dialog(&owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.SetFileName("/home/anna/site/index.html");
        for (int press = 0; press < 2; ++press) {
            way.press(dialog);
            QApplication::processEvents();
            EXPECT_FALSE(dialog.IsContinuing());
            EXPECT_TRUE(dialog.isVisible()) << "the dialog waits for the run to end";
            EXPECT_EQ(dialog.FileLabel()->FullText(), "/home/anna/site/index.html");
        }
    }
}

TEST_F(UploadProgressDlgTest, LongPathsKeepTheirEndsAndTheBarFollowsTheKilobytes)
{
    CUploadProgressDlg dialog(&owner);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QString folder = "/home/anna/" + QString("very long folder name/").repeated(12);
    const QString path = folder + "index.html";
    dialog.SetFileName(path.toStdString());
    CElidedLabel& label = *dialog.FileLabel();
    EXPECT_EQ(label.toolTip(), path);
    EXPECT_TRUE(label.text().startsWith("/home/anna/")) << label.text().toStdString();
    EXPECT_TRUE(label.text().endsWith("index.html")) << label.text().toStdString();
    EXPECT_LT(label.text().size(), path.size());
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), label.contentsRect().width());
    EXPECT_LE(label.sizeHint().height(), label.fontMetrics().lineSpacing() + 2 * label.frameWidth())
        << "one line, never wrapped";
    dialog.SetServerName("ftp.example.org");
    EXPECT_EQ(dialog.ServerLabel()->text(), "ftp.example.org") << "a short text shows whole";

    struct Step {
        std::int64_t size;  // -1: no new size
        std::int64_t sent;  // -1: nothing sent yet
        int maximum;
        int value;
    };
    const Step steps[] = {
        {0, -1, 1, 0},        // an empty file: an empty bar, never the busy look
        {3000, -1, 3, 0},     {-1, 1024, 3, 1}, {-1, 2048, 3, 2}, {-1, 3000, 3, 3},
        {1, -1, 1, 0},        {-1, 1, 1, 1},    // one byte: a full bar after its block
        {std::int64_t{64} << 20, -1, 65536, 0}, // no 16-bit bound: a true bar
    };
    for (const Step& step : steps) {
        if (step.size >= 0)
            dialog.SetFileSize(step.size);
        if (step.sent >= 0)
            dialog.SetBytesSent(step.sent);
        EXPECT_EQ(dialog.ProgressBar()->maximum(), step.maximum) << step.size << " " << step.sent;
        EXPECT_EQ(dialog.ProgressBar()->value(), step.value) << step.size << " " << step.sent;
    }
}

TEST_F(UploadProgressDlgTest, ThePumpLetsWaitingEventsThroughAndReportsAQuitOnce)
{
    CQtUploadUi ui(&owner);
    EXPECT_FALSE(ui.IsRunning());
    {
        std::unique_ptr<IUploadProgress> progress = ui.CreateProgress();
        EXPECT_TRUE(ui.IsRunning());
        ASSERT_NE(ui.Dialog(), nullptr);
        EXPECT_EQ(ui.Dialog()->parentWidget(), &owner);
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        EXPECT_EQ(ui.PumpWaitingMessages(0), 0);
        EXPECT_TRUE(fired);
        ui.RequestQuit();
        EXPECT_EQ(ui.PumpWaitingMessages(0), 1);
        EXPECT_EQ(ui.PumpWaitingMessages(1), 1) << "the run may look again before it stops";
    }
    EXPECT_FALSE(ui.IsRunning());
    EXPECT_TRUE(ui.TakeQuitRequest()) << "kept for after the run";
    EXPECT_FALSE(ui.TakeQuitRequest());
    EXPECT_EQ(ui.PumpWaitingMessages(0), 0);
}
