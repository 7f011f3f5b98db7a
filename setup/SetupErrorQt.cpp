// ShowSetupError with a Qt message box, the launcher's one window.

#include "setup/SetupLauncher.h"

#include <QApplication>
#include <QMessageBox>

void ShowSetupError(const char* programName)
{
    // Qt aborts without a display, so it is only started when there is one.
    if (!SetupHasDisplay()) {
        PrintSetupError();
        return;
    }
    // Qt sees the program name alone, never setup's arguments.
    int argc = 1;
    char* argv[] = {const_cast<char*>(programName), nullptr};
    QApplication application(argc, argv);
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kSetupErrorCaption),
                    QString::fromUtf8(kSetupErrorText), QMessageBox::Ok);
    box.exec();
}
