#pragma once
// Shared pieces of the installer's window tests: the application, a clock
// that lets time pass at once, screenshots, and answering the next modal
// window from inside its own event loop.

#include "install/InstallerClock.h"

#include <QApplication>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace test {

QApplication& InstallerTestApp();
void SaveScreenshot(QWidget& widget, const QString& name);

// Time that moves only when told to (or by the pauses it is asked for).
class FakeClock : public IInstallerClock {
public:
    std::uint32_t TickCount() override { return now; }
    void Sleep(std::uint32_t milliseconds) override
    {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t now = 1000;
    std::vector<std::uint32_t> sleeps;
};

// Calls act with the modal window that is up next (a message box or a
// dialog), once it is up; gives up after a few seconds.
void WithNextModal(std::function<void(QWidget*)> act);

// A child of root with this "controlId".
QWidget* ControlById(QWidget* root, int id);

}  // namespace test
