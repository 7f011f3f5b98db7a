#pragma once
// Shared by the kit's widget tests: the one application object and
// screenshots under TESSARINE_SCREENSHOT_DIR.

#include <QApplication>
#include <QWidget>

QApplication& AppKitTestApp();
void SaveScreenshot(QWidget& widget, const QString& name);
