// Closing running copies for real: Tessup processes started by the test,
// and a peer of this process that refuses while the background window
// shows "Closing programs...".

#include "install/QtInstallerWindows.h"
#include "install/SelfInstallMessageDlg.h"
#include "res/VersionText.h"
#include "platform/registry/RegistryStore.h"
#include "platform/shell/RunningCopiesClient.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "platform/widgets/QtRunningCopiesService.h"
#include "tests/install/ServicePeer.h"
#include "tests/install/WindowTestSupport.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QAbstractButton>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

std::string TessupPath()
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/Tessup";
}

// Waits until count copies listen in folder.
bool WaitForCopies(const std::string& folder, std::size_t count)
{
    RunningCopiesClient client(folder);
    for (int i = 0; i < 300; ++i) {
        if (client.Copies().size() == count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class RunningTessupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The copy in build/dist/ is the installed one, so its starts go
        // through to the main window rather than to the installer.
        test::RegisterDistAsInstalled(dir.file("registry.sqlite3"));
    }

    std::unique_ptr<test::Program> StartTessup()
    {
        test::RunOptions options;
        options.env["TESSARINE_RUNTIME_DIR"] = runtime.str();
        options.env["TESSARINE_REGISTRY"] = dir.file("registry.sqlite3");
        options.env["QT_QPA_PLATFORM"] = "offscreen";
        return std::make_unique<test::Program>(std::vector<std::string>{TessupPath()}, options);
    }

    test::TempDir dir;
    test::TempDir runtime{"tessarine-runtime"};
    test::FakeClock clock;
};

}  // namespace

TEST_F(RunningTessupTest, CopiesAreFoundByTheMainFrameClassAndEndWhenClosed)
{
    std::unique_ptr<test::Program> first = StartTessup();
    std::unique_ptr<test::Program> second = StartTessup();
    ASSERT_TRUE(WaitForCopies(runtime.str(), 2)) << first->Stderr() << second->Stderr();
    std::vector<RunningWindow> windows;
    RunningCopiesClient client(runtime.str());
    ASSERT_EQ(client.ListWindows(client.Copies().front(), windows), CopyReach::Answered);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].className, kMainFrameWindowClass);
    EXPECT_EQ(windows[0].title, "Untitled - Tessarine");
    EXPECT_TRUE(windows[0].enabled);

    QtInstallerWindows installer("Tessarine", &clock);
    installer.SetRuntimeFolder(runtime.str());
    installer.ShowWithCaption("Setup");
    test::ScriptedMessageBox boxes;
    // Matched by the exact title alone, no main window would ever be found:
    // its title names the document too.
    EXPECT_FALSE(installer.CloseRunningPrograms("", "Tessarine", "Tessarine", {}));
    EXPECT_EQ(client.Copies().size(), 2u);
    // By the main frame's class both are asked, closed and end.
    EXPECT_FALSE(installer.CloseRunningPrograms(kMainFrameWindowClass, "Tessarine", "Tessarine", {}));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(first->Wait(), 0) << first->Stderr();
    EXPECT_EQ(second->Wait(), 0) << second->Stderr();
    EXPECT_TRUE(client.Copies().empty());  // each took its socket with it
}

TEST_F(RunningTessupTest, AStoppedCopyLeadsToThePromptAndAnEndedOnesSocketIsRemoved)
{
    std::unique_ptr<test::Program> copy = StartTessup();
    ASSERT_TRUE(WaitForCopies(runtime.str(), 1)) << copy->Stderr();
    const std::string socket = RunningCopiesClient(runtime.str()).Copies().front();
    QtInstallerWindows installer("Tessarine", &clock);
    installer.SetRuntimeFolder(runtime.str());
    installer.ShowWithCaption("Setup");
    // A copy that cannot answer (stopped): not closable from here.
    copy->Signal(SIGSTOP);
    {
        test::ScriptedMessageBox boxes({IDCANCEL});
        EXPECT_TRUE(installer.CloseRunningPrograms(kMainFrameWindowClass, "Tessarine", "Tessarine", {}));
        EXPECT_EQ(boxes.shown(), (std::vector<test::ShownMessage>{{"Tessarine Setup", "Please exit the program Tessarine.",
                                                                   MB_OKCANCEL | MB_ICONEXCLAMATION}}));
    }
    // Killed, it leaves its socket behind; the next look removes it.
    copy->Signal(SIGKILL);
    copy->Wait();
    ASSERT_TRUE(std::filesystem::exists(socket));
    test::ScriptedMessageBox boxes;
    EXPECT_FALSE(installer.CloseRunningPrograms(kMainFrameWindowClass, "Tessarine", "Tessarine", {}));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(std::filesystem::exists(socket));
}

TEST_F(RunningTessupTest, ARefusingPeersPromptIsUsableUnderClosingPrograms)
{
    QtMessageBoxHandler qt;
    IMessageBoxHandler* previous = SetMessageBoxHandler(&qt);
    // The other copy asks its user to save and the user cancels: it may not end.
    test::ServicePeer peer(runtime.str(), {{{1, true, kMainFrameWindowClass, "site.tsn - Tessarine"}, false}});
    QtInstallerWindows installer("Tessarine", &clock);
    installer.SetRuntimeFolder(runtime.str());
    installer.ShowWithCaption("Setup");
    struct Seen {
        bool enabled = false;
        QWidget* parent = nullptr;
        QString caption, text;
        bool ownerEnabled = true;
        bool messageUp = false;
    } seen;
    test::WithNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        seen = {box->isEnabled(), box->parentWidget(), box->windowTitle(), box->text(), false, false};
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->property("windowClass") == "CSelfInstallMessageDlg")
                seen.messageUp = true;
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_TRUE(installer.CloseRunningPrograms(kMainFrameWindowClass, "Tessarine", "Tessarine", {}));
    SetMessageBoxHandler(previous);
    EXPECT_TRUE(seen.messageUp);
    EXPECT_TRUE(seen.enabled);
    EXPECT_EQ(seen.parent, &installer.Window());
    EXPECT_EQ(seen.caption, "Tessarine Setup");
    EXPECT_EQ(seen.text, "Please exit the program Tessarine.");
    EXPECT_EQ(peer.Requests(), (std::vector<std::string>{"LIST", "QUERYEND 1"}));
    EXPECT_FALSE(CSelfInstallMessageDlg::IsOwnerDisabled(&installer.Window()));
    EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{500});  // "Closing programs..." stayed its half second
}

TEST_F(RunningTessupTest, TheProgramsOwnServiceListsItsVisibleWindows)
{
    QtRunningCopiesService service(runtime.str());
    ASSERT_TRUE(service.Listen());
    QWidget plain;
    plain.setWindowTitle("A window");
    plain.show();
    QWidget hidden;
    hidden.setWindowTitle("Hidden");
    QtTopLevelWindows windows;
    std::vector<RunningWindow> listed = windows.TopLevelWindows();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].className, "QWidget");
    EXPECT_EQ(listed[0].title, "A window");
    EXPECT_EQ(windows.QueryEndSession(listed[0].id), true);  // a window that does not care may end
    EXPECT_TRUE(windows.CloseWindow(listed[0].id));
    EXPECT_FALSE(plain.isVisible());
    EXPECT_EQ(windows.QueryEndSession(listed[0].id), std::nullopt);
    EXPECT_FALSE(windows.CloseWindow(listed[0].id));
    // This thread's own service is never asked.
    EXPECT_TRUE(RunningCopiesClient(runtime.str()).Copies().empty());
}
