#pragma once
// The running-copies service in the program: answers other copies (the
// installer) about this program's visible top-level windows from Qt's
// event loop. A window's class is its "windowClass" property where it has
// one (the program's own windows set their runtime class name there), else
// its Qt class name. "May this end" is asked with a QueryEndSessionEvent
// sent to the window: it is accepted unless the window ignores it (the main
// frame asks its user to save first).

#include "platform/shell/RunningCopies.h"
#include "platform/shell/RunningCopiesService.h"

#include <QEvent>
#include <QMetaObject>

#include <memory>
#include <string>

class QSocketNotifier;
class QWidget;

// Set on a window while it is closed at another copy's request.
inline constexpr const char* kCloseFromCopyProperty = "closeFromRunningCopy";

class QueryEndSessionEvent : public QEvent {
public:
    QueryEndSessionEvent();
    static QEvent::Type EventType();
};

class QtTopLevelWindows : public IRunningCopyWindows {
public:
    std::vector<RunningWindow> TopLevelWindows() override;
    std::optional<bool> QueryEndSession(std::uint64_t id) override;
    bool CloseWindow(std::uint64_t id) override;

    static std::uint64_t IdOf(const QWidget* window);
    static std::string ClassOf(const QWidget* window);

private:
    static QWidget* Find(std::uint64_t id);
};

class QtRunningCopiesService {
public:
    // folder: the runtime folder (made at start-up).
    explicit QtRunningCopiesService(std::string folder);
    ~QtRunningCopiesService();

    // Starts listening; false when the socket cannot be made (the program
    // runs on; the installer then cannot close it).
    bool Listen();
    const std::string& SocketPath() const { return m_service.SocketPath(); }

private:
    void OnReadable();

    QtTopLevelWindows m_windows;
    RunningCopiesService m_service;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QMetaObject::Connection m_quitConnection;
};
