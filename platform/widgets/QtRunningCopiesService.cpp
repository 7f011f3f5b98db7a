#include "platform/widgets/QtRunningCopiesService.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

QueryEndSessionEvent::QueryEndSessionEvent() : QEvent(EventType())
{
    setAccepted(true);
}

QEvent::Type QueryEndSessionEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

std::uint64_t QtTopLevelWindows::IdOf(const QWidget* window)
{
    return static_cast<std::uint64_t>(reinterpret_cast<quintptr>(window));
}

std::string QtTopLevelWindows::ClassOf(const QWidget* window)
{
    const QVariant own = window->property("windowClass");
    return own.isValid() ? own.toString().toStdString() : window->metaObject()->className();
}

QWidget* QtTopLevelWindows::Find(std::uint64_t id)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (IdOf(window) == id && window->isVisible())
            return window;
    return nullptr;
}

std::vector<RunningWindow> QtTopLevelWindows::TopLevelWindows()
{
    std::vector<RunningWindow> windows;
    const QWidget* modal = QApplication::activeModalWidget();
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (!window->isVisible() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
            continue;
        // A window behind another's modal dialog takes no input: it counts
        // as disabled, as the platform disables it.
        const bool blocked = modal && modal != window;
        windows.push_back({IdOf(window), window->isEnabled() && !blocked, ClassOf(window),
                           window->windowTitle().toStdString()});
    }
    return windows;
}

std::optional<bool> QtTopLevelWindows::QueryEndSession(std::uint64_t id)
{
    QPointer<QWidget> window = Find(id);
    if (!window)
        return std::nullopt;
    QueryEndSessionEvent event;
    QApplication::sendEvent(window, &event);
    return event.isAccepted();
}

bool QtTopLevelWindows::CloseWindow(std::uint64_t id)
{
    QPointer<QWidget> window = Find(id);
    if (!window)
        return false;
    // The window may tell this close from the user's own.
    window->setProperty(kCloseFromCopyProperty, true);
    window->close();
    if (window)
        window->setProperty(kCloseFromCopyProperty, QVariant());
    return true;
}

QtRunningCopiesService::QtRunningCopiesService(std::string folder) : m_service(m_windows, std::move(folder))
{
}

QtRunningCopiesService::~QtRunningCopiesService()
{
    QObject::disconnect(m_quitConnection);
    m_notifier.reset();
    m_service.Stop();
}

bool QtRunningCopiesService::Listen()
{
    if (!m_service.Listen())
        return false;
    m_notifier = std::make_unique<QSocketNotifier>(m_service.Fd(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { OnReadable(); });
    // Once the program is ending, nobody is left to answer.
    m_quitConnection = QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [this] {
        m_notifier.reset();
        m_service.Stop();
    });
    return true;
}

void QtRunningCopiesService::OnReadable()
{
    // Answering may ask the user (a nested event loop): no second request
    // is taken meanwhile.
    m_notifier->setEnabled(false);
    m_service.HandleConnection();
    if (m_notifier)
        m_notifier->setEnabled(true);
}
