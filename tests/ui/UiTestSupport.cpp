#include "tests/ui/UiTestSupport.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace test {

QApplication& UiApp()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own objects that outlive main() go first.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void SaveScreenshot(QWidget& widget, const std::string& name)
{
    if (const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
}

void WhenModalShown(std::function<bool(QWidget*)> matches, std::function<void(QWidget&)> script)
{
    auto* timer = new QTimer(&UiApp());
    auto* clock = new QElapsedTimer();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, matches, script] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->isVisible() && matches(modal);
        if (!found && clock->elapsed() < 10000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (!found)
            return;
        // Typing reaches the focus only in the active window.
        modal->activateWindow();
        (void)QTest::qWaitForWindowActive(modal, 2000);
        script(*modal);
    });
    timer->start();
}

DialogWatchdog::DialogWatchdog(int seconds)
{
    m_timer.setInterval(seconds * 1000);
    QObject::connect(&m_timer, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
                ADD_FAILURE() << "a dialog was left open: " << dialog->windowTitle().toStdString();
                dialog->reject();
            }
    });
    m_timer.start();
}

DialogWatchdog::~DialogWatchdog() = default;

void ProcessEvents()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

}  // namespace test
