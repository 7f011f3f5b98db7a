#include "model/TessarineDoc.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "platform/widgets/QtWaitCursor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Saves what a widget shows under build/screenshots/, to be looked at.
void SaveScreenshot(QWidget& widget, const QString& name)
{
    const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR");
    if (folder)
        widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}

// Clicks the button `which` of the message box once it is shown, and
// remembers what the box looked like (and saves a picture of it).
struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

void ClickWhenShown(QMessageBox::StandardButton which, BoxSeen& seen, const QString& screenshot)
{
    QTimer::singleShot(0, [which, &seen, screenshot] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButton(box->defaultButton())};
        SaveScreenshot(*box, screenshot);
        box->button(which)->click();
    });
}

}  // namespace

// The one application object of this test program, for the other files.
QApplication& WidgetsTestApp()
{
    return App();
}

TEST(QtMessageBox, ShowsTheStyleAndAnswersWithTheButtonsId)
{
    App();
    struct Case {
        const char* text;
        unsigned int style;
        QMessageBox::StandardButton click;
        int id;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    };
    const Case cases[] = {
        {"www/images\nError creating folder.\n\nDo you want to continue uploading files?",
         MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question, QMessageBox::Yes},
        {"Do you want to continue?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QMessageBox::Yes, IDYES, QMessageBox::Question,
         QMessageBox::No},
        {"This file is not a Tessarine file or the file is corrupt.", MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK, QMessageBox::Warning, QMessageBox::Ok},
        {"Upload complete.", MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Information,
         QMessageBox::Ok},
    };
    QtMessageBoxHandler handler;
    IMessageBoxHandler* previous = SetMessageBoxHandler(&handler);
    int shown = 0;
    for (const Case& c : cases) {
        BoxSeen seen;
        ClickWhenShown(c.click, seen, QString("message-box-%1").arg(++shown));
        EXPECT_EQ(AfxMessageBox(c.text, c.style), c.id);
        EXPECT_EQ(seen.title, "Tessarine");
        EXPECT_EQ(seen.text, c.text);
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
