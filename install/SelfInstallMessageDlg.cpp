#include "install/SelfInstallMessageDlg.h"

#include "install/SelfInstallWindow.h"
#include "platform/widgets/DialogUnits.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

CSelfInstallMessageDlg::CSelfInstallMessageDlg(const std::string& text, QWidget* owner, IInstallerClock& clock)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::FramelessWindowHint), m_pOwner(owner), m_clock(clock)
{
    setProperty("windowClass", "CSelfInstallMessageDlg");
    setModal(false);
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(MapDialogSize(QSize(169, 30), base));
    // The modal frame the window has instead of a caption.
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setGeometry(rect());
    auto* icon = new QLabel(this);
    icon->setGeometry(MapDialogRect(QRect(7, 7, 21, 20), base));
    icon->setPixmap(InstallerIcon().pixmap(32, 32));
    m_text = new QLabel(QString::fromStdString(text), this);
    m_text->setGeometry(MapDialogRect(QRect(40, 11, 122, 8), base));
    m_text->setProperty("controlId", 1015);
    if (owner) {
        const QRect over = owner->isVisible() ? owner->frameGeometry() : owner->geometry();
        move(over.center() - rect().center());
        owner->setEnabled(false);
    }
    show();
    // Painted now: the step that follows keeps the event loop busy.
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_dwShownAt = m_clock.TickCount();
}

CSelfInstallMessageDlg::~CSelfInstallMessageDlg()
{
    if (const std::uint32_t pause = RemainingShowTime(m_dwShownAt, m_clock.TickCount()))
        m_clock.Sleep(pause);
    if (m_pOwner)
        m_pOwner->setEnabled(true);
    hide();
}

QString CSelfInstallMessageDlg::Text() const
{
    return m_text->text();
}
