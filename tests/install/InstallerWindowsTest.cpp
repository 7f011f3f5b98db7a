// The installer's windows on the offscreen platform: captions and owners of
// its message boxes, the message window, the licence dialog and the flows'
// interface over them.

#include "install/InstallerMessageBox.h"
#include "install/LicenseAgreementDlg.h"
#include "install/QtInstallerWindows.h"
#include "install/SelfInstallMessageDlg.h"
#include "install/SelfInstallWindow.h"
#include "install/SystemErrorText.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "tests/install/WindowTestSupport.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <cerrno>
#include <cstdlib>

namespace {

std::string DistFolder()
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/";
}

// What a Qt message box looked like when it came up, and the button pressed.
struct SeenBox {
    QWidget* parent = nullptr;
    bool enabled = false;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};


class QtBoxes {
public:
    QtBoxes() : m_previous(SetMessageBoxHandler(&m_handler)) {}
    ~QtBoxes() { SetMessageBoxHandler(m_previous); }

private:
    QtMessageBoxHandler m_handler;
    IMessageBoxHandler* m_previous;
};

}  // namespace

TEST(InstallerWindows, TheBackgroundWindowCaptionsEveryBoxItOwns)
{
    test::FakeClock clock;
    QtInstallerWindows windows("Tessarine", &clock);
    CSelfInstallWindow& window = windows.Window();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.property("windowClass").toString(), "CSelfInstallWindow");
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(128, 0, 128));
    QDialog child(&window);
    {
        test::ScriptedMessageBox boxes({IDYES});
        EXPECT_EQ(windows.InstallerMessageBox("Before it shows.", MB_YESNO | MB_ICONQUESTION), IDYES);
        EXPECT_EQ(InstallerCaption(&child), "Tessarine");
        windows.ShowWithCaption("Setup");
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Tessarine Setup");
        EXPECT_EQ(InstallerMessageBox(&child, "From a dialog.", MB_OK | MB_ICONINFORMATION), IDOK);
        errno = 0;  // the code given counts, not whatever errno holds now
        windows.ShowSystemError("Error copying the file Tessup.", ENOTDIR);
        EXPECT_EQ(InstallerMessageBox(nullptr, "Without an owner.", MB_OK), IDOK);
        const std::vector<test::ShownMessage> expected = {
            {"Tessarine", "Before it shows.", MB_YESNO | MB_ICONQUESTION},
            {"Tessarine Setup", "From a dialog.", MB_OK | MB_ICONINFORMATION},
            {"Tessarine Setup", "Error copying the file Tessup.\n\nNot a directory", MB_OK | MB_ICONEXCLAMATION},
            {"Tessarine", "Without an owner.", MB_OK},
        };
        EXPECT_EQ(boxes.shown(), expected);
    }
    window.ShowWithCaption(SW_SHOW, "Uninstall");
    EXPECT_EQ(InstallerCaption(&child), "Tessarine Uninstall");
    window.ShowWithCaption(SW_SHOW, "Setup");
    test::SaveScreenshot(window, "installer-background-window");
    // The caption is painted in white over the purple in the top-left corner.
    const QImage picture = window.grab().toImage();
    bool white = false;
    for (int y = 0; y < 80 && !white; ++y)
        for (int x = 0; x < 250 && !white; ++x)
            white = picture.pixelColor(x, y) == Qt::white;
    EXPECT_TRUE(white);
    EXPECT_EQ(picture.pixelColor(picture.width() - 5, picture.height() - 5), QColor(128, 0, 128));
    EXPECT_EQ(SystemErrorText("Error copying the file Readme.txt.", ENOSPC),
              "Error copying the file Readme.txt.\n\nNo space left on device");
}

