// The destination dialog and the folder chooser behind its Browse button.

#include "install/SelfInstallDestinationDlg.h"
#include "install/SelfInstallFolderDlg.h"
#include "install/SelfInstallWindow.h"
#include "platform/registry/RegistryLocation.h"
#include "platform/registry/RegistryStore.h"
#include "tests/install/WindowTestSupport.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

class FixedFreeSpace : public IFreeSpaceSource {
public:
    explicit FixedFreeSpace(std::optional<std::uint64_t> kilobytes) : m_kilobytes(kilobytes) {}
    bool FreeKilobytes(const std::string& folder, std::uint64_t& kilobytes) override
    {
        asked.push_back(folder);
        kilobytes = m_kilobytes.value_or(0);
        return m_kilobytes.has_value();
    }
    std::vector<std::string> asked;

private:
    std::optional<std::uint64_t> m_kilobytes;
};

const std::vector<std::string> kFiles = {"Readme.txt", "Tessup", "Tessup.hlp", "Tessup.cnt"};

class DestinationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = dir.file("dist") + "/";
        test::WriteFile(source + "Tessup", std::string(5000, 'p'));
        test::WriteFile(source + "Readme.txt", std::string(100, 'r'));
        window.ShowWithCaption(SW_SHOW, "Setup");
        sources.freeSpace = &freeSpace;
        sources.clock = &clock;
        sources.mounts = {{"/dev/sda1", "/", "ext4"}, {"proc", "/proc", "proc"}, {"/dev/sdb1", dir.str(), "ext4"}};
    }

    // Runs ChooseDestination with act done in the dialog; the cancel result.
    bool Choose(std::string& folder, std::function<void(CSelfInstallDestinationDlg*)> act)
    {
        test::WithNextModal([act](QWidget* modal) { act(static_cast<CSelfInstallDestinationDlg*>(modal)); });
        return ChooseDestination(&window, folder, source, "Tessarine", kFiles, sources);
    }

    test::TempDir dir;
    std::string source;
    CSelfInstallWindow window{"Tessarine"};
    FixedFreeSpace freeSpace{3};  // a nearly full file system
    test::FakeClock clock;
    DestinationSources sources;
};

void Install(CSelfInstallDestinationDlg* dlg)
{
    static_cast<QPushButton*>(dlg->Control(IDOK))->click();
}

}  // namespace

TEST_F(DestinationTest, ProposesTheProgramFilesFolderAndShowsItsFigures)
{
    // A fresh store holds ProgramFilesDir (~/.local/opt).
    std::string folder;
    std::map<int, QString> texts;
    QString caption;
    test::ScriptedMessageBox boxes({IDYES});
    EXPECT_FALSE(Choose(folder, [&](CSelfInstallDestinationDlg* dlg) {
        caption = dlg->windowTitle();
        for (const int id : {1013, 1014, 1001, 1002, 1003, 1005, IDOK, IDCANCEL})
            texts[id] = dlg->ControlText(id);
        for (const int id : {1009, 1010, 1004, 1011, 1007, 1008})
            EXPECT_TRUE(dlg->Control(id)->isHidden()) << id;
        EXPECT_TRUE(static_cast<QLineEdit*>(dlg->Control(1014))->isReadOnly());
        test::SaveScreenshot(*dlg, "installer-destination-dialog");
        Install(dlg);
    }));
    const std::string proposed = HomeFolder() + "/.local/opt/Tessarine";
    EXPECT_EQ(folder, proposed);
    EXPECT_EQ(caption, "Choose Destination Location");
    EXPECT_EQ(texts[1013], "Setup will install the Tessarine files in the following folder.  If the folder does "
                           "not exist, it will be created.");
    EXPECT_EQ(texts[1014], QString::fromStdString(proposed));
    EXPECT_EQ(texts[1001], "5 KB");  // 5100 bytes rounded up, the help files missing
    EXPECT_EQ(texts[1002], "3 KB");
    EXPECT_EQ(texts[1003], "/");
    EXPECT_EQ(texts[1005], "B&rowse...");
    EXPECT_EQ(texts[IDOK], "&Install");
    EXPECT_EQ(texts[IDCANCEL], "Cancel");
    EXPECT_EQ(freeSpace.asked, std::vector<std::string>{proposed + "/"});
    // The folder does not exist yet: asked, and created later by the flow.
    EXPECT_EQ(boxes.shown(), (std::vector<test::ShownMessage>{
                                 {"Tessarine Setup", "The folder \"" + proposed + "\" doesn't exist.  Do you want to create it?",
                                  MB_YESNO | MB_ICONQUESTION}}));
}

