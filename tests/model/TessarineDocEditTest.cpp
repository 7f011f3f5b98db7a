#include "model/EntryDialogs.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MemoryListCtrl.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kServerExists = "The web site FTP server already exists.";
constexpr const char* kFileExists = "The local file to upload already exists.";

class CountingView : public CView {
public:
    void OnUpdate(CView*, long, CObject*) override { ++updates; }
    int updates = 0;
};

// Runs no window: records what each dialog was given, then answers as told,
// changing the values first when the answer is OK.
class ScriptedDialogs : public IEntryDialogs {
public:
    int RunServerDlg(ServerDlgValues& values) override
    {
        shownServer.push_back(values);
        if (answer == IDOK && editServer)
            editServer(values);
        return answer;
    }
    int RunLocalFileDlg(LocalFileDlgValues& values) override
    {
        shownFile.push_back(values);
        folderWhileShown.push_back(fs::current_path().string());
        if (answer == IDOK && editFile)
            editFile(values);
        return answer;
    }

    int answer = IDOK;
    std::function<void(ServerDlgValues&)> editServer;
    std::function<void(LocalFileDlgValues&)> editFile;
    std::vector<ServerDlgValues> shownServer;
    std::vector<LocalFileDlgValues> shownFile;
    std::vector<std::string> folderWhileShown;
};

class DocEditTest : public ::testing::Test {
protected:
    DocEditTest()
    {
        doc.OnNewDocument();
        doc.AddView(&view);
    }
    ~DocEditTest() override { doc.RemoveView(&view); }

    // Marks the document clean and forgets what was shown so far, so a test
    // sees only what its own step did.
    void Settle()
    {
        doc.SetModifiedFlag(false);
        view.updates = 0;
        box.Clear();
    }
    void AddServers(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            ASSERT_TRUE(doc.AddServer(name, "user", "pw", ""));
        Settle();
    }
    void AddFiles(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            ASSERT_TRUE(doc.AddFile(name, "www", 0));
        Settle();
    }
    // Selects, in a freshly filled list, the rows of the entries at indices.
    static void SelectEntries(CMemoryListCtrl& list, const std::vector<int>& indices)
    {
        for (int index : indices)
            ASSERT_TRUE(list.SelectItemWithData(index));
    }
    void ExpectUnchangedAndQuiet()
    {
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(view.updates, 0);
    }
    // After an add: changed and quiet, or refused with the duplicate notice
    // and unchanged; then settled for the next add.
    void ExpectAddOutcome(bool added, const char* notice, const char* what)
    {
        if (added) {
            EXPECT_TRUE(box.shown().empty()) << what;
            ExpectChanged();
        } else {
            EXPECT_EQ(box.shown(), (std::vector<test::ShownMessage>{{"Tessarine", notice, MB_OK | MB_ICONINFORMATION}}))
                << what;
            ExpectUnchangedAndQuiet();
        }
        Settle();
    }
    void ExpectChanged()
    {
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(view.updates, 1);
    }
    std::vector<std::string> ServerNames() const
    {
        std::vector<std::string> names;
        for (const ServerEntry& s : doc.m_servers)
            names.push_back(s.m_strServerName);
        return names;
    }
    std::vector<std::string> FileNames() const
    {
        std::vector<std::string> names;
        for (const FileEntry& f : doc.m_files)
            names.push_back(f.m_strFileName);
        return names;
    }

    test::ScriptedMessageBox box;
    CTessarineDoc doc;
    CountingView view;
    ScriptedDialogs dialogs;
    CMemoryListCtrl list;
};

}  // namespace