TEST(InstallerWindows, QtBoxesBelongToTheirOwnerWithTheStylesIconAndButtons)
{
    QtBoxes qt;
    CSelfInstallWindow window("Tessarine");
    window.ShowWithCaption(SW_SHOW, "Setup");
    struct Row {
        unsigned int style;
        QMessageBox::StandardButton press;
        int answer;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    const Row rows[] = {
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK, QMessageBox::Warning, QMessageBox::Ok},
        {MB_OKCANCEL | MB_ICONEXCLAMATION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.style);
        SeenBox seen;
        test::WithNextModal([&seen, &row](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            seen = {box->parentWidget(), box->isEnabled(), box->windowTitle(), box->text(), box->icon(),
                    box->standardButtons()};
            box->button(row.press)->click();
        });
        EXPECT_EQ(InstallerMessageBox(&window, "Question?", row.style), row.answer);
        EXPECT_EQ(seen.parent, &window);
        EXPECT_EQ(seen.caption, "Tessarine Setup");
        EXPECT_EQ(seen.icon, row.icon);
        EXPECT_EQ(seen.buttons, row.buttons);
    }
}

TEST(InstallerWindows, PromptsStayUsableWhileTheMessageWindowDisablesTheirOwner)
{
    QtBoxes qt;
    test::FakeClock clock;
    CSelfInstallWindow window("Tessarine");
    window.ShowWithCaption(SW_SHOW, "Setup");
    // A window the owner owns already, and a button in the owner itself.
    QMessageBox earlier(QMessageBox::Warning, "x", "y", QMessageBox::Ok, &window);
    QPushButton button("Owner's button", &window);
    bool clicked = false;
    QObject::connect(&button, &QPushButton::clicked, [&clicked] { clicked = true; });
    {
        CSelfInstallMessageDlg message("Closing programs...", &window, clock);
        EXPECT_TRUE(CSelfInstallMessageDlg::IsOwnerDisabled(&window));
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_FALSE(clicked);  // the owner takes no input
        // Qt's own disabling would grey out every window the owner owns,
        // this message window and the prompts included.
        EXPECT_TRUE(message.isEnabled());
        EXPECT_TRUE(earlier.isEnabled());
        SeenBox seen;
        test::WithNextModal([&seen](QWidget* modal) {
            seen.enabled = modal->isEnabled();
            seen.parent = modal->parentWidget();
            seen.text = static_cast<QMessageBox*>(modal)->text();
            QTest::mouseClick(static_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel), Qt::LeftButton);
        });
        EXPECT_EQ(InstallerMessageBox(&window, "Please exit the program Tessarine.", MB_OKCANCEL | MB_ICONEXCLAMATION),
                  IDCANCEL);
        EXPECT_TRUE(seen.enabled);
        EXPECT_EQ(seen.parent, &window);
        EXPECT_EQ(seen.text, "Please exit the program Tessarine.");
        EXPECT_TRUE(CSelfInstallMessageDlg::IsOwnerDisabled(&window));  // the message window still holds it
    }
    EXPECT_FALSE(CSelfInstallMessageDlg::IsOwnerDisabled(&window));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(clicked);
}

