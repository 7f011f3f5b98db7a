#include "upload/UploadProgressDlg.h"

#include "platform/widgets/DialogUnits.h"
#include "platform/widgets/ElidedLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kHelpTopic = 5;

struct Placed {
    const char* text;  // null: one of the three name labels
    QRect dialogUnits;
};

// Template 132, in template order.
const Placed kLabels[] = {
    {"Server Name:", {7, 7, 48, 8}},  {nullptr, {59, 7, 214, 8}},
    {"File Name:", {7, 17, 34, 8}},   {nullptr, {59, 17, 214, 8}},
    {"Destination:", {7, 27, 48, 8}}, {nullptr, {59, 27, 214, 8}},
};
const QRect kProgressBar(7, 43, 266, 14);
const QRect kCancelButton(223, 66, 50, 14);
const QSize kTemplateSize(280, 87);

}  // namespace

QSize CUploadProgressDlg::TemplateSize(const QFont& font)
{
    return MapDialogSize(kTemplateSize, BaseUnitsOf(font));
}

CUploadProgressDlg::CUploadProgressDlg(QWidget* pOwnerWnd)
    : QDialog(pOwnerWnd, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_pOwnerWnd(pOwnerWnd)
{
    setWindowTitle(QStringLiteral("Upload Progress"));
    setProperty("helpId", kHelpTopic);
    setModal(false);
    // The owner takes no input while the dialog lives; the dialog itself and
    // the message boxes the run shows stay usable.
    if (m_pOwnerWnd)
        setWindowModality(Qt::WindowModal);
    CreateControls();
    OnInitDialog();
    show();
    m_bContinue = true;
}

CUploadProgressDlg::~CUploadProgressDlg()
{
    // The run's last message box has just closed, or the dialog itself is
    // active: the keyboard is still within the run's windows.
    QWidget* active = QApplication::activeWindow();
    const bool runHadKeyboard = !active || active == this;
    // Hidden first, so the owner takes input again before the window goes.
    hide();
    // A closing dialog hands the keyboard back to its owner; left to the
    // window system, no window of the program might get it, and the main
    // window's shortcuts would do nothing until the user clicked it.
    if (m_pOwnerWnd && runHadKeyboard)
        m_pOwnerWnd->activateWindow();
}

void CUploadProgressDlg::CreateControls()
{
    const DialogBaseUnits base = BaseUnitsOf(font());
    CElidedLabel** names[] = {&m_server, &m_file, &m_destination};
    int name = 0;
    for (const Placed& placed : kLabels) {
        QLabel* label = nullptr;
        if (placed.text) {
            label = new QLabel(QString::fromUtf8(placed.text), this);
            label->setTextFormat(Qt::PlainText);
        } else {
            *names[name] = new CElidedLabel(this);
            label = *names[name++];
        }
        QRect rect = MapDialogRect(placed.dialogUnits, base);
        // A caption whose font runs wider than the template's keeps its
        // whole text; there is room before the name labels.
        if (placed.text)
            rect.setWidth(std::max(rect.width(), label->sizeHint().width()));
        label->setGeometry(rect);
    }
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(MapDialogRect(kProgressBar, base));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setGeometry(MapDialogRect(kCancelButton, base));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
    setFixedSize(TemplateSize(font()));
}

void CUploadProgressDlg::OnInitDialog()
{
    m_server->SetFullText(QString());
    m_file->SetFullText(QString());
    m_destination->SetFullText(QString());
    ShowBar();
    if (m_pOwnerWnd) {
        // Centred over the owner's window, frame included.
        const QRect owner = m_pOwnerWnd->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
}

void CUploadProgressDlg::SetServerName(const std::string& serverName)
{
    m_server->SetFullText(QString::fromStdString(serverName));
}

void CUploadProgressDlg::SetFileName(const std::string& localPath)
{
    m_file->SetFullText(QString::fromStdString(localPath));
}

void CUploadProgressDlg::SetDestination(const std::string& remotePath)
{
    m_destination->SetFullText(QString::fromStdString(remotePath));
}

void CUploadProgressDlg::ServerOffersTls(const std::string& serverName)
{
    if (m_onServerOffersTls)
        m_onServerOffersTls(serverName);
}

void CUploadProgressDlg::SetFileSize(std::int64_t bytes)
{
    m_bar.SetFileSize(bytes);
    ShowBar();
}

void CUploadProgressDlg::SetBytesSent(std::int64_t bytes)
{
    m_bar.SetBytesSent(bytes);
    ShowBar();
}

void CUploadProgressDlg::ShowBar()
{
    const BarControlValues values = m_bar.ControlValues();
    m_progress->setRange(0, values.maximum);
    m_progress->setValue(values.value);
}

void CUploadProgressDlg::ClearContinue()
{
    m_bContinue = false;
}

void CUploadProgressDlg::reject()
{
    ClearContinue();
}

void CUploadProgressDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    ClearContinue();
}
