#pragma once
// The destination dialog: the folder the program goes into (changed only
// through Browse), the space the installation needs there, the file system
// ("drive") that holds it and the space available on it. Install refuses
// the root folder and offers to create a folder that does not exist yet.

#include "install/DiskSpace.h"
#include "install/InstallerClock.h"
#include "install/MountTable.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

// Where the dialog's figures come from; the system's unless a test gives
// its own.
struct DestinationSources {
    IFreeSpaceSource* freeSpace = nullptr;  // null: statvfs
    std::vector<MountEntry> mounts = ReadMounts();
    IInstallerClock* clock = nullptr;       // null: the system's
};

class CSelfInstallDestinationDlg : public QDialog {
public:
    explicit CSelfInstallDestinationDlg(QWidget* parent, DestinationSources sources = {});

    std::string m_strFolder;
    std::string m_strSourceFolder;
    std::string m_strTitle;
    std::vector<std::string> m_files;

    int exec() override;
    // Sets the texts from the members (also done by exec()).
    void OnInitDialog();
    // The space figures for the folder in the folder box.
    void UpdateDiskSpace();
    void OnBrowse();

    // The control with this id (1001 .. 1014, 1 Install, 2 Cancel).
    QWidget* Control(int id) const;
    QString ControlText(int id) const;

private:
    void accept() override;
    QLabel* AddText(const QRect& du, const QString& text, int id, Qt::Alignment alignment = Qt::AlignLeft);

    DestinationSources m_sources;
    StatvfsFreeSpace m_systemFreeSpace;
    QLineEdit* m_folderEdit = nullptr;
};

// Proposes a folder when folder is empty (the program-files folder + "/" +
// title from the registry store, else the source folder), runs the dialog
// over owner and, on Install, sets folder to the folder box's text. True
// when the user cancelled.
bool ChooseDestination(QWidget* owner, std::string& folder, const std::string& sourceFolder,
                       const std::string& title, const std::vector<std::string>& files,
                       DestinationSources sources = {});
