// Closing running copies against real services: peers on threads of this
// process, a socket that speaks garbage, one that never answers, the
// leftover of an ended copy, and a service of the asking thread itself.

#include "install/CloseRunningPrograms.h"
#include "platform/framework/MessageBox.h"
#include "platform/shell/RunningCopiesService.h"
#include "tests/install/ServicePeer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>

namespace {

constexpr const char* kExit = "Please exit the program Tessarine.";

class ScriptedPrompt : public IExitPrompt {
public:
    explicit ScriptedPrompt(std::deque<int> answers) : m_answers(std::move(answers)) {}
    int AskToExit(const std::string& text) override
    {
        texts.push_back(text);
        if (onAsk)
            onAsk();
        if (m_answers.empty())
            return IDCANCEL;  // never an endless loop in a test
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::vector<std::string> texts;
    std::function<void()> onAsk;

private:
    std::deque<int> m_answers;
};

RunningWindow Frame(std::uint64_t id, const std::string& title = "Untitled - Tessarine", bool enabled = true)
{
    return {id, enabled, kMainFrameWindowClass, title};
}

// A listening socket that this test serves by hand (or not at all).
int ListenAt(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(listen(fd, 8), 0);
    return fd;
}

// Accepts one connection, writes reply whatever was asked, and hangs up.
void AnswerOnce(int fd, const std::string& reply)
{
    const int connection = accept(fd, nullptr, nullptr);
    (void)!write(connection, reply.data(), reply.size());
    close(connection);
}

class CloseRunningProgramsTest : public ::testing::Test {
protected:
    bool Close(ScriptedPrompt& prompt, const std::string& closeClass = kMainFrameWindowClass,
               const std::string& title = "Tessarine")
    {
        return CloseRunningProgramWindows(client, prompt, closeClass, title, "Tessarine", {});
    }