TEST(InstallerWindows, TheMessageWindowStaysUpHalfASecondAndHoldsItsOwner)
{
    CSelfInstallWindow window("Tessarine");
    window.ShowWithCaption(SW_SHOW, "Setup");
    struct Row {
        const char* name;
        std::uint32_t shownAt;
        std::uint32_t endedAt;
        std::vector<std::uint32_t> sleeps;
    };
    const Row rows[] = {
        {"a quick step waits the rest", 1000, 1200, {300}},
        {"at once", 1000, 1000, {500}},
        {"exactly half a second", 1000, 1500, {}},
        {"a long step does not wait", 1000, 4000, {}},
        {"a wrapped tick count does not wait", 4294967000u, 100, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::FakeClock clock;
        clock.now = row.shownAt;
        {
            CSelfInstallMessageDlg message("Installing the program...", &window, clock);
            EXPECT_TRUE(message.isVisible());
            EXPECT_TRUE(CSelfInstallMessageDlg::IsOwnerDisabled(&window));
            EXPECT_EQ(message.Text(), "Installing the program...");
            EXPECT_EQ(message.property("windowClass").toString(), "CSelfInstallMessageDlg");
            EXPECT_TRUE(message.windowFlags() & Qt::FramelessWindowHint);
            if (row.sleeps == std::vector<std::uint32_t>{300})
                test::SaveScreenshot(message, "installer-message-window");
            clock.now = row.endedAt;
        }
        EXPECT_EQ(clock.sleeps, row.sleeps);
        EXPECT_FALSE(CSelfInstallMessageDlg::IsOwnerDisabled(&window));
    }
    test::FakeClock clock;
    CSelfInstallMessageDlg unowned("Uninstalling the program...", nullptr, clock);
    EXPECT_TRUE(unowned.isVisible());
}

TEST(InstallerWindows, TheLicenceDialogShowsOurLicenceAndEnterDeclines)
{
    test::FakeClock clock;
    CSelfInstallWindow window("Tessarine");
    window.ShowWithCaption(SW_SHOW, "Setup");
    {
        CSelfInstallLicenseAgreementDlg dlg(&window, DistFolder() + "License.rtf", clock);
        EXPECT_EQ(dlg.windowTitle(), "License Agreement");
        EXPECT_TRUE(dlg.TextView()->isReadOnly());
        const QTextDocument* document = dlg.TextView()->document();
        EXPECT_EQ(document->firstBlock().text(), "Tessarine Licence Agreement");
        EXPECT_TRUE(document->firstBlock().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
        EXPECT_FALSE(document->toPlainText().contains("\\par"));
        EXPECT_EQ(static_cast<QLabel*>(test::ControlById(&dlg, 1002))->text(),
                  "Do you accept the all terms of the License Agreement?  If you choose \"No\", Tessarine will "
                  "close.  You must accept this License Agreement to use Tessarine.");
        EXPECT_TRUE(dlg.NoButton()->isDefault());
        EXPECT_EQ(dlg.NoButton()->text(), "&No");
        EXPECT_EQ(dlg.YesButton()->text(), "&Yes");
        dlg.show();
        // Taking the focus selects nothing.
        dlg.TextView()->selectAll();
        dlg.TextView()->setFocus();
        QFocusEvent focus(QEvent::FocusIn);
        QApplication::sendEvent(dlg.TextView(), &focus);
        EXPECT_FALSE(dlg.TextView()->textCursor().hasSelection());
        test::SaveScreenshot(dlg, "installer-licence-dialog");
        EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{500});  // "Opening License Agreement..."
    }
    test::TempDir dir;
    test::WriteFile(dir.file("plain/License.rtf"), "Plain words.\nSecond line.\n");
    test::WriteFile(dir.file("empty/License.rtf"), "");
    struct Row {
        const char* name;
        std::string folder;
        std::function<void(QDialog*)> act;
        bool declined;
        QString text;  // the view's text, empty: not checked
    };
    const auto press = [](int key) { return [key](QDialog* dlg) { QTest::keyClick(dlg, static_cast<Qt::Key>(key)); }; };
    const auto yes = [](QDialog* dlg) { static_cast<CSelfInstallLicenseAgreementDlg*>(dlg)->YesButton()->click(); };
    const Row rows[] = {
        {"Enter declines", DistFolder(), press(Qt::Key_Return), true, ""},
        {"Escape declines", DistFolder(), press(Qt::Key_Escape), true, ""},
        {"closing declines", DistFolder(), [](QDialog* dlg) { dlg->close(); }, true, ""},
        {"Yes accepts", DistFolder(), yes, false, ""},
        {"Alt+Y accepts", DistFolder(), [](QDialog* dlg) { QTest::keyClick(dlg, Qt::Key_Y, Qt::AltModifier); }, false, ""},
        {"a missing licence can still be accepted", dir.file("none") + "/", yes, false,
         "The License Agreement could not be opened."},
        {"a plain-text licence shows as its text", dir.file("plain") + "/", yes, false, "Plain words.\nSecond line."},
        {"an empty licence", dir.file("empty") + "/", yes, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QString text;
        test::WithNextModal([&](QWidget* modal) {
            auto* dlg = static_cast<CSelfInstallLicenseAgreementDlg*>(modal);
            text = dlg->TextView()->toPlainText();
            row.act(dlg);
        });
        EXPECT_EQ(ShowLicenseAgreement(&window, row.folder, clock), row.declined);
        if (!row.text.isEmpty() || std::string(row.name) == "an empty licence") {
            EXPECT_EQ(text, row.text);
        }
    }
}
