// The wait for the server's data connection in active mode, against a
// scripted server: whatever the control connection says meanwhile (a final
// reply in a later packet, in the same packet as the 150, a close) ends the
// wait at once as that reply, and the wait burns no processor time.
//
// A client that ignores the control connection would wait for ever; each
// script then connects to the client's port after its own wait, so such a
// client ends with a wrong outcome instead of hanging the suite.

#include "tests/platform/ftp/ScriptedServer.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpFileFind.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <memory>

namespace {

using Commands = std::vector<std::string>;
using test::ScriptedServer;
using test::ScriptedSession;

// Thread CPU time (user and system) so far.
double ThreadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Commands with every EPRT's address left out.
Commands WithoutPorts(Commands sent)
{
    for (std::string& c : sent)
        if (c.rfind("EPRT ", 0) == 0)
            c = "EPRT";
    return sent;
}

// The passive retry after a refusal: EPSV, the data connection, the
// transfer command, then for STOR the data received, for LIST a listing.
void ServePassive(ScriptedSession& s, bool list)
{
    s.Read();
    s.Reply("229 Entering Extended Passive Mode (|||" + std::to_string(s.ListenPassive()) + "|)");
    s.AcceptData();
    s.Read();
    s.Reply("150 Here it comes.");
    if (list)
        s.SendData("-rw-r--r-- 1 u g 3 Jan 01 2024 x\r\n");
    else if (s.ReceiveData() != "abc")
        throw std::runtime_error("wrong data");
    s.CloseData();
    s.Reply("226 Transfer complete.");
}

struct Case {
    const char* name;
    bool list;  // LIST look-up instead of STOR
    // What the server does after the transfer command, before the client
    // must react; then whether the client retries in passive mode.
    std::function<void(ScriptedSession&)> after;
    bool retriesPassive;
    std::string expectedError;  // empty: the operation succeeds (in passive)
};

class ActiveWaitTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 0);
        m_session.SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 60000);
        m_session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 60000);
    }

    // Runs one case: the error text (empty on success) and the commands.
    std::string Run(const Case& c, ScriptedServer*& out, std::unique_ptr<ScriptedServer>& holder,
                    double& seconds)
    {
        holder = std::make_unique<ScriptedServer>([&c](ScriptedSession& s) {
            s.Login();
            if (!c.list) {
                s.Read();
                s.Reply("200 Binary.");
            }
            const std::string port = s.Read();
            s.Reply("200 EPRT ok.");
            s.Read();
            c.after(s);
            if (c.retriesPassive && s.CommandComes()) {
                ServePassive(s, c.list);
                return;
            }
            // A client still waiting is let go with a connection.
            if (!c.retriesPassive)
                s.CommandComes();
            s.TryConnectActive(port);
        });
        out = holder.get();
        std::unique_ptr<CFtpConnection> connection(
            m_session.GetFtpConnection(out->Address(), "bob", "secret", 0, false));
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        try {
            if (c.list) {
                CFtpFileFind find(connection.get(), 1);
                if (!find.FindFile("x", INTERNET_FLAG_RELOAD))
                    error = "not found";
                find.Close();
            } else {
                std::unique_ptr<CInternetFile> file(
                    connection->OpenFile("x", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
                file->Write("abc", 3);
                file->Close();
            }
        } catch (const CInternetException& e) {
            error = e.ErrorText();
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        m_passive = connection->IsPassive();
        return error;
    }

    CInternetSession m_session;
    bool m_passive = false;
};

TEST_F(ActiveWaitTest, ControlConnectionEndsTheWaitAtOnce)
{
    const auto separate = [](ScriptedSession& s) {
        s.Reply("150 Ok to send data.");
        usleep(200000);
        s.Reply("425 Can't open data connection.");
    };
    const auto together = [](ScriptedSession& s) {
        s.Whole("150 Ok to send data.\r\n425 Can't open data connection.\r\n");
    };
    const std::vector<Case> cases = {
        {"STOR: 150, later 425", false, separate, true, ""},
        {"STOR: 150 and 425 in one write", false, together, true, ""},
        {"LIST: 150, later 425", true, separate, true, ""},
        {"LIST: 150 and 425 in one write", true, together, true, ""},
        {"STOR: 150, then close", false, [](ScriptedSession& s) {
             s.Reply("150 Ok to send data.");
             s.CloseControl();
         }, false, "the server closed the connection"},
        {"STOR: 150 and 226 before any connection", false, [](ScriptedSession& s) {
             s.Whole("150 Ok to send data.\r\n226 Transfer complete.\r\n");
         }, false, "226 Transfer complete."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer* server = nullptr;
        std::unique_ptr<ScriptedServer> holder;
        double seconds = 0;
        const std::string error = Run(c, server, holder, seconds);
        EXPECT_LT(seconds, 4.0);  // far below the 60 s time-out and the script's release
        if (c.expectedError.empty()) {
            EXPECT_EQ(error, "");
            EXPECT_TRUE(m_passive);
        } else {
            EXPECT_NE(error.find(c.expectedError), std::string::npos) << error;
            EXPECT_FALSE(m_passive);
        }
        server->Finish();
        Commands expected = {"USER bob", "PASS secret", "FEAT"};
        if (!c.list)
            expected.push_back("TYPE I");
        expected.insert(expected.end(), {"EPRT", c.list ? "LIST x" : "STOR x"});
        if (c.retriesPassive)
            expected.insert(expected.end(), {"EPSV", c.list ? "LIST x" : "STOR x"});
        const Commands sent = WithoutPorts(server->Commands());
        EXPECT_EQ(Commands(sent.begin(), sent.begin() + std::min(sent.size(), expected.size())), expected);
        EXPECT_EQ(server->Failures(), Commands{});
    }
}

// A reply that takes seconds to complete (its last line comes late) while
// the control socket is readable: the client waits in the kernel, using
// far less than a second of its own thread's time (the server runs in
// another thread). A generous bound that a loaded machine meets.
TEST_F(ActiveWaitTest, WaitingForALateReplyUsesNoProcessorTime)
{
    const Case c{"STOR: 150, 425 finished seconds later", false, [](ScriptedSession& s) {
                     s.Whole("150 Ok to send data.\r\n425-Can't open\r\n");
                     sleep(3);
                     s.Whole("425 data connection.\r\n");
                 }, true, ""};
    ScriptedServer* server = nullptr;
    std::unique_ptr<ScriptedServer> holder;
    double seconds = 0;
    const double cpuBefore = ThreadCpuSeconds();
    const std::string error = Run(c, server, holder, seconds);
    const double cpu = ThreadCpuSeconds() - cpuBefore;
    EXPECT_EQ(error, "");
    EXPECT_TRUE(m_passive);
    EXPECT_GE(seconds, 2.5);
    EXPECT_LT(cpu, 0.5) << "over " << seconds << " s";
    server->Finish();
    EXPECT_EQ(server->Failures(), Commands{});
}

}  // namespace