TEST_F(DestinationTest, WithoutProgramFilesTheSourceFolderIsProposed)
{
    RegistryStore& store = RegistryStore::Default();
    RegistryValue saved;
    ASSERT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", saved), ERROR_SUCCESS);
    ASSERT_EQ(store.DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"), ERROR_SUCCESS);
    std::string folder;
    QString needed;
    EXPECT_FALSE(Choose(folder, [&](CSelfInstallDestinationDlg* dlg) {
        needed = dlg->ControlText(1001);
        Install(dlg);
    }));
    EXPECT_EQ(folder, source);
    EXPECT_EQ(needed, "0 KB");  // installing over the same files adds nothing
    store.SetValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", saved.type, saved.data.data(),
                   static_cast<DWORD>(saved.data.size()));
}

TEST_F(DestinationTest, InstallRefusesTheRootAndAsksBeforeANewFolder)
{
    fs::create_directories(dir.path() / "existing");
    test::WriteFile(dir.file("existing/Tessup"), std::string(1000, 'o'));
    struct Row {
        const char* name;
        std::string folder;
        std::deque<int> answers;
        bool staysOpen;
        std::vector<std::string> texts;
        QString needed, drive, available;
    };
    const std::string root = "You cannot install this program in the root directory.  Please select a different directory.";
    const std::string fresh = dir.file("new/sub");
    const Row rows[] = {
        {"the root", "/", {IDOK}, true, {root}, "", "/", "3 KB"},
        {"the root written twice", "//", {IDOK}, true, {root}, "", "/", "3 KB"},
        {"the root with a dot", "/./", {IDOK}, true, {root}, "", "/", "3 KB"},
        {"an existing folder", dir.file("existing"), {}, false, {}, "5 KB", QString::fromStdString(dir.str()), "3 KB"},
        {"an existing folder with its separator", dir.file("existing") + "/", {}, false, {}, "5 KB",
         QString::fromStdString(dir.str()), "3 KB"},
        {"a new folder, No", fresh, {IDNO}, true,
         {"The folder \"" + fresh + "\" doesn't exist.  Do you want to create it?"}, "5 KB",
         QString::fromStdString(dir.str()), "3 KB"},
        {"a new folder, Yes", fresh + "/", {IDYES}, false,
         {"The folder \"" + fresh + "\" doesn't exist.  Do you want to create it?"}, "5 KB",
         QString::fromStdString(dir.str()), "3 KB"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::ScriptedMessageBox boxes(row.answers);
        std::string folder = row.folder;
        bool stayed = false;
        QString needed, drive, available;
        const bool cancelled = Choose(folder, [&](CSelfInstallDestinationDlg* dlg) {
            needed = dlg->ControlText(1001);
            drive = dlg->ControlText(1003);
            available = dlg->ControlText(1002);
            Install(dlg);
            stayed = dlg->isVisible();
            if (stayed)
                static_cast<QPushButton*>(dlg->Control(IDCANCEL))->click();
        });
        EXPECT_EQ(cancelled, row.staysOpen);
        EXPECT_EQ(stayed, row.staysOpen);
        EXPECT_EQ(boxes.texts(), row.texts);
        for (const test::ShownMessage& shown : boxes.shown())
            EXPECT_EQ(shown.caption, "Tessarine Setup");
        if (!row.needed.isEmpty()) {
            EXPECT_EQ(needed, row.needed);
        }
        EXPECT_EQ(drive, row.drive);
        EXPECT_EQ(available, row.available);
        if (!row.staysOpen) {
            EXPECT_EQ(folder, row.folder);  // the box's text as it was, separator and all
        }
    }
    FixedFreeSpace unknown(std::nullopt);
    sources.freeSpace = &unknown;
    std::string folder = dir.file("existing");
    QString available;
    EXPECT_TRUE(Choose(folder, [&](CSelfInstallDestinationDlg* dlg) {
        available = dlg->ControlText(1002);
        dlg->reject();
    }));
    EXPECT_EQ(available, "unknown");
}

TEST_F(DestinationTest, BrowseOpensTheFolderChooserAndTakesItsFolder)
{
    fs::create_directories(dir.path() / "apps/tools/bin");
    fs::create_directories(dir.path() / "apps/tools/ lead blank");
    const std::string tools = fs::canonical(dir.path() / "apps/tools").string();
    std::string folder = tools + "/not/made";
    std::vector<QString> lines;
    QString caption, drives, afterPick, afterType;
    std::string chosen;
    EXPECT_TRUE(Choose(folder, [&](CSelfInstallDestinationDlg* dlg) {
        test::WithNextModal([&](QWidget* modal) {
            auto* chooser = static_cast<CSelfInstallFolderDlg*>(modal);
            caption = chooser->windowTitle();
            for (int i = 0; i < chooser->FolderList()->count(); ++i)
                lines.push_back(chooser->FolderList()->item(i)->text());
            for (int i = 0; i < chooser->DriveList()->count(); ++i)
                drives += chooser->DriveList()->itemText(i) + ";";
            EXPECT_EQ(chooser->FolderEdit()->text().toStdString(), tools + "/not/made");
            EXPECT_EQ(chooser->CurrentFolder(), tools);  // opened as deep as it exists
            test::SaveScreenshot(*chooser, "installer-folder-dialog");
            // The second line is the first folder below the root.
            chooser->FolderList()->setCurrentRow(1);
            afterPick = chooser->FolderEdit()->text();
            chooser->FolderList()->setCurrentRow(chooser->FolderList()->count() - 2);
            chooser->FolderEdit()->clear();
            QTest::keyClicks(chooser->FolderEdit(), "~/Programs/Tessarine");
            afterType = QString::fromStdString(chooser->m_strFolder);
            static_cast<QPushButton*>(test::ControlById(chooser, IDOK))->click();
        });
        static_cast<QPushButton*>(dlg->Control(1005))->click();
        chosen = dlg->ControlText(1014).toStdString();
        dlg->reject();
    }));
    EXPECT_EQ(caption, "Choose Folder");
    const fs::path parts = fs::path(tools).relative_path();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(std::distance(parts.begin(), parts.end())) + 3);
    EXPECT_EQ(lines.front(), "/");
    EXPECT_EQ(lines.back().trimmed(), "bin");
    EXPECT_EQ(lines[lines.size() - 2].trimmed(), "lead blank");
    EXPECT_EQ(drives, QString::fromStdString("/;" + dir.str() + ";"));
    EXPECT_EQ(afterPick.toStdString(), "/" + parts.begin()->string());
    EXPECT_EQ(afterType, "~/Programs/Tessarine");
    EXPECT_EQ(chosen, HomeFolder() + "/Programs/Tessarine");  // made absolute at OK
}

