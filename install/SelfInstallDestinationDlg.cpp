#include "install/SelfInstallDestinationDlg.h"

#include "install/FolderPath.h"
#include "install/InstallerMessageBox.h"
#include "install/ProposedDestination.h"
#include "install/SelfInstallFolderDlg.h"
#include "install/SelfInstallMessageDlg.h"
#include "install/SelfInstallWindow.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WaitCursor.h"
#include "platform/widgets/DialogUnits.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace {

constexpr const char* kIntro =
    "Setup will install the %s files in the following folder.  If the folder does not exist, it will be created.";
constexpr const char* kRootRefused =
    "You cannot install this program in the root directory.  Please select a different directory.";
constexpr int kHiddenBlock[] = {1009, 1010, 1004, 1011, 1007, 1008};

}  // namespace

CSelfInstallDestinationDlg::CSelfInstallDestinationDlg(QWidget* parent, DestinationSources sources)
    : QDialog(parent), m_sources(std::move(sources))
{
    setProperty("windowClass", "CSelfInstallDestinationDlg");
    setWindowTitle(QStringLiteral("Choose Destination Location"));
    setModal(true);
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(MapDialogSize(QSize(294, 199), base));

    auto* icon = new QLabel(this);
    icon->setGeometry(MapDialogRect(QRect(7, 7, 21, 20), base));
    icon->setPixmap(InstallerIcon().pixmap(32, 32));
    AddText(QRect(40, 7, 247, 24), QString::fromUtf8(kIntro), 1013)->setWordWrap(true);
    AddText(QRect(7, 35, 280, 36),
            QStringLiteral("To install to this folder, choose \"Install\".\n"
                           "To select another folder to install the files into, choose \"Browse\" then select a "
                           "different folder.\n"
                           "To quit setup, choose \"Cancel\"."),
            0)
        ->setWordWrap(true);
    auto* group = new QGroupBox(QStringLiteral("Destination Folder"), this);
    group->setGeometry(MapDialogRect(QRect(7, 75, 280, 30), base));
    group->lower();
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setGeometry(MapDialogRect(QRect(15, 87, 212, 12), base));
    m_folderEdit->setReadOnly(true);
    m_folderEdit->setFrame(false);
    m_folderEdit->setProperty("controlId", 1014);
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), this);
    browse->setGeometry(MapDialogRect(QRect(230, 85, 50, 14), base));
    browse->setProperty("controlId", 1005);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CSelfInstallDestinationDlg::OnBrowse);

    AddText(QRect(7, 113, 78, 8), QStringLiteral("Space Needed:"), 0);
    AddText(QRect(87, 113, 60, 8), QString(), 1001, Qt::AlignRight);
    AddText(QRect(7, 121, 64, 8), QStringLiteral("Space Available:"), 0);
    // The drive is a mount point here, often longer than a drive letter:
    // it follows the figure instead of standing between label and figure.
    AddText(QRect(151, 121, 136, 8), QString(), 1003);
    AddText(QRect(87, 121, 60, 8), QString(), 1002, Qt::AlignRight);
    AddText(QRect(7, 135, 120, 8), QStringLiteral("Windows System Folder"), 1009);
    AddText(QRect(7, 143, 78, 8), QStringLiteral("Space Needed:"), 1010);
    AddText(QRect(87, 143, 60, 8), QString(), 1004, Qt::AlignRight);
    AddText(QRect(7, 153, 64, 8), QStringLiteral("Space Available:"), 1011);
    AddText(QRect(73, 153, 14, 8), QString(), 1007);
    AddText(QRect(87, 153, 60, 8), QString(), 1008, Qt::AlignRight);

    auto* install = new QPushButton(QStringLiteral("&Install"), this);
    install->setGeometry(MapDialogRect(QRect(183, 178, 50, 14), base));
    install->setProperty("controlId", IDOK);
    install->setDefault(true);
    connect(install, &QPushButton::clicked, this, &CSelfInstallDestinationDlg::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(MapDialogRect(QRect(237, 178, 50, 14), base));
    cancel->setProperty("controlId", IDCANCEL);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLabel* CSelfInstallDestinationDlg::AddText(const QRect& du, const QString& text, int id, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(MapDialogRect(du, BaseUnitsOf(font())));
    label->setAlignment(alignment | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (id)
        label->setProperty("controlId", id);
    return label;
}

QWidget* CSelfInstallDestinationDlg::Control(int id) const
{
    for (QWidget* child : findChildren<QWidget*>())
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

QString CSelfInstallDestinationDlg::ControlText(int id) const
{
    QWidget* control = Control(id);
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->text();
    return QString();
}

int CSelfInstallDestinationDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CSelfInstallDestinationDlg::OnInitDialog()
{
    m_folderEdit->setText(QString::fromStdString(m_strFolder));
    auto* intro = static_cast<QLabel*>(Control(1013));
    intro->setText(QString::fromUtf8(kIntro).replace(QStringLiteral("%s"), QString::fromStdString(m_strTitle)));
    UpdateDiskSpace();
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
}

void CSelfInstallDestinationDlg::UpdateDiskSpace()
{
    CWaitCursor wait;
    IInstallerClock& clock = m_sources.clock ? *m_sources.clock : DefaultInstallerClock();
    CSelfInstallMessageDlg message("Checking necessary disk space...", isVisible() ? this : parentWidget(), clock);
    const std::string folder = WithTrailingSeparator(ExpandFolderText(m_folderEdit->text().toStdString()));
    static_cast<QLabel*>(Control(1003))->setText(QString::fromStdString(MountPointOf(folder, m_sources.mounts)));
    IFreeSpaceSource& freeSpace = m_sources.freeSpace ? *m_sources.freeSpace : m_systemFreeSpace;
    static_cast<QLabel*>(Control(1002))->setText(QString::fromStdString(AvailableText(freeSpace, folder)));
    const std::uint64_t needed = SpaceNeededKilobytes(m_strSourceFolder, folder, m_files);
    static_cast<QLabel*>(Control(1001))->setText(QString::fromStdString(KilobyteText(needed)));
    for (const int id : kHiddenBlock)
        Control(id)->hide();
}

void CSelfInstallDestinationDlg::OnBrowse()
{
    std::string text = m_folderEdit->text().toStdString();
    if (ChooseFolder(this, text, m_sources.mounts)) {
        m_folderEdit->setText(QString::fromStdString(text));
        UpdateDiskSpace();
    }
}

void CSelfInstallDestinationDlg::accept()
{
    m_strFolder = m_folderEdit->text().toStdString();
    std::string check = m_strFolder;
    if (EndsWithSeparator(check) && check.size() > 1)
        check.pop_back();
    if (IsDriveRoot(check)) {
        InstallerMessageBox(this, kRootRefused, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!IsExistingFolder(ExpandFolderText(check))) {
        const std::string question = "The folder \"" + check + "\" doesn't exist.  Do you want to create it?";
        if (InstallerMessageBox(this, question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    QDialog::accept();
}

bool ChooseDestination(QWidget* owner, std::string& folder, const std::string& sourceFolder,
                       const std::string& title, const std::vector<std::string>& files, DestinationSources sources)
{
    folder = ProposedDestination(folder, sourceFolder, title);
    CSelfInstallDestinationDlg dlg(owner, std::move(sources));
    dlg.m_strFolder = folder;
    dlg.m_strTitle = title;
    dlg.m_strSourceFolder = sourceFolder;
    dlg.m_files = files;
    if (dlg.exec() != QDialog::Accepted)
        return true;
    folder = dlg.m_strFolder;
    return false;
}
