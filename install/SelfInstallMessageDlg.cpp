#include "install/SelfInstallMessageDlg.h"

#include "install/SelfInstallWindow.h"
#include "platform/widgets/DialogUnits.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

#include <algorithm>
#include <vector>

namespace {

// The owners whose input message windows hold back, one entry per window.
std::vector<const QWidget*>& DisabledOwners()
{
    static std::vector<const QWidget*> owners;
    return owners;
}

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool CSelfInstallMessageDlg::IsOwnerDisabled(const QWidget* owner)
{
    const std::vector<const QWidget*>& owners = DisabledOwners();
    return owner && std::find(owners.begin(), owners.end(), owner) != owners.end();
}

bool CSelfInstallMessageDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Input for the owner's own window (not for the windows it owns).
    if (m_pOwner && watched->isWidgetType() && IsInput(event->type()) &&
        static_cast<QWidget*>(watched)->window() == m_pOwner->window()) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

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
        m_disabledOwner = owner;
        DisabledOwners().push_back(owner);
        qApp->installEventFilter(this);
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
    if (m_disabledOwner) {
        qApp->removeEventFilter(this);
        std::vector<const QWidget*>& owners = DisabledOwners();
        owners.erase(std::find(owners.begin(), owners.end(), m_disabledOwner));
    }
    hide();
}

QString CSelfInstallMessageDlg::Text() const
{
    return m_text->text();
}
