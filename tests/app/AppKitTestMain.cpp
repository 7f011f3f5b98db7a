#include "tests/app/AppKitTest.h"

#include <QApplication>

#include <cstdlib>

QApplication& AppKitTestApp()
{
    static int argc = 1;
    static char name[] = "app_kit_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's thread storage is gone by the time static
    // objects are torn down, and top-level windows Qt keeps (tooltips) would
    // be freed after it.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void SaveScreenshot(QWidget& widget, const QString& name)
{
    if (const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}
