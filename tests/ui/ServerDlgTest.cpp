#include "platform/framework/MessageBox.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DialogTemplate.h"
#include "ui/ServerDlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types text into the widget with the focus; "\b" is the Backspace key.
void Type(QWidget& dialog, const std::string& text)
{
    for (char c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &dialog;
        if (c == '\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else
            QTest::keyClicks(target, QString(QChar(c)));
    }
}

// Moves the focus with a label's mnemonic, as Alt+letter does.
void Mnemonic(QWidget& dialog, Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, key, Qt::AltModifier);
}

class ServerDlgTest : public ::testing::Test {
protected:
    QApplication& app = test::UiApp();  // before any widget or timer
    test::DialogWatchdog watchdog;
};

}  // namespace

TEST_F(ServerDlgTest, OkNeedsAServerNameAndAUserName)
{
    struct Row {
        const char* name;
        const char* server;  // members before the dialog opens
        const char* user;
        const char* typeServer;  // typed into the fields afterwards
        const char* typeUser;
        bool okEnabled;
    };
    const Row rows[] = {
        {"opened empty", "", "", "", "", false},
        {"a server name alone", "", "", "ftp.example.org", "", false},
        {"a user name alone", "", "", "", "anna", false},
        {"both", "", "", "ftp.example.org", "anna", true},
        {"one space counts as a server name", "", "", " ", "anna", true},
        {"an entry without a user name", "ftp.example.org", "", "", "", false},
        {"a full entry", "ftp.example.org", "anna", "", "", true},
        {"the server name emptied again", "f", "anna", "\b", "", false},
        {"the user name emptied again", "ftp.example.org", "a", "", "\b", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CServerDlg dlg(nullptr);
        dlg.m_strServerName = row.server;
        dlg.m_strUserName = row.user;
        bool enabled = !row.okEnabled;
        test::WhenShown<CServerDlg>([&](CServerDlg& shown) {
            QLineEdit* server = FindControlAs<QLineEdit>(shown, CServerDlg::IDC_SERVER_NAME);
            QLineEdit* user = FindControlAs<QLineEdit>(shown, CServerDlg::IDC_USER_NAME);
            server->setFocus();
            server->end(false);
            Type(shown, row.typeServer);
            user->setFocus();
            user->end(false);
            Type(shown, row.typeUser);
            enabled = FindControl(shown, IDOK)->isEnabled();
            shown.reject();
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(enabled, row.okEnabled);
    }
}

TEST_F(ServerDlgTest, TypedThroughTheMnemonicsAndConfirmedWithEnter)
{
    CServerDlg dlg(nullptr);
    std::vector<int> tabOrder;
    bool masked = false;
    test::WhenShown<CServerDlg>([&](CServerDlg& shown) {
        EXPECT_EQ(QApplication::focusWidget(), FindControl(shown, CServerDlg::IDC_SERVER_NAME))
            << "the focus starts in the first field";
        Mnemonic(shown, Qt::Key_B);
        Type(shown, " www\\site ");
        Mnemonic(shown, Qt::Key_P);
        Type(shown, "s3cret");
        Mnemonic(shown, Qt::Key_U);
        Type(shown, "anna");
        Mnemonic(shown, Qt::Key_S);
        Type(shown, "ftp.example.org");
        // With both names typed OK takes part in the tab order.
        for (int i = 0; i < 6; ++i) {
            tabOrder.push_back(QApplication::focusWidget()->property("controlId").toInt());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        masked = FindControlAs<QLineEdit>(shown, CServerDlg::IDC_PASSWORD)->echoMode() == QLineEdit::Password;
        test::SaveScreenshot(shown, "server-dialog");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(tabOrder, (std::vector<int>{CServerDlg::IDC_SERVER_NAME, CServerDlg::IDC_USER_NAME,
                                          CServerDlg::IDC_PASSWORD, CServerDlg::IDC_BASE_FOLDER, IDOK, IDCANCEL}));
    EXPECT_TRUE(masked);
    EXPECT_EQ(dlg.m_strServerName, "ftp.example.org");
    EXPECT_EQ(dlg.m_strUserName, "anna");
    EXPECT_EQ(dlg.m_strPassword, "s3cret");
    EXPECT_EQ(dlg.m_strBaseFolder, " www\\site ") << "taken as typed, spaces and backslash included";
}

TEST_F(ServerDlgTest, CancelEscapeAndTheCloseBoxKeepTheMembers)
{
    const std::function<void(CServerDlg&)> endings[] = {
        [](CServerDlg&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
        [](CServerDlg& shown) { QTest::mouseClick(FindControl(shown, IDCANCEL), Qt::LeftButton); },
        [](CServerDlg& shown) { shown.close(); },
    };
    for (const auto& end : endings) {
        CServerDlg dlg(nullptr);
        dlg.m_strServerName = "ftp.example.org";
        dlg.m_strUserName = "anna";
        dlg.m_strPassword = "pw";
        test::WhenShown<CServerDlg>([&](CServerDlg& shown) {
            Type(shown, "changed");
            end(shown);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_strServerName, "ftp.example.org");
        EXPECT_EQ(dlg.m_strUserName, "anna");
        EXPECT_EQ(dlg.m_strPassword, "pw");
    }
}

TEST_F(ServerDlgTest, TextsThatAreNotUtf8SurviveAnUneditedField)
{
    CServerDlg dlg(nullptr);
    dlg.m_strServerName = "ftp.example.org";
    dlg.m_strUserName = "j\xF6rg";  // Latin-1, from a configuration written elsewhere
    dlg.m_strBaseFolder = "caf\xE9";
    test::WhenShown<CServerDlg>([&](CServerDlg& shown) {
        FindControl(shown, CServerDlg::IDC_BASE_FOLDER)->setFocus();
        Type(shown, "\b\b\b\bsite");
        QTest::mouseClick(FindControl(shown, IDOK), Qt::LeftButton);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strUserName, "j\xF6rg");
    EXPECT_EQ(dlg.m_strBaseFolder, "site");
}
