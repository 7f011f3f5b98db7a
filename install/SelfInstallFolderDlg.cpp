#include "install/SelfInstallFolderDlg.h"

#include "install/FolderPath.h"
#include "platform/framework/MessageBox.h"
#include "platform/widgets/DialogUnits.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>

namespace {

QLabel* AddLabel(QDialog* dlg, const DialogBaseUnits& base, const QRect& du, const QString& text, int id)
{
    auto* label = new QLabel(text, dlg);
    label->setGeometry(MapDialogRect(du, base));
    if (id)
        label->setProperty("controlId", id);
    return label;
}

// The parts of an absolute folder: "/", then each name on the way.
std::vector<std::string> PartsOf(const std::string& folder)
{
    std::vector<std::string> parts = {"/"};
    for (const auto& part : std::filesystem::path(folder).relative_path())
        if (!part.empty())
            parts.push_back(part.string());
    return parts;
}

}  // namespace

CSelfInstallFolderDlg::CSelfInstallFolderDlg(QWidget* parent, std::vector<MountEntry> mounts)
    : QDialog(parent), m_mounts(std::move(mounts))
{
    setProperty("windowClass", "CSelfInstallFolderDlg");
    setWindowTitle(QStringLiteral("Choose Folder"));
    setModal(true);
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(MapDialogSize(QSize(164, 153), base));

    QLabel* folderLabel = AddLabel(this, base, QRect(7, 7, 92, 9), QStringLiteral("&Folder:"), 1090);
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setGeometry(MapDialogRect(QRect(7, 17, 150, 14), base));
    m_folderEdit->setProperty("controlId", 1014);
    folderLabel->setBuddy(m_folderEdit);

    QLabel* listLabel = AddLabel(this, base, QRect(7, 38, 92, 9), QStringLiteral("F&olders:"), 0);
    m_folderList = new QListWidget(this);
    m_folderList->setGeometry(MapDialogRect(QRect(7, 48, 92, 75), base));
    m_folderList->setProperty("controlId", 1121);
    listLabel->setBuddy(m_folderList);

    QLabel* driveLabel = AddLabel(this, base, QRect(7, 124, 92, 9), QStringLiteral("Dri&ves:"), 1091);
    m_driveList = new QComboBox(this);
    m_driveList->setGeometry(MapDialogRect(QRect(7, 134, 92, 68), base).adjusted(0, 0, 0, 0));
    m_driveList->setFixedHeight(MapDialogRect(QRect(0, 0, 1, 12), base).height());
    m_driveList->setProperty("controlId", 1137);
    driveLabel->setBuddy(m_driveList);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(MapDialogRect(QRect(107, 48, 50, 14), base));
    ok->setProperty("controlId", IDOK);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CSelfInstallFolderDlg::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(MapDialogRect(QRect(107, 66, 50, 14), base));
    cancel->setProperty("controlId", IDCANCEL);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_folderEdit, &QLineEdit::textEdited, this, &CSelfInstallFolderDlg::OnFolderChange);
    connect(m_folderList, &QListWidget::currentRowChanged, this, &CSelfInstallFolderDlg::OnFolderListSelChange);
    connect(m_folderList, &QListWidget::itemActivated, this, &CSelfInstallFolderDlg::OnFolderListOpen);
    for (const std::string& drive : ::DriveList(m_mounts))
        m_driveList->addItem(QString::fromStdString(drive));
    connect(m_driveList, &QComboBox::activated, this, &CSelfInstallFolderDlg::OnDriveChange);
}

int CSelfInstallFolderDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CSelfInstallFolderDlg::OnInitDialog()
{
    m_folderEdit->setText(QString::fromStdString(m_strFolder));
    // The dialog opens as deep along the folder as it exists.
    OpenFolder(NearestExistingFolder(m_strFolder.empty() ? QDir::homePath().toStdString() : m_strFolder));
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    m_folderEdit->setFocus();
}

void CSelfInstallFolderDlg::OpenFolder(const std::string& folder)
{
    m_currentFolder = NearestExistingFolder(folder);
    const QSignalBlocker quiet(m_folderList);
    m_folderList->clear();
    const std::vector<std::string> parts = PartsOf(m_currentFolder);
    // Each line is indented by its depth; its name is kept apart from the
    // indent, since a folder's name may begin with blanks.
    const auto addLine = [this](const QString& name, int depth) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, m_folderList);
        item->setData(Qt::UserRole, name);
    };
    for (std::size_t i = 0; i < parts.size(); ++i)
        addLine(QString::fromStdString(parts[i]), static_cast<int>(i));
    const QStringList subfolders = QDir(QString::fromStdString(m_currentFolder))
                                       .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& name : subfolders)
        addLine(name, static_cast<int>(parts.size()));
    const std::string drive = MountPointOf(m_currentFolder, m_mounts);
    const int driveIndex = m_driveList->findText(QString::fromStdString(drive));
    const QSignalBlocker quietDrives(m_driveList);
    if (driveIndex >= 0)
        m_driveList->setCurrentIndex(driveIndex);
}

std::string CSelfInstallFolderDlg::PathOfLine(const std::string& current, int n, const std::string& item)
{
    if (n == 0)
        return item;
    // The current folder up to, not including, its n-th separator.
    std::size_t end = std::string::npos;
    int seen = 0;
    for (std::size_t i = 0; i < current.size(); ++i)
        if (IsPathSeparator(current[i]) && ++seen == n) {
            end = i;
            break;
        }
    return WithTrailingSeparator(current.substr(0, end)) + item;
}

void CSelfInstallFolderDlg::OnFolderChange()
{
    m_strFolder = m_folderEdit->text().toStdString();
}

void CSelfInstallFolderDlg::OnFolderListSelChange()
{
    const int n = m_folderList->currentRow();
    if (n < 0)
        return;
    const std::string item = m_folderList->item(n)->data(Qt::UserRole).toString().toStdString();
    m_strFolder = PathOfLine(m_currentFolder, n, item);
    m_folderEdit->setText(QString::fromStdString(m_strFolder));
}

void CSelfInstallFolderDlg::OnFolderListOpen()
{
    OnFolderListSelChange();
    OpenFolder(m_strFolder);
}

void CSelfInstallFolderDlg::OnDriveChange(int index)
{
    if (index >= 0)
        OpenFolder(m_driveList->itemText(index).toStdString());
}

void CSelfInstallFolderDlg::accept()
{
    m_strFolder = ExpandFolderText(m_folderEdit->text().toStdString());
    QDialog::accept();
}

bool ChooseFolder(QWidget* owner, std::string& folder, std::vector<MountEntry> mounts)
{
    CSelfInstallFolderDlg dlg(owner, std::move(mounts));
    dlg.m_strFolder = folder;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    folder = dlg.m_strFolder;
    return true;
}
