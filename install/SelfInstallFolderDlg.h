#pragma once
// The folder chooser behind Browse: a typed folder in "&Folder:", the open
// folder in "F&olders:" one line per part ("/" first, then each folder on
// the way, then the open folder's subfolders; a single click puts that
// line's full path in the Folder box, a double click opens it), the mounted
// file systems in "Dri&ves:", OK and Cancel.

#include "install/MountTable.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;

class CSelfInstallFolderDlg : public QDialog {
public:
    // mounts: the drive list's source (this machine's table by default).
    explicit CSelfInstallFolderDlg(QWidget* parent, std::vector<MountEntry> mounts = ReadMounts());

    // The folder shown at the start, then as typed or picked; at OK made
    // absolute ("~" and relative texts expanded).
    std::string m_strFolder;

    int exec() override;

    // The folder the list shows.
    void OpenFolder(const std::string& folder);
    const std::string& CurrentFolder() const { return m_currentFolder; }

    QLineEdit* FolderEdit() const { return m_folderEdit; }
    QListWidget* FolderList() const { return m_folderList; }
    QComboBox* DriveList() const { return m_driveList; }

    // The path of line n of the list while folder is open: line 0 is the
    // root itself, line n the current folder up to its n-th separator,
    // then the line's own name.
    static std::string PathOfLine(const std::string& current, int n, const std::string& item);

private:
    void OnInitDialog();
    void OnFolderChange();
    void OnFolderListSelChange();
    void OnFolderListOpen();
    void OnDriveChange(int index);
    void accept() override;

    std::vector<MountEntry> m_mounts;
    std::string m_currentFolder;
    QLineEdit* m_folderEdit = nullptr;
    QListWidget* m_folderList = nullptr;
    QComboBox* m_driveList = nullptr;
};

// Runs the chooser over owner starting at folder; true (and folder set)
// when one was chosen.
bool ChooseFolder(QWidget* owner, std::string& folder, std::vector<MountEntry> mounts = ReadMounts());
