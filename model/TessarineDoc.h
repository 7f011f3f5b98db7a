#pragma once
// The site configuration: the document of the program. It owns both arrays
// and every entry in them, by value, in the order of addition; an entry is
// identified by its index, valid until the array next changes. Nothing
// outside keeps a pointer or reference to an entry across a change.
//
// Every successful change sets the modified flag and calls
// UpdateAllViews(nullptr, 0, nullptr). All access is on one thread.

#include "model/ConfigFormat.h"
#include "model/FileEntry.h"
#include "model/ServerEntry.h"
#include "platform/framework/Archive.h"
#include "platform/framework/CmdUI.h"
#include "platform/framework/Document.h"

class CListCtrl;
class IEntryDialogs;
struct LocalFileDlgValues;

#include <cstdint>
#include <string>
#include <vector>

class CFtpConnection;

// How the last upload run of a document ended: every file dealt with and no
// question or error on the way; completed, but past questions answered Yes;
// or stopped (No, Cancel, an error shown alone, the quit message, a run that
// could not start).
enum class UploadRunOutcome { completed, completedAfterProblems, stopped };

class CTessarineDoc : public CDocument {
public:
    CTessarineDoc() = default;
    ~CTessarineDoc() override = default;

    // ---- The configuration ---------------------------------------------
    std::vector<ServerEntry> m_servers;  // upload visits them in this order
    std::vector<FileEntry> m_files;      // ... and these, for each server
    // Remembered by the local file dialog between uses.
    std::string m_strLastWebFolder;      // as typed, before "\" becomes "/"
    std::int32_t m_nLastFilterIndex = 0; // one-based filter index; 0: none chosen
    std::string m_strLastBrowseFolder;   // folder of the file last browsed to

    // ---- Framework overrides (model/TessarineDoc.cpp, model/TessarineDocSerialize.cpp)
    // Stores the configuration (always format CONFIG_VERSION) or loads one of
    // versions 0 to CONFIG_VERSION. Loading a file with another magic or a
    // newer version shows why, refuses the load (ar.RefuseLoad()) and
    // returns normally; data that ends early throws CArchiveException
    // (endOfFile) from the archive. Entry flags are loaded without
    // ENTRY_MARKED.
    void Serialize(CArchive& ar) override;
    // Removes every entry and the remembered settings (empty, 0). Leaves the
    // modified flag and the path name alone.
    void DeleteContents() override;
    bool OnNewDocument() override;

    // ---- Commands ------------------------------------------------------
    // Upload is enabled exactly when there is at least one server and one file.
    void OnUpdateUpload(CCmdUI* pCmdUI);

    // ---- Upload (upload/TessarineDocUpload.cpp) ---------------------------
    // The Upload command: sends every new or changed file to every server,
    // reaching the user only through AfxMessageBox and the installed upload
    // UI (upload/UploadUi.h: progress sink, message pump, options). Blocks
    // until the run has ended; marks the document modified and updates the
    // views whatever happened. A run holds an exclusive lock on the
    // document's file; a second run of the same file is refused with a
    // message and changes nothing.
    void OnUpload();
    // How the last OnUpload ended (stopped before the first run).
    UploadRunOutcome GetLastUploadOutcome() const { return m_lastUploadOutcome; }
    // Looks name up in the connection's current remote folder: true with its
    // time and size (the low 32 bits), false (outputs untouched) when not
    // found. The search is closed before returning.
    static bool GetRemoteFileInfo(CFtpConnection* pConnection, const std::string& name, CTime& outTime,
                                  DWORD& outSize);
    // Lets waiting messages through after sleeping milliseconds; 1 when the
    // quit message was seen (the run then stops), else 0.
    int PumpWaitingMessages(unsigned int milliseconds);

