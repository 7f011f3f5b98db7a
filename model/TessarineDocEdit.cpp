// The configuration editing operations of CTessarineDoc: add, edit and
// delete servers and files, and the filling of the window's two lists.
// Every change that succeeds marks the document modified and refreshes all
// views; a refused one explains itself in a message box and changes nothing.

#include "model/TessarineDoc.h"

#include "model/EntryDialogs.h"
#include "model/FileStatus.h"
#include "platform/framework/ListCtrl.h"
#include "platform/framework/MessageBox.h"

#include <unistd.h>

namespace {

constexpr const char* kServerExists = "The web site FTP server already exists.";
constexpr const char* kFileExists = "The local file to upload already exists.";

const CTessarineDoc::ListColumn kServerColumns[] = {
    {"Server Name", "FTP.XXXXXXXX.XXX"},
    {"User Name", "XXXXXXXX"},
    {"Base Folder", "WWWWWWWW"},
};

const CTessarineDoc::ListColumn kFileColumns[] = {
    {"File Name", "X:\\XXXXXXXX\\WWWWWWWW.XXX"},
    {"Web Folder", "WWWWWWWW"},
    {"Type", "Binary"},
    {"Status", "Error opening file"},
};

const std::string& FirstColumnText(const ServerEntry& entry)
{
    return entry.m_strServerName;
}

const std::string& FirstColumnText(const FileEntry& entry)
{
    return entry.m_strFileName;
}

// Texts equal when they differ at most in the case of the letters A to Z.
bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

// Folders equal as they are stored: a "\" typed in a folder is stored as
// "/", so "www\site" typed again is the same folder as the stored
// "www/site". File names are compared as typed: on Linux "\" is a byte a
// file name may hold.
bool SameFolder(std::string stored, std::string typed)
{
    CTessarineDoc::MakeForwardSlashes(stored);
    CTessarineDoc::MakeForwardSlashes(typed);
    return SameText(stored, typed);
}

bool SameServer(const ServerEntry& entry, const std::string& name, const std::string& folder,
                const std::string& user)
{
    return SameText(entry.m_strServerName, name) && SameFolder(entry.m_strBaseFolder, folder) &&
           SameText(entry.m_strUserName, user);
}

bool SameFile(const FileEntry& entry, const std::string& name, const std::string& folder)
{
    return SameText(entry.m_strFileName, name) && SameFolder(entry.m_strWebFolder, folder);
}

// The index of the entry behind the first selected row, or -1 when no row is
// selected or its item data is no index of an array of count entries.
int SelectedEntryIndex(const CListCtrl& list, std::size_t count)
{
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (!list.IsItemSelected(row))
            continue;
        const ItemData data = list.GetItemData(row);
        return (data >= 0 && static_cast<std::size_t>(data) < count) ? static_cast<int>(data) : -1;
    }
    return -1;
}

// Marks the entries behind the selected rows, then removes the marked ones
// from the last to the first, so the indices still to visit stay valid.
template <typename Array>
void RemoveSelectedEntries(Array& entries, const CListCtrl& list)
{
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const ItemData data = list.GetItemData(row);
        if (list.IsItemSelected(row) && data >= 0 && static_cast<std::size_t>(data) < entries.size())
            entries[static_cast<std::size_t>(data)].m_wFlags |= ENTRY_MARKED;
    }
    for (std::size_t i = entries.size(); i-- > 0;)
        if (entries[i].m_wFlags & ENTRY_MARKED)
            entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
}

// Rebuilds list from entries with redrawing off: columns once, then one row
// per entry in array order, carrying its index; setCells fills the other
// columns of the row where the control put it.
template <typename Array, typename SetCells>
void FillList(CListCtrl& list, const CTessarineDoc::ListColumn* columns, int columnCount,
              const Array& entries, SetCells setCells)
{
    list.SetRedraw(false);
    CTessarineDoc::SetupListColumns(list, columns, columnCount);
    list.DeleteAllItems();
    if (!entries.empty()) {
        list.SetItemCount(static_cast<int>(entries.size()));
        for (std::size_t j = 0; j < entries.size(); ++j) {
            const int row = list.InsertItem(static_cast<int>(j), FirstColumnText(entries[j]),
                                            static_cast<ItemData>(j));
            if (row >= 0)
                setCells(row, entries[j]);
        }
    }
    list.SetRedraw(true);
}

