#pragma once
// Turns the signals that ask a program to end (SIGTERM, SIGHUP, SIGINT) into
// a call on the event loop, so the program can close the normal way (asking
// to save, writing its settings) instead of dying where it stands. The
// signal handler only writes a byte to a pipe; the call comes from the event
// loop (or from an upload run's message pump) when it next looks.
//
// One watcher at a time. While it lives the signals are caught; when it goes
// their earlier handling is put back.

#include <QObject>

#include <functional>

class QSocketNotifier;

class CTerminationWatcher : public QObject {
public:
    explicit CTerminationWatcher(std::function<void()> onRequest);
    ~CTerminationWatcher() override;
    CTerminationWatcher(const CTerminationWatcher&) = delete;
    CTerminationWatcher& operator=(const CTerminationWatcher&) = delete;

    // False when the pipe or the handlers could not be set up (the signals
    // then keep their earlier handling).
    bool IsWatching() const { return m_notifier != nullptr; }

private:
    void OnReadable();

    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
};