TEST(FolderDialog, EachLineOfTheListGivesItsFullPath)
{
    struct Row {
        std::string current;
        int n;
        std::string item;
        std::string path;
    };
    const Row rows[] = {
        {"/apps/tools", 0, "/", "/"},
        {"/apps/tools", 1, "apps", "/apps"},
        {"/apps/tools", 2, "tools", "/apps/tools"},
        {"/apps/tools", 3, "bin", "/apps/tools/bin"},
        {"/", 1, "home", "/home"},
        {"/a b/c", 2, " c d", "/a b/ c d"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CSelfInstallFolderDlg::PathOfLine(row.current, row.n, row.item), row.path) << row.current << row.n;
}

TEST(FolderDialog, OpeningALineOrADriveShowsThatFolder)
{
    test::TempDir dir;
    fs::create_directories(dir.path() / "disk/apps/tools");
    const std::string disk = fs::canonical(dir.path() / "disk").string();
    CSelfInstallFolderDlg dlg(nullptr, {{"a", "/", "ext4"}, {"b", disk, "ext4"}, {"c", "/sys", "sysfs"}});
    dlg.m_strFolder = disk + "/apps";
    test::WithNextModal([&](QWidget*) {
        QListWidget* list = dlg.FolderList();
        ASSERT_EQ(list->item(list->count() - 1)->data(Qt::UserRole).toString(), "tools");
        // A double click (or Enter) on a line opens it.
        list->setCurrentRow(list->count() - 1);
        emit list->itemActivated(list->currentItem());
        EXPECT_EQ(dlg.CurrentFolder(), disk + "/apps/tools");
        EXPECT_EQ(dlg.FolderEdit()->text().toStdString(), disk + "/apps/tools");
        // Choosing a drive opens its mount point; the Folder box keeps its text.
        ASSERT_EQ(dlg.DriveList()->count(), 2);
        EXPECT_EQ(dlg.DriveList()->currentText().toStdString(), disk);
        dlg.DriveList()->setCurrentIndex(0);
        emit dlg.DriveList()->activated(0);
        EXPECT_EQ(dlg.CurrentFolder(), "/");
        EXPECT_EQ(dlg.FolderList()->item(0)->text(), "/");
        EXPECT_EQ(dlg.FolderEdit()->text().toStdString(), disk + "/apps/tools");
        dlg.reject();
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}