TEST_F(DocEditTest, AddServerRefusesDuplicatesAsTypedWithoutCaseOrPassword)
{
    ASSERT_TRUE(doc.AddServer("ftp.example.com", "anna", "secret", "www\\site"));
    EXPECT_EQ(doc.m_servers[0].m_strBaseFolder, "www/site");
    Settle();
    struct Case {
        const char* what;
        const char* name;
        const char* user;
        const char* password;
        const char* folder;
        bool added;
    };
    const Case cases[] = {
        {"letter case only", "FTP.Example.COM", "ANNA", "secret", "WWW/Site", false},
        {"password only", "ftp.example.com", "anna", "other", "www/site", false},
        {"folder typed with \\ against stored /", "ftp.example.com", "anna", "secret", "www\\site", false},
        {"... in letter case too", "ftp.example.com", "anna", "secret", "WWW\\Site", false},
        {"other user", "ftp.example.com", "bert", "secret", "www/site", true},
        {"other folder", "ftp.example.com", "anna", "secret", "www", true},
        {"non-ASCII letters keep their case", "ftp.\xC3\xA9xample.com", "anna", "", "", true},
        {"... so they differ", "ftp.\xC3\x89xample.com", "anna", "", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.AddServer(c.name, c.user, c.password, c.folder), c.added) << c.what;
        ExpectAddOutcome(c.added, kServerExists, c.what);
    }
    ASSERT_EQ(doc.m_servers.size(), 5u);
    EXPECT_EQ(doc.m_servers[1].m_strUserName, "bert");
    EXPECT_EQ(doc.m_servers[0].m_strPassword, "secret");
    for (const ServerEntry& s : doc.m_servers)
        EXPECT_EQ(s.m_wFlags, 0);
}

TEST_F(DocEditTest, AddFileRefusesDuplicatesAsTypedWhateverTheType)
{
    ASSERT_TRUE(doc.AddFile("/home/anna/site/index.html", "www\\pages", 1));
    EXPECT_EQ(doc.m_files[0].m_strWebFolder, "www/pages");
    EXPECT_EQ(doc.m_files[0].m_wFlags, FILE_ASCII);
    Settle();
    struct Case {
        const char* what;
        const char* name;
        const char* folder;
        int type;
        bool added;
    };
    const Case cases[] = {
        {"letter case only", "/HOME/anna/Site/INDEX.html", "WWW/pages", 1, false},
        {"other type", "/home/anna/site/index.html", "www/pages", 0, false},
        {"folder typed with \\", "/home/anna/site/index.html", "www\\pages", 1, false},
        {"\\ in a file name is a byte of the name", "/home/anna/site\\index.html", "www/pages", 1, true},
        {"... and found again", "/home/anna/site\\index.html", "www\\pages", 0, false},
        {"other folder", "/home/anna/site/index.html", "", 7, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.AddFile(c.name, c.folder, c.type), c.added) << c.what;
        ExpectAddOutcome(c.added, kFileExists, c.what);
    }
    ASSERT_EQ(doc.m_files.size(), 3u);
    EXPECT_EQ(doc.m_files[2].m_wFlags, 0);  // any type but 1 is binary
    EXPECT_EQ(doc.m_files[2].m_timeLocal, CTime(0));
    EXPECT_EQ(doc.m_files[2].m_dwLocalSize, 0u);
}

TEST_F(DocEditTest, EditServerFillsTheDialogAndDoesNotCompareTheEntryWithItself)
{
    ASSERT_TRUE(doc.AddServer("beta", "bert", "pw-b", "b"));
    ASSERT_TRUE(doc.AddServer("alpha", "anna", "pw-a", "a/x"));
    Settle();
    doc.FillServerList(list);
    SelectEntries(list, {1});
    ASSERT_EQ(list.GetSelectedCount(), 1);

    EXPECT_TRUE(doc.EditServer(dialogs, list));  // OK without a change
    ASSERT_EQ(dialogs.shownServer.size(), 1u);
    const ServerDlgValues& shown = dialogs.shownServer[0];
    EXPECT_EQ(shown.m_strServerName, "alpha");
    EXPECT_EQ(shown.m_strPassword, "pw-a");
    EXPECT_EQ(shown.m_strUserName, "anna");
    EXPECT_EQ(shown.m_strBaseFolder, "a/x");
    ExpectChanged();
    Settle();

    dialogs.editServer = [](ServerDlgValues& v) {
        v.m_strServerName = "Beta";
        v.m_strUserName = "BERT";
        v.m_strBaseFolder = "B";
    };
    doc.FillServerList(list);
    SelectEntries(list, {1});
    EXPECT_FALSE(doc.EditServer(dialogs, list));  // now the same as entry 0
    EXPECT_EQ(box.texts(), std::vector<std::string>{kServerExists});
    EXPECT_EQ(doc.m_servers[1].m_strServerName, "alpha");
    ExpectUnchangedAndQuiet();

    dialogs.editServer = [](ServerDlgValues& v) {
        v.m_strServerName = "gamma";
        v.m_strPassword = "new";
        v.m_strBaseFolder = "g\\h";
    };
    doc.FillServerList(list);
    SelectEntries(list, {1});
    EXPECT_TRUE(doc.EditServer(dialogs, list));
    EXPECT_EQ(doc.m_servers[1], (ServerEntry{"gamma", "anna", "new", "g/h", 0}));
    EXPECT_EQ(doc.m_servers[0].m_strServerName, "beta");
}