    // ---- Transfer type rule (model/IsAsciiTextFile.cpp) -----------------
    // True when the file at path is to be sent in ASCII mode. Decided by the
    // extension (the part of the name after the last "/", from its last dot)
    // for .htm .html .shtml .txt (true) and .gif .jpg .jpeg .bmp .wav .avi
    // .mov .zip (false), ignoring case; otherwise by the content, with the
    // wait cursor shown: true when no byte is 0 or above 0x7F (an empty file
    // is text). A file that cannot be opened or read, or is not a regular
    // file, is binary (false). Never blocks on a FIFO or device; shows no
    // message.
    static bool IsAsciiTextFile(const std::string& path);

    // ---- Configuration editing operations (model/TessarineDocEdit.cpp) --
    // Each returns true after a change: the modified flag is then set and all
    // views were updated. False changes nothing in the entries and leaves the
    // modified flag alone. Duplicates are refused with a message box (OK,
    // information icon): texts compare without the case of A to Z, the values
    // as typed (before "\" becomes "/") against the stored ones. The list
    // controls are the window's: rows sorted by text, each carrying its
    // entry's index as item data from the last fill; rows map to entries only
    // through that data. The edit operations run their dialog through parent.

    // Refused ("The web site FTP server already exists.") when a server has
    // the same server name, base folder and user name; the password does not
    // count. Stores the base folder with "/" for every "\".
    bool AddServer(const std::string& serverName, const std::string& userName,
                   const std::string& password, const std::string& baseFolder);
    // Exactly one selected row with a valid index: runs the server dialog
    // with that entry's values, then stores them unless another server is
    // the same.
    bool EditServer(IEntryDialogs& parent, CListCtrl& list);
    // Removes the entries behind the selected rows (rows with invalid data
    // are passed over). False only when no row is selected.
    bool DeleteServers(CListCtrl& list);
    // Refused ("The local file to upload already exists.") when a file has
    // the same file name and web folder; the type does not count. transferType
    // 1 is ASCII, any other value binary. The upload record starts at zero.
    bool AddFile(const std::string& fileName, const std::string& webFolder, int transferType);
    // The first selected row (in list order) with a valid index: makes the
    // remembered browse folder the current folder, runs the local file dialog
    // with the entry's values and the remembered filter and folder, copies
    // the dialog's web folder, filter and folder into the remembered settings
    // (also when the change is then refused), and stores name, web folder and
    // type unless another file is the same. The upload record stays.
    bool EditFile(IEntryDialogs& parent, CListCtrl& list);
    bool DeleteFiles(CListCtrl& list);
    // Rebuild the list from the array: columns on the first fill only, then
    // one row per entry with its index as item data, redraw off meanwhile.
    void FillServerList(CListCtrl& list);
    void FillFileList(CListCtrl& list);

    // A list column: its title and the sample text that sets its width.
    struct ListColumn {
        const char* title;
        const char* sample;
    };
    // Inserts count columns from table unless the list has a column already.
    static void SetupListColumns(CListCtrl& list, const ListColumn* table, int count);
    // Turns every "\" of text into "/".
    static void MakeForwardSlashes(std::string& text);

    // The window's Add buttons, shared with the command-line tool: run the
    // empty server dialog, or the local file dialog prepared from the
    // remembered settings (in the remembered browse folder), and on OK add
    // what it gave (the file dialog's settings are remembered first).
    bool AddServerThroughDialog(IEntryDialogs& parent);
    bool AddFileThroughDialog(IEntryDialogs& parent);

private:
    // Editing helpers (model/TessarineDocEdit.cpp). except: an index that is
    // not compared (the entry being edited), -1 for none.
    bool ServerExists(const std::string& name, const std::string& folder, const std::string& user,
                      int except) const;
    bool FileExists(const std::string& name, const std::string& folder, int except) const;
    void EntriesChanged();
    void EnterBrowseFolder() const;
    void PrepareNewLocalFileDlg(LocalFileDlgValues& dlg) const;
    void RememberLocalFileDlg(const LocalFileDlgValues& dlg);

    void StoreConfiguration(CArchive& ar) const;
    void LoadConfiguration(CArchive& ar);
    void LoadServers(CArchive& ar, DWORD version);
    void LoadFiles(CArchive& ar, DWORD version);
    UploadRunOutcome m_lastUploadOutcome = UploadRunOutcome::stopped;
};
