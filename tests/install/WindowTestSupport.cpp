#include "tests/install/WindowTestSupport.h"

#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace test {

QApplication& InstallerTestApp()
{
    static int argc = 1;
    static char name[] = "installer_window_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's thread storage is gone when statics go.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void SaveScreenshot(QWidget& widget, const QString& name)
{
    if (const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}

void WithNextModal(std::function<void(QWidget*)> act)
{
    auto timer = std::make_shared<QTimer>();
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer.get(), &QTimer::timeout, [timer, tries, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            act(modal);
        } else if (++*tries > 300) {
            timer->stop();
        }
    });
    timer->start(10);
}

QWidget* ControlById(QWidget* root, int id)
{
    for (QWidget* child : root->findChildren<QWidget*>())
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

}  // namespace test
