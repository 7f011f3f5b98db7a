#include "model/TessarineDoc.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "platform/widgets/QtWaitCursor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTimer>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Clicks the button `which` of the message box once it is shown, and
// remembers what the box looked like.
struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

void ClickWhenShown(QMessageBox::StandardButton which, BoxSeen& seen)
{
    QTimer::singleShot(0, [which, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButton(box->defaultButton())};
        box->button(which)->click();
    });
}

}  // namespace

TEST(QtMessageBox, ShowsTheStyleAndAnswersWithTheButtonsId)
{
    App();
    struct Case {
        unsigned int style;
        QMessageBox::StandardButton click;
        int id;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question, QMessageBox::Yes},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QMessageBox::Yes, IDYES, QMessageBox::Question,
         QMessageBox::No},
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK, QMessageBox::Warning, QMessageBox::Ok},
        {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Information,
         QMessageBox::Ok},
    };
    QtMessageBoxHandler handler;
    IMessageBoxHandler* previous = SetMessageBoxHandler(&handler);
    for (const Case& c : cases) {
        BoxSeen seen;
        ClickWhenShown(c.click, seen);
        EXPECT_EQ(AfxMessageBox("Upload complete.", c.style), c.id);
        EXPECT_EQ(seen.title, "Tessarine");
        EXPECT_EQ(seen.text, "Upload complete.");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
    }
    SetMessageBoxHandler(previous);
}

TEST(QtWaitCursor, ShowsWhileTheContentIsReadAndGoesAfterwards)
{
    App();
    QtWaitCursor cursor;
    IWaitCursorHandler* previous = SetWaitCursorHandler(&cursor);
    {
        CWaitCursor wait;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    test::TempDir dir;
    test::WriteFile(dir.file("readme"), "text");
    EXPECT_TRUE(CTessarineDoc::IsAsciiTextFile(dir.file("readme")));
    EXPECT_FALSE(CTessarineDoc::IsAsciiTextFile(dir.file("missing")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetWaitCursorHandler(previous);
}
