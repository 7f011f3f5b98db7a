#include "tests/app/AppKitTest.h"

#include <QApplication>

#include <cstdlib>

QApplication& AppKitTestApp()
{
    static int argc = 1;
    static char name[] = "app_kit_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void SaveScreenshot(QWidget& widget, const QString& name)
{
    if (const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}