    test::TempDir runtime{"tessarine-runtime"};
    RunningCopiesClient client{runtime.str(), {200, 400}};
};

TEST_F(CloseRunningProgramsTest, CopiesThatEndWhenAskedAreClosedWithoutAPrompt)
{
    test::ServicePeer first(runtime.str(), {{Frame(1)}, {{2, true, "QMessageBox", "Tessarine"}}});
    test::ServicePeer second(runtime.str(), {{Frame(7, "site.tsn - Tessarine")}});
    ScriptedPrompt prompt({});
    EXPECT_FALSE(Close(prompt));
    EXPECT_TRUE(prompt.texts.empty());
    // Asked, closed, seen gone, then a second pass that finds nothing.
    EXPECT_EQ(first.Requests(), (std::vector<std::string>{"LIST", "QUERYEND 1", "CLOSE 1", "LIST", "LIST"}));
    EXPECT_EQ(second.Requests(), (std::vector<std::string>{"LIST", "QUERYEND 7", "CLOSE 7", "LIST", "LIST"}));
    EXPECT_EQ(first.TopLevelWindows().size(), 1u);  // the message box was never touched
}

TEST_F(CloseRunningProgramsTest, AWindowThatCannotBeClosedAsksTheUserToExit)
{
    struct Row {
        const char* name;
        test::PeerWindow window;
        std::deque<int> answers;
        bool cancelled;
        std::vector<std::string> requests;
    };
    const Row rows[] = {
        {"disabled behind its own dialog, Cancel", {Frame(1, "x", false)}, {IDCANCEL}, true, {"LIST"}},
        {"refuses to end, Cancel", {Frame(1), false}, {IDCANCEL}, true, {"LIST", "QUERYEND 1"}},
        // Taken for closed only once it is gone: no second close without the user.
        {"takes the close but stays, Cancel", {Frame(1), true, true}, {IDCANCEL}, true,
         {"LIST", "QUERYEND 1", "CLOSE 1", "LIST"}},
        {"takes the close but stays, OK twice, then Cancel", {Frame(1), true, true}, {IDOK, IDOK, IDCANCEL}, true,
         {"LIST", "QUERYEND 1", "CLOSE 1", "LIST", "LIST", "QUERYEND 1", "CLOSE 1", "LIST", "LIST", "QUERYEND 1",
          "CLOSE 1", "LIST"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::ServicePeer peer(runtime.str(), {row.window});
        ScriptedPrompt prompt(row.answers);
        EXPECT_EQ(Close(prompt), row.cancelled);
        EXPECT_EQ(prompt.texts, std::vector<std::string>(row.answers.size(), kExit));
        EXPECT_EQ(peer.Requests(), row.requests);
    }
}

TEST_F(CloseRunningProgramsTest, OkAfterTheUserExitedChecksAgainAndEnds)
{
    test::ServicePeer peer(runtime.str(), {{Frame(1, "Tessarine", false)}});
    ScriptedPrompt prompt({IDOK});
    // The user closes the dialog in the other copy, which then ends when asked.
    prompt.onAsk = [&] { peer.Update(1, [](test::PeerWindow& w) { w.window.enabled = true; }); };
    EXPECT_FALSE(Close(prompt));
    EXPECT_EQ(prompt.texts, std::vector<std::string>{kExit});
    EXPECT_TRUE(peer.TopLevelWindows().empty());
}

TEST_F(CloseRunningProgramsTest, MatchesWholeTextCaseSensitivelyOnItsFirst127Characters)
{
    const std::string long127(127, 'c');
    struct Row {
        const char* name;
        std::string closeClass;
        std::string closeTitle;
        RunningWindow window;
        bool matches;
    };
    const Row rows[] = {
        {"class", kMainFrameWindowClass, "Tessarine", Frame(1), true},
        {"class decides over title", kMainFrameWindowClass, "Tessarine", {1, true, "QDialog", "Tessarine"}, false},
        {"exact title", "", "Tessarine", {1, true, "QDialog", "Tessarine"}, true},
        {"a title that merely contains it", "", "Tessarine", Frame(1, "Untitled - Tessarine"), false},
        {"another letter case", "", "Tessarine", Frame(1, "TESSARINE"), false},
        {"a longer window class is cut to 127", long127, "", {1, true, long127 + "xyz", ""}, true},
        {"a match text of 128 never matches", long127 + "c", "", {1, true, long127 + "c", ""}, false},
        {"neither class nor title", "", "", Frame(1), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(WindowMatches(row.window, row.closeClass, row.closeTitle), row.matches);
        test::ServicePeer peer(runtime.str(), {{row.window}});
        ScriptedPrompt prompt({});
        EXPECT_FALSE(Close(prompt, row.closeClass, row.closeTitle));
        EXPECT_EQ(peer.TopLevelWindows().empty(), row.matches);
    }
}

TEST_F(CloseRunningProgramsTest, FurtherProgramsAreClosedInTurnUntilOneIsCancelled)
{
    test::ServicePeer peer(runtime.str(), {{{1, true, "Viewer", "Viewer"}, false}, {{2, true, "Editor", "Ed"}}});
    ScriptedPrompt prompt({IDCANCEL});
    const std::vector<ProgramToClose> programs = {{"Viewer", "", "the viewer"}, {"Editor", "", "the editor"}};
    EXPECT_TRUE(CloseRunningProgramWindows(client, prompt, kMainFrameWindowClass, "Tessarine", "Tessarine", programs));
    EXPECT_EQ(prompt.texts, std::vector<std::string>{"Please exit the program the viewer."});
    EXPECT_EQ(peer.TopLevelWindows().size(), 2u);  // the editor was not reached
}

TEST_F(CloseRunningProgramsTest, CopiesThatDoNotAnswerLeadToThePrompt)
{
    struct Row {
        const char* name;
        std::function<void(int)> serve;  // what the socket does with one connection
    };
    const Row rows[] = {
        {"garbage", [](int fd) { AnswerOnce(fd, "HELLO\tWORLD\n"); }},
        {"a window line without END", [](int fd) { AnswerOnce(fd, "WINDOW\t1\t1\tCMainFrame\tTessarine\n"); }},
        {"silence", [](int) {}},  // connected through the backlog, never answered
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = runtime.file("copy-999999-0.sock");
        const int fd = ListenAt(path);
        std::thread server([&] { row.serve(fd); });
        ScriptedPrompt prompt({IDCANCEL});
        EXPECT_TRUE(Close(prompt));
        EXPECT_EQ(prompt.texts, std::vector<std::string>{kExit});
        server.join();
        close(fd);
        unlink(path.c_str());
    }
}

TEST_F(CloseRunningProgramsTest, LeftoversOfEndedCopiesAndTheOwnServiceAreNeverAsked)
{
    // An ended copy's socket: nobody listens behind it any more.
    const std::string stale = runtime.file("copy-999998-0.sock");
    close(ListenAt(stale));
    ASSERT_TRUE(std::filesystem::exists(stale));
    // This thread's own service: asking it would wait for ever.
    struct OwnWindows : IRunningCopyWindows {
        std::vector<RunningWindow> TopLevelWindows() override { return {Frame(1, "Tessarine")}; }
        std::optional<bool> QueryEndSession(std::uint64_t) override { return true; }
        bool CloseWindow(std::uint64_t) override { return true; }
    } own;
    RunningCopiesService service(own, runtime.str());
    ASSERT_TRUE(service.Listen());
    test::WriteFile(runtime.file("copy-notes.sock"), "a regular file with the name of a socket");
    ScriptedPrompt prompt({});
    EXPECT_FALSE(Close(prompt, "", "Tessarine"));
    EXPECT_TRUE(prompt.texts.empty());
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(service.SocketPath()));
    EXPECT_TRUE(std::filesystem::exists(runtime.file("copy-notes.sock")));
}

TEST_F(CloseRunningProgramsTest, TheMayEndQuestionWaitsForTheOtherCopysUser)
{
    // The other copy asks its user to save; that takes longer than any
    // time-out of connecting or listing.
    test::ServicePeer peer(runtime.str(), {{Frame(1)}});
    peer.onQueryEnd = [] { std::this_thread::sleep_for(std::chrono::milliseconds(900)); };
    ScriptedPrompt prompt({});
    EXPECT_FALSE(Close(prompt));
    EXPECT_TRUE(prompt.texts.empty());
    EXPECT_TRUE(peer.TopLevelWindows().empty());
}

}  // namespace