TEST_F(DocEditTest, EditServerNeedsExactlyOneSelectedRowWithAValidIndex)
{
    AddServers({"b", "a", "c"});
    doc.FillServerList(list);
    EXPECT_FALSE(doc.EditServer(dialogs, list));  // none selected
    SelectEntries(list, {0, 2});
    EXPECT_FALSE(doc.EditServer(dialogs, list));  // two selected
    EXPECT_TRUE(dialogs.shownServer.empty());

    for (ItemData bad : {ItemData(-1), ItemData(3), ItemData(1) << 40}) {
        CMemoryListCtrl odd;
        odd.InsertItem(0, "x", bad);
        odd.SetItemSelected(0, true);
        EXPECT_FALSE(doc.EditServer(dialogs, odd)) << bad;
    }
    EXPECT_TRUE(dialogs.shownServer.empty());
    ExpectUnchangedAndQuiet();
}

TEST_F(DocEditTest, CancelledEditsChangeNothing)
{
    AddServers({"a"});
    AddFiles({"/f"});
    doc.m_strLastWebFolder = "last";
    doc.m_nLastFilterIndex = 2;
    dialogs.answer = IDCANCEL;
    dialogs.editServer = [](ServerDlgValues& v) { v.m_strServerName = "changed"; };
    dialogs.editFile = [](LocalFileDlgValues& v) { v.m_strWebFolder = "changed"; };
    doc.FillServerList(list);
    SelectEntries(list, {0});
    EXPECT_FALSE(doc.EditServer(dialogs, list));
    CMemoryListCtrl files;
    doc.FillFileList(files);
    SelectEntries(files, {0});
    EXPECT_FALSE(doc.EditFile(dialogs, files));
    EXPECT_EQ(doc.m_servers[0].m_strServerName, "a");
    EXPECT_EQ(doc.m_files[0].m_strWebFolder, "www");
    EXPECT_EQ(doc.m_strLastWebFolder, "last");
    EXPECT_EQ(doc.m_nLastFilterIndex, 2);
    ExpectUnchangedAndQuiet();
    EXPECT_FALSE(doc.AddServerThroughDialog(dialogs));
    EXPECT_FALSE(doc.AddFileThroughDialog(dialogs));
    EXPECT_EQ(doc.m_servers.size(), 1u);
    EXPECT_EQ(doc.m_files.size(), 1u);
    EXPECT_EQ(doc.m_strLastWebFolder, "last");
    ExpectUnchangedAndQuiet();
}