WORD FileFlags(int transferType)
{
    return transferType == 1 ? FILE_ASCII : 0;
}

}  // namespace

void CTessarineDoc::MakeForwardSlashes(std::string& text)
{
    for (char& c : text)
        if (c == '\\')
            c = '/';
}

void CTessarineDoc::EntriesChanged()
{
    SetModifiedFlag(true);
    UpdateAllViews(nullptr, 0, nullptr);
}

bool CTessarineDoc::ServerExists(const std::string& name, const std::string& folder,
                                 const std::string& user, int except) const
{
    for (std::size_t i = 0; i < m_servers.size(); ++i)
        if (static_cast<int>(i) != except && SameServer(m_servers[i], name, folder, user))
            return true;
    return false;
}

bool CTessarineDoc::FileExists(const std::string& name, const std::string& folder, int except) const
{
    for (std::size_t i = 0; i < m_files.size(); ++i)
        if (static_cast<int>(i) != except && SameFile(m_files[i], name, folder))
            return true;
    return false;
}

bool CTessarineDoc::AddServer(const std::string& serverName, const std::string& userName,
                              const std::string& password, const std::string& baseFolder)
{
    if (ServerExists(serverName, baseFolder, userName, -1)) {
        AfxMessageBox(kServerExists, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    ServerEntry& entry = m_servers.emplace_back();
    entry.m_strServerName = serverName;
    entry.m_strUserName = userName;
    entry.m_strPassword = password;
    entry.m_strBaseFolder = baseFolder;
    MakeForwardSlashes(entry.m_strBaseFolder);
    entry.m_wFlags = 0;
    EntriesChanged();
    return true;
}

bool CTessarineDoc::EditServer(IEntryDialogs& parent, CListCtrl& list)
{
    if (list.GetSelectedCount() != 1)
        return false;
    const int index = SelectedEntryIndex(list, m_servers.size());
    if (index < 0)
        return false;
    const ServerEntry& entry = m_servers[static_cast<std::size_t>(index)];
    ServerDlgValues dlg;
    dlg.m_strServerName = entry.m_strServerName;
    dlg.m_strPassword = entry.m_strPassword;
    dlg.m_strUserName = entry.m_strUserName;
    dlg.m_strBaseFolder = entry.m_strBaseFolder;
    if (parent.RunServerDlg(dlg) != IDOK)
        return false;
    if (ServerExists(dlg.m_strServerName, dlg.m_strBaseFolder, dlg.m_strUserName, index)) {
        AfxMessageBox(kServerExists, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    ServerEntry& changed = m_servers[static_cast<std::size_t>(index)];
    changed.m_strServerName = dlg.m_strServerName;
    changed.m_strUserName = dlg.m_strUserName;
    changed.m_strPassword = dlg.m_strPassword;
    changed.m_strBaseFolder = dlg.m_strBaseFolder;
    MakeForwardSlashes(changed.m_strBaseFolder);
    EntriesChanged();
    return true;
}

bool CTessarineDoc::DeleteServers(CListCtrl& list)
{
    if (list.GetSelectedCount() == 0)
        return false;
    RemoveSelectedEntries(m_servers, list);
    EntriesChanged();
    return true;
}

bool CTessarineDoc::AddFile(const std::string& fileName, const std::string& webFolder, int transferType)
{
    if (FileExists(fileName, webFolder, -1)) {
        AfxMessageBox(kFileExists, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    FileEntry& entry = m_files.emplace_back();
    entry.m_strFileName = fileName;
    entry.m_strWebFolder = webFolder;
    MakeForwardSlashes(entry.m_strWebFolder);
    entry.m_wFlags = FileFlags(transferType);
    entry.m_timeLocal = CTime(0);
    entry.m_timeRemote = CTime(0);
    entry.m_dwLocalSize = 0;
    entry.m_dwRemoteSize = 0;
    EntriesChanged();
    return true;
}

bool CTessarineDoc::EditFile(IEntryDialogs& parent, CListCtrl& list)
{
    if (list.GetSelectedCount() == 0)
        return false;
    const int index = SelectedEntryIndex(list, m_files.size());
    if (index < 0)
        return false;
    const FileEntry& entry = m_files[static_cast<std::size_t>(index)];
    LocalFileDlgValues dlg;
    dlg.m_nFilterIndex = m_nLastFilterIndex;
    dlg.m_strInitialFolder = m_strLastBrowseFolder;
    dlg.m_strFileName = entry.m_strFileName;
    dlg.m_strWebFolder = entry.m_strWebFolder;
    dlg.m_nTransferType = (entry.m_wFlags & FILE_ASCII) ? 1 : 0;
    EnterBrowseFolder();
    if (parent.RunLocalFileDlg(dlg) != IDOK)
        return false;
    RememberLocalFileDlg(dlg);
    if (FileExists(dlg.m_strFileName, dlg.m_strWebFolder, index)) {
        AfxMessageBox(kFileExists, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    FileEntry& changed = m_files[static_cast<std::size_t>(index)];
    changed.m_strFileName = dlg.m_strFileName;
    changed.m_strWebFolder = dlg.m_strWebFolder;
    MakeForwardSlashes(changed.m_strWebFolder);
    changed.m_wFlags = FileFlags(dlg.m_nTransferType);
    EntriesChanged();
    return true;
}

bool CTessarineDoc::DeleteFiles(CListCtrl& list)
{
    if (list.GetSelectedCount() == 0)
        return false;
    RemoveSelectedEntries(m_files, list);
    EntriesChanged();
    return true;
}

void CTessarineDoc::SetupListColumns(CListCtrl& list, const ListColumn* table, int count)
{
    if (list.GetColumn(0, nullptr))
        return;
    const int margin = list.GetStringWidth("      ");
    for (int i = 0; i < count; ++i) {
        const int title = list.GetStringWidth(table[i].title);
        const int sample = list.GetStringWidth(table[i].sample);
        list.InsertColumn(i, table[i].title, LVCFMT_LEFT, (title > sample ? title : sample) + margin, -1);
    }
}

void CTessarineDoc::FillServerList(CListCtrl& list)
{
    FillList(list, kServerColumns, 3, m_servers, [&list](int row, const ServerEntry& entry) {
        list.SetItemText(row, 1, entry.m_strUserName);
        list.SetItemText(row, 2, entry.m_strBaseFolder.empty() ? "<root>" : entry.m_strBaseFolder);
    });
}

void CTessarineDoc::FillFileList(CListCtrl& list)
{
    FillList(list, kFileColumns, 4, m_files, [&list](int row, const FileEntry& entry) {
        list.SetItemText(row, 1, entry.m_strWebFolder.empty() ? "<base>" : entry.m_strWebFolder);
        list.SetItemText(row, 2, (entry.m_wFlags & FILE_ASCII) ? "ASCII" : "Binary");
        list.SetItemText(row, 3, GetFileStatusText(entry));
    });
}

void CTessarineDoc::EnterBrowseFolder() const
{
    // As the window does before the dialog opens: a name typed without a
    // folder is found in the browse folder. A folder that is gone changes
    // nothing, and the dialog still opens.
    [[maybe_unused]] const int ignored = chdir(m_strLastBrowseFolder.c_str());
}

void CTessarineDoc::PrepareNewLocalFileDlg(LocalFileDlgValues& dlg) const
{
    dlg.m_strFileName.clear();
    dlg.m_strWebFolder = m_strLastWebFolder;
    dlg.m_nTransferType = 0;
    dlg.m_nFilterIndex = m_nLastFilterIndex;
    dlg.m_strInitialFolder = m_strLastBrowseFolder;
}

void CTessarineDoc::RememberLocalFileDlg(const LocalFileDlgValues& dlg)
{
    m_strLastWebFolder = dlg.m_strWebFolder;
    m_nLastFilterIndex = dlg.m_nFilterIndex;
    m_strLastBrowseFolder = dlg.m_strInitialFolder;
}

bool CTessarineDoc::AddServerThroughDialog(IEntryDialogs& parent)
{
    ServerDlgValues dlg;
    if (parent.RunServerDlg(dlg) != IDOK)
        return false;
    return AddServer(dlg.m_strServerName, dlg.m_strUserName, dlg.m_strPassword, dlg.m_strBaseFolder);
}

bool CTessarineDoc::AddFileThroughDialog(IEntryDialogs& parent)
{
    LocalFileDlgValues dlg;
    PrepareNewLocalFileDlg(dlg);
    EnterBrowseFolder();
    if (parent.RunLocalFileDlg(dlg) != IDOK)
        return false;
    RememberLocalFileDlg(dlg);
    return AddFile(dlg.m_strFileName, dlg.m_strWebFolder, dlg.m_nTransferType);
}
