#include "platform/framework/MessageBox.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/BrowseForLocalFile.h"
#include "ui/DialogTemplate.h"
#include "ui/LocalFileDlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class LocalFileDlgTest : public ::testing::Test {
protected:
    QApplication& app = test::UiApp();  // before any widget or timer
    LocalFileDlgTest()
    {
        for (const char* name : {"index.html", "about.htm", "notes", "sub/page.htm"})
            test::WriteFile(dir.file(name), "<p>text</p>\n");
        test::WriteFile(dir.file("logo.gif"), std::string("GIF89a\0\x80", 8));
        test::WriteFile(dir.file("img/PHOTO.JPG"), std::string("\xFF\xD8\xFF", 3));
        test::WriteFile(dir.file("img/page.html"), "<p>text</p>\n");
        test::WriteFile(dir.file("img/README"), "plain\n");
        fs::current_path(dir.path());
    }
    std::string Folder() const { return dir.str() + "/"; }

    test::TempDir dir;
    test::CurrentDirGuard cwd;
    test::DialogWatchdog watchdog;
};

QLineEdit* FileField(QWidget& dlg)
{
    return FindControlAs<QLineEdit>(dlg, CLocalFileDlg::IDC_FILE_NAME);
}

int CheckedType(QWidget& dlg)
{
    if (FindControlAs<QRadioButton>(dlg, CLocalFileDlg::IDC_BINARY)->isChecked())
        return 0;
    return FindControlAs<QRadioButton>(dlg, CLocalFileDlg::IDC_ASCII)->isChecked() ? 1 : -1;
}

// The names the file box lists in the folder it shows.
QStringList ListedNames(QFileDialog& box)
{
    QStringList names;
    auto* view = box.findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

}  // namespace

TEST_F(LocalFileDlgTest, OkTakesOnlyAFileThatExistsAndGivesItsFullPath)
{
    struct Row {
        const char* typed;
        const char* accepted;  // the full path taken, relative to the folder; null: refused
    };
    const Row rows[] = {
        {"index.html", "index.html"},
        {"*.htm", "about.htm"},  // of about.htm and sub/page.htm only the first is in this folder
        {"sub/*.ht?", "sub/page.htm"},
        {"./img/../logo.gif", "logo.gif"},
        {"missing.html", nullptr},
        {"sub", nullptr},  // a folder
        {"s*", nullptr},   // only a folder matches
        {"[i]ndex.html", nullptr},  // brackets are no wildcard
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        test::ScriptedMessageBox box;
        CLocalFileDlg dlg(nullptr);
        dlg.m_nTransferType = 0;
        bool stayedOpen = false, focusInField = false;
        test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
            QTest::keyClicks(FileField(shown), QString::fromUtf8(row.typed));
            QTest::keyClick(FileField(shown), Qt::Key_Return);
            stayedOpen = shown.isVisible();
            focusInField = QApplication::focusWidget() == FileField(shown);
            if (stayedOpen)
                shown.reject();
        });
        const int result = dlg.DoModal();
        if (row.accepted) {
            EXPECT_EQ(result, IDOK);
            EXPECT_EQ(dlg.m_strFileName, Folder() + row.accepted);
            EXPECT_TRUE(box.shown().empty());
        } else {
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_TRUE(stayedOpen);
            EXPECT_TRUE(focusInField);
            const std::vector<test::ShownMessage> expected = {
                {"Tessarine", std::string(row.typed) + "\n\nThe local file does not exist.", MB_OK | MB_ICONEXCLAMATION}};
            EXPECT_EQ(box.shown(), expected);
        }
    }
}

TEST_F(LocalFileDlgTest, LeavingTheFileNameFieldProposesTheTransferType)
{
    struct Row {
        const char* name;
        const char* file;   // in the field when the dialog opens
        int chosenByHand;   // checked before the field is left
        int afterLeaving;
    };
    const Row rows[] = {
        {"a page chosen as binary", "index.html", 0, 1},
        {"a picture chosen as ASCII", "logo.gif", 1, 0},
        {"text without an extension", "notes", 0, 1},
        {"a missing file", "gone.bin", 1, 0},
        {"an empty field keeps the choice", "", 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CLocalFileDlg dlg(nullptr);
        dlg.m_strFileName = row.file;
        dlg.m_nTransferType = row.chosenByHand;
        int before = -2, after = -2;
        test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
            before = CheckedType(shown);
            FileField(shown)->setFocus();
            FindControl(shown, CLocalFileDlg::IDC_WEB_FOLDER)->setFocus(Qt::TabFocusReason);
            after = CheckedType(shown);
            shown.reject();
        });
        dlg.DoModal();
        EXPECT_EQ(before, row.chosenByHand) << "opening proposes nothing";
        EXPECT_EQ(after, row.afterLeaving);
    }
}

TEST_F(LocalFileDlgTest, EnterInTheFieldKeepsATypeChosenByHand)
{
    // Enter confirms without leaving the field: nothing is proposed.
    CLocalFileDlg dlg(nullptr);
    dlg.m_nTransferType = 0;
    test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
        QTest::keyClicks(FileField(shown), "logo.gif");
        QTest::mouseClick(FindControl(shown, CLocalFileDlg::IDC_ASCII), Qt::LeftButton);
        FileField(shown)->setFocus();
        QTest::keyClick(FileField(shown), Qt::Key_Return);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nTransferType, 1);
    EXPECT_EQ(dlg.m_strFileName, Folder() + "logo.gif");
}