TEST_F(DocEditTest, EditFileStartsInTheBrowseFolderWithTheEntryAndTheRememberedFilter)
{
    test::CurrentDirGuard restore;
    test::TempDir browse;
    ASSERT_TRUE(doc.AddFile("/site/b.gif", "img", 0));
    ASSERT_TRUE(doc.AddFile("/site/a.htm", "", 1));
    doc.m_nLastFilterIndex = 2;
    doc.m_strLastBrowseFolder = browse.str() + "/";
    Settle();
    doc.FillFileList(list);
    SelectEntries(list, {1});
    EXPECT_TRUE(doc.EditFile(dialogs, list));
    ASSERT_EQ(dialogs.shownFile.size(), 1u);
    const LocalFileDlgValues& shown = dialogs.shownFile[0];
    EXPECT_EQ(shown.m_strFileName, "/site/a.htm");
    EXPECT_EQ(shown.m_strWebFolder, "");
    EXPECT_EQ(shown.m_nTransferType, 1);
    EXPECT_EQ(shown.m_nFilterIndex, 2);
    EXPECT_EQ(shown.m_strInitialFolder, browse.str() + "/");
    EXPECT_EQ(fs::path(dialogs.folderWhileShown[0]), browse.path());
    ExpectChanged();
}

TEST_F(DocEditTest, EditFileTakesTheFirstSelectedRowInListOrder)
{
    AddFiles({"/z", "/m", "/a"});  // rows: /a (2), /m (1), /z (0)
    doc.FillFileList(list);
    SelectEntries(list, {0, 1});  // rows 2 and 1: the first selected row is /m
    dialogs.editFile = [](LocalFileDlgValues& v) {
        v.m_strFileName = "/n";
        v.m_strWebFolder = "w\\x";
        v.m_nTransferType = 1;
    };
    EXPECT_TRUE(doc.EditFile(dialogs, list));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"/z", "/n", "/a"}));
    EXPECT_EQ(doc.m_files[1].m_strWebFolder, "w/x");
    EXPECT_EQ(doc.m_files[1].m_wFlags, FILE_ASCII);
    EXPECT_EQ(doc.m_strLastWebFolder, "w\\x");  // remembered as typed
    ExpectChanged();
}

TEST_F(DocEditTest, RefusedFileEditKeepsTheRememberedSettingsButNotTheModifiedFlag)
{
    AddFiles({"/a", "/b"});
    doc.m_files[1].m_timeLocal = CTime(1000);
    doc.m_files[1].m_dwLocalSize = 5;
    doc.FillFileList(list);
    SelectEntries(list, {1});
    dialogs.editFile = [](LocalFileDlgValues& v) {
        v.m_strFileName = "/A";
        v.m_strWebFolder = "WWW";
        v.m_nFilterIndex = 3;
        v.m_strInitialFolder = "/pictures/";
    };
    EXPECT_FALSE(doc.EditFile(dialogs, list));
    EXPECT_EQ(box.texts(), std::vector<std::string>{kFileExists});
    EXPECT_EQ(doc.m_strLastWebFolder, "WWW");
    EXPECT_EQ(doc.m_nLastFilterIndex, 3);
    EXPECT_EQ(doc.m_strLastBrowseFolder, "/pictures/");
    EXPECT_EQ(doc.m_files[1].m_strFileName, "/b");
    ExpectUnchangedAndQuiet();

    // The same file under another folder is no duplicate; the record stays.
    dialogs.editFile = [](LocalFileDlgValues& v) { v.m_strWebFolder = "other"; };
    doc.FillFileList(list);
    SelectEntries(list, {1});
    EXPECT_TRUE(doc.EditFile(dialogs, list));
    EXPECT_EQ(doc.m_files[1].m_strWebFolder, "other");
    EXPECT_EQ(doc.m_files[1].m_timeLocal, CTime(1000));
    EXPECT_EQ(doc.m_files[1].m_dwLocalSize, 5u);
}

