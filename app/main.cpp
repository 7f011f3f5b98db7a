// Tessup: the desktop program. The application object lives for the whole
// run; Qt's event loop is the framework's message loop.

#include "app/MainFrame.h"
#include "app/TerminationWatcher.h"
#include "app/TessarineApp.h"
#include "platform/registry/RegistryStore.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "platform/widgets/QtWaitCursor.h"

#include "upload/QtUploadUi.h"

#include <QApplication>
#include <QSessionManager>

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
    if (theApp.InitInstance()) {
        // A request to end from outside closes the window the normal way:
        // the save question, then the settings written at exit.
        CTerminationWatcher termination([] {
            if (CMainFrame* frame = theApp.GetMainWnd())
                frame->close();
        });
        QObject::connect(&application, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
            CMainFrame* frame = theApp.GetMainWnd();
            if (!frame || !manager.allowsInteraction())
                return;
            const bool closed = frame->close();
            manager.release();
            // Refused at the save question: the session does not end. A run
            // that was stopped closes the window once it has ended.
            if (!closed && !frame->UploadUi().IsRunning())
                manager.cancel();
        });
        QApplication::exec();
    }
    const int code = theApp.ExitInstance();
    SetMessageBoxHandler(nullptr);
    SetWaitCursorHandler(nullptr);
    return code;
}
