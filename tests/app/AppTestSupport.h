#pragma once
// What the application tests share: the Qt application, start-up services
// with switches for each failure, a clean registry, screenshots and a
// started application with its message box.

#include "app/StartupServices.h"
#include "app/TessarineApp.h"
#include "tests/support/ScriptedMessageBox.h"

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

namespace test {

QApplication& App();

// Each service as asked; records the refresh command lines.
class TestServices : public IStartupServices {
public:
    bool sockets = true;
    bool runtimeFolder = true;
    bool selfInstall = false;
    std::vector<std::string> refreshed;

    bool InitSockets() override { return sockets; }
    bool InitRuntimeFolder() override { return runtimeFolder; }
    bool SelfInstall(CTessarineApp&) override { return selfInstall; }
    void RunRefresh(const std::string& commandLine) override { refreshed.push_back(commandLine); }
};

// Removes everything the program writes to the registry store and the
// desktop's data folder.
void ForgetRegistration();
// The whole registry store as text.
std::string RegistrySnapshot();

void SaveScreenshot(QWidget& widget, const std::string& name);

// An application started with arguments (after the program name).
struct StartedApp {
    TestServices services;
    ScriptedMessageBox box;
    std::unique_ptr<CTessarineApp> app;
    bool started = false;

    explicit StartedApp(const std::vector<std::string>& arguments, std::deque<int> answers = {});
    ~StartedApp();
    CMainFrame* frame() const { return app->GetMainWnd(); }
};

// A configuration file with one server and one file at path.
void WriteConfiguration(const std::string& path);

}  // namespace test
