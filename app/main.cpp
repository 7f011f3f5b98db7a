// Tessup: the desktop program. The application object lives for the whole
// run; Qt's event loop is the framework's message loop.

#include "app/TessarineApp.h"
#include "platform/registry/RegistryStore.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "platform/widgets/QtWaitCursor.h"

#include <QApplication>

CTessarineApp theApp;

int main(int argc, char** argv)
{
    // Fixed before anything changes the current folder.
    RegistryStore::Default();
    std::vector<std::string> arguments(argv, argv + argc);
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tessarine");
    QtMessageBoxHandler messageBox;
    SetMessageBoxHandler(&messageBox);
    QtWaitCursor waitCursor;
    SetWaitCursorHandler(&waitCursor);
    theApp.SetArguments(arguments);
    if (theApp.InitInstance())
        QApplication::exec();
    const int code = theApp.ExitInstance();
    SetMessageBoxHandler(nullptr);
    SetWaitCursorHandler(nullptr);
    return code;
}
