#pragma once
// What the configuration window's tests share: the one Qt application,
// screenshots, driving a modal dialog from inside its own event loop, and a
// watchdog that closes a dialog a failed test left open, so that no test
// hangs.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>

namespace test {

QApplication& UiApp();
void SaveScreenshot(QWidget& widget, const std::string& name);

// Runs script once on the first visible modal dialog of type Dialog (found
// with dynamic_cast, so classes without their own meta-object work), from
// the event loop that dialog runs. Call it before the action that opens the
// dialog. Nothing runs when no such dialog appears within ten seconds.
void WhenModalShown(std::function<bool(QWidget*)> matches, std::function<void(QWidget&)> script);
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> script)
{
    WhenModalShown([](QWidget* widget) { return dynamic_cast<Dialog*>(widget) != nullptr; },
                   [script](QWidget& widget) { script(dynamic_cast<Dialog&>(widget)); });
}

// Closes every dialog still open after seconds; a test that forgot one
// fails (ADD_FAILURE) instead of hanging. Stopped when it goes.
class DialogWatchdog {
public:
    explicit DialogWatchdog(int seconds = 20);
    ~DialogWatchdog();

private:
    QTimer m_timer;
};

// Lets waiting events through (paints, deferred deletes, timers due).
void ProcessEvents();

}  // namespace test