TEST_F(LocalFileDlgTest, OkIsEnabledOnlyWithAFileName)
{
    CLocalFileDlg dlg(nullptr);
    std::vector<bool> states;
    test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
        QWidget* ok = FindControl(shown, IDOK);
        states.push_back(ok->isEnabled());
        QTest::keyClicks(FileField(shown), "x");
        states.push_back(ok->isEnabled());
        QTest::keyClick(FileField(shown), Qt::Key_Backspace);
        states.push_back(ok->isEnabled());
        QTest::keyClick(FileField(shown), Qt::Key_Return);  // pressing a disabled OK does nothing
        states.push_back(shown.isVisible());
        shown.reject();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(states, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(dlg.m_nTransferType, -1) << "no button checked";
}

TEST_F(LocalFileDlgTest, BrowseOpensWithTheRememberedFilterAndFolder)
{
    struct Row {
        int filterIndex;     // remembered
        const char* folder;  // remembered; empty: the current folder
        int selected;        // the filter the box opens with
        QStringList listed;  // in img/ (or the current folder)
    };
    const QStringList pages = {"page.html"};
    const QStringList images = {"PHOTO.JPG"};
    const QStringList all = {"PHOTO.JPG", "README", "page.html"};
    const Row rows[] = {
        {0, "img/", 1, pages},  {1, "img/", 1, pages}, {2, "img/", 2, images},
        {3, "img/", 3, all},    {7, "img/", 3, all},   {-4, "img/", 1, pages},
        {2, "", 2, {"img", "logo.gif", "sub"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.filterIndex);
        CLocalFileDlg dlg(nullptr);
        dlg.m_nFilterIndex = row.filterIndex;
        dlg.m_strInitialFolder = *row.folder ? Folder() + row.folder : std::string();
        QString directory, filter;
        QStringList listed;
        test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
            test::WhenShown<QFileDialog>([&](QFileDialog& box) {
                directory = box.directory().absolutePath();
                filter = box.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
                (void)QTest::qWaitFor([&] { return ListedNames(box) == row.listed; }, 5000);
                listed = ListedNames(box);
                box.reject();
            });
            QTest::mouseClick(FindControl(shown, CLocalFileDlg::IDC_BROWSE), Qt::LeftButton);
            shown.reject();
        });
        dlg.DoModal();
        const std::vector<FileFilter> filters = ParseFileFilter(CLocalFileDlg::FilterText());
        EXPECT_EQ(filter.toStdString(), filters[std::size_t(row.selected - 1)].display);
        EXPECT_EQ(directory.toStdString(), *row.folder ? Folder() + "img" : dir.str());
        EXPECT_EQ(listed, row.listed);
    }
}

TEST_F(LocalFileDlgTest, ChoosingAFileInTheBoxKeepsItsFilterAndFolder)
{
    CLocalFileDlg dlg(nullptr);
    dlg.m_nFilterIndex = 1;
    dlg.m_strInitialFolder = Folder();
    dlg.m_nTransferType = 1;
    std::string afterCancel;
    QStringList listedAfterPick;
    test::WhenShown<CLocalFileDlg>([&](CLocalFileDlg& shown) {
        // A cancelled box changes nothing.
        test::WhenShown<QFileDialog>([](QFileDialog& box) { box.reject(); });
        QTest::mouseClick(FindControl(shown, CLocalFileDlg::IDC_BROWSE), Qt::LeftButton);
        afterCancel = FileField(shown)->text().toStdString();
        test::WhenShown<QFileDialog>([&](QFileDialog& box) {
            auto* types = box.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QTest::keyClick(types, Qt::Key_Down);  // the image filter, as the user picks it
            const QStringList images = {"img", "logo.gif", "sub"};
            (void)QTest::qWaitFor([&] { return ListedNames(box) == images; }, 5000);
            listedAfterPick = ListedNames(box);
            auto* name = box.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setText(QString::fromStdString(Folder() + "img/PHOTO.JPG"));
            test::SaveScreenshot(box, "local-file-browse");
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(FindControl(shown, CLocalFileDlg::IDC_BROWSE), Qt::LeftButton);
        FindControl(shown, CLocalFileDlg::IDC_WEB_FOLDER)->setFocus();
        QTest::keyClicks(FindControl(shown, CLocalFileDlg::IDC_WEB_FOLDER), "images\\2024");
        test::SaveScreenshot(shown, "local-file-dialog");
        QTest::mouseClick(FindControl(shown, IDOK), Qt::LeftButton);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(afterCancel, "");
    EXPECT_EQ(listedAfterPick, (QStringList{"img", "logo.gif", "sub"}));
    EXPECT_EQ(dlg.m_strFileName, Folder() + "img/PHOTO.JPG");
    EXPECT_EQ(dlg.m_nTransferType, 0) << "proposed from the chosen file";
    EXPECT_EQ(dlg.m_nFilterIndex, 2);
    EXPECT_EQ(dlg.m_strInitialFolder, Folder() + "img/");
    EXPECT_EQ(dlg.m_strWebFolder, "images\\2024") << "as typed";
}