TEST_F(DocEditTest, DeleteRemovesTheEntriesBehindTheSelectedRowsNotTheRowPositions)
{
    // Array order echo, alpha, delta, bravo, charlie; the sort shows
    // alpha(1) bravo(3) charlie(4) delta(2) echo(0): entries 0, 2, 4 sit in rows 4, 3, 2.
    const std::vector<std::string> names = {"echo", "alpha", "delta", "bravo", "charlie"};
    AddServers(names);
    AddFiles({"/echo", "/alpha", "/delta", "/bravo", "/charlie"});
    doc.FillServerList(list);
    SelectEntries(list, {0, 2, 4});
    EXPECT_TRUE(doc.DeleteServers(list));
    EXPECT_EQ(ServerNames(), (std::vector<std::string>{"alpha", "bravo"}));
    ExpectChanged();
    Settle();

    CMemoryListCtrl files;
    doc.FillFileList(files);
    SelectEntries(files, {0, 2, 4});
    EXPECT_TRUE(doc.DeleteFiles(files));
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"/alpha", "/bravo"}));
    ExpectChanged();
    for (const ServerEntry& s : doc.m_servers)
        EXPECT_EQ(s.m_wFlags, 0);
    for (const FileEntry& f : doc.m_files)
        EXPECT_EQ(f.m_wFlags, 0);
}

TEST_F(DocEditTest, DeleteWithoutSelectionOrWithBadItemData)
{
    AddServers({"a", "b"});
    doc.FillServerList(list);
    EXPECT_FALSE(doc.DeleteServers(list));
    EXPECT_FALSE(doc.DeleteFiles(list));
    ExpectUnchangedAndQuiet();

    CMemoryListCtrl odd;
    odd.InsertItem(0, "x", -1);
    odd.InsertItem(1, "y", 2);
    odd.SetItemSelected(0, true);
    odd.SetItemSelected(1, true);
    EXPECT_TRUE(doc.DeleteServers(odd));  // nothing removed, still a change
    EXPECT_EQ(ServerNames(), (std::vector<std::string>{"a", "b"}));
    ExpectChanged();
}

TEST_F(DocEditTest, FillSetsEveryCellInTheRowTheControlGave)
{
    ASSERT_TRUE(doc.AddServer("zulu", "zed", "pw", ""));
    ASSERT_TRUE(doc.AddServer("Mike", "mo", "pw", "base\\dir"));
    ASSERT_TRUE(doc.AddServer("alpha", "al", "pw", "x"));
    doc.FillServerList(list);
    ASSERT_EQ(list.GetItemCount(), 3);
    const std::vector<std::vector<std::string>> rows = {
        {"alpha", "al", "x"}, {"Mike", "mo", "base/dir"}, {"zulu", "zed", "<root>"}};
    const std::vector<ItemData> data = {2, 1, 0};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list.GetItemData(row), data[row]);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(list.GetItemText(row, column), rows[row][column]) << row << "," << column;
        EXPECT_FALSE(list.IsItemSelected(row));
    }
    EXPECT_TRUE(list.redrawing());

    ASSERT_TRUE(doc.AddFile("/srv/z.bin", "", 0));
    ASSERT_TRUE(doc.AddFile("/srv/a.txt", "docs", 1));
    CMemoryListCtrl files;
    doc.FillFileList(files);
    EXPECT_EQ(files.GetItemData(0), 1);
    EXPECT_EQ(files.GetItemText(0, 1), "docs");
    EXPECT_EQ(files.GetItemText(0, 2), "ASCII");
    EXPECT_EQ(files.GetItemText(1, 1), "<base>");
    EXPECT_EQ(files.GetItemText(1, 2), "Binary");
    EXPECT_EQ(files.GetItemText(1, 3), "Error opening file");
}

TEST_F(DocEditTest, ColumnsAreMadeOnTheFirstFillOnly)
{
    const int c = CMemoryListCtrl::kCharWidth;
    doc.FillServerList(list);
    ASSERT_EQ(list.columns().size(), 3u);
    EXPECT_EQ(list.columns()[0].title, "Server Name");
    EXPECT_EQ(list.columns()[0].width, (16 + 6) * c);  // the sample is wider than the title
    EXPECT_EQ(list.columns()[1].title, "User Name");
    EXPECT_EQ(list.columns()[1].width, (9 + 6) * c);   // the title is wider
    EXPECT_EQ(list.columns()[2].title, "Base Folder");
    EXPECT_EQ(list.GetItemCount(), 0);
    AddServers({"a"});
    doc.FillServerList(list);
    EXPECT_EQ(list.insertedColumns(), 3);
    EXPECT_EQ(list.GetItemCount(), 1);

    CMemoryListCtrl files;
    doc.FillFileList(files);
    doc.FillFileList(files);
    ASSERT_EQ(files.insertedColumns(), 4);
    const std::vector<std::pair<std::string, int>> expected = {
        {"File Name", 24}, {"Web Folder", 10}, {"Type", 6}, {"Status", 18}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(files.columns()[i].title, expected[i].first);
        EXPECT_EQ(files.columns()[i].width, (expected[i].second + 6) * c) << i;
        EXPECT_EQ(files.columns()[i].format, LVCFMT_LEFT);
    }
}

TEST_F(DocEditTest, FileStatusFollowsTheLocalHalfOfTheRecord)
{
    test::TempDir dir;
    const std::string path = dir.file("page.htm");
    test::WriteFile(path, "hello");  // 5 bytes
    const timespec times[2] = {{1'600'000'000, 0}, {1'600'000'000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct Case {
        const char* what;
        std::string file;
        std::int32_t timeLocal;
        DWORD localSize;
        std::int32_t timeRemote;
        const char* status;
    };
    const Case cases[] = {
        {"never sent", path, 0, 5, 0, "New file"},
        {"never sent, size differs", path, 0, 9, 0, "New file"},
        {"time and size as sent", path, 1'600'000'000, 5, 1, "No changes"},
        {"time differs", path, 1'600'000'001, 5, 0, "Updated file"},
        {"size differs", path, 1'600'000'000, 4, 0, "Updated file"},
        {"missing file", dir.file("gone.htm"), 1'600'000'000, 5, 0, "Error opening file"},
        {"missing, never sent", dir.file("gone.htm"), 0, 0, 0, "Error opening file"},
    };
    for (const Case& c : cases) {
        doc.DeleteContents();
        ASSERT_TRUE(doc.AddFile(c.file, "", 0));
        doc.m_files[0].m_timeLocal = CTime(c.timeLocal);
        doc.m_files[0].m_dwLocalSize = c.localSize;
        doc.m_files[0].m_timeRemote = CTime(c.timeRemote);
        CMemoryListCtrl files;
        doc.FillFileList(files);
        EXPECT_EQ(files.GetItemText(0, 3), c.status) << c.what;
    }
}

TEST_F(DocEditTest, AddFileThroughDialogProposesAndRemembersTheSettings)
{
    test::CurrentDirGuard restore;
    test::TempDir browse;
    doc.m_strLastWebFolder = "pages\\en";
    doc.m_nLastFilterIndex = 1;
    doc.m_strLastBrowseFolder = browse.str() + "/";
    ASSERT_TRUE(doc.AddFile("/a", "pages/en", 0));
    Settle();
    dialogs.editFile = [&](LocalFileDlgValues& v) {
        v.m_strFileName = "/A";
        v.m_nFilterIndex = 2;
        v.m_strInitialFolder = "/elsewhere/";
    };
    // The proposed "pages\en" is the stored "pages/en": a duplicate, yet the
    // settings chosen in the dialog are remembered.
    EXPECT_FALSE(doc.AddFileThroughDialog(dialogs));
    ASSERT_EQ(dialogs.shownFile.size(), 1u);
    const LocalFileDlgValues& shown = dialogs.shownFile[0];
    EXPECT_EQ(shown.m_strFileName, "");
    EXPECT_EQ(shown.m_strWebFolder, "pages\\en");
    EXPECT_EQ(shown.m_nTransferType, 0);
    EXPECT_EQ(shown.m_nFilterIndex, 1);
    EXPECT_EQ(fs::path(dialogs.folderWhileShown[0]), browse.path());
    EXPECT_EQ(doc.m_nLastFilterIndex, 2);
    EXPECT_EQ(doc.m_strLastBrowseFolder, "/elsewhere/");
    ExpectAddOutcome(false, kFileExists, "proposed folder");
    EXPECT_EQ(doc.m_files.size(), 1u);
}
