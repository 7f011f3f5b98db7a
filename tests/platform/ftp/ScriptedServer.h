#pragma once
// A one-connection FTP server whose every reply is scripted by the test, for
// faults a real server cannot be made to show. The script runs on a thread
// of its own; replies go out in small chunks of random size (a reply split
// across reads), and every command received is recorded, so a test can
// state the exact command sequence the client must send.
//
// Every wait of the server is bounded (kWait): a client that does not do
// what the script expects makes the script fail (Failures()), never hang.
// After the script, the server answers QUIT with 221 and records whatever
// else arrives until the client closes.

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

class ScriptedSession {
public:
    static constexpr std::chrono::milliseconds kWait{5000};

    // Sends text and CRLF in random chunks.
    void Reply(const std::string& text);
    // Sends bytes as they are (no line end added), in random chunks.
    void Raw(const std::string& bytes);
    // Sends bytes in one write (two replies in one packet).
    void Whole(const std::string& bytes);
    // Whether a command line (or the client's close) arrives within kWait.
    bool CommandComes();
    // As Raw, for bytes the client may stop reading half way.
    void Offer(const std::string& bytes);
    // The next command line (without CRLF); recorded.
    std::string Read();
    // Greeting, USER, PASS and a refused FEAT.
    void Login();
    // Greeting, USER, PASS and a FEAT offering `features` (lines of
    // " NAME\r\n").
    void LoginOffering(const std::string& features);
    // A server that reads only the first command of each write: the next
    // command, then whatever else arrives within a moment is thrown away
    // (recorded as "dropped: COMMAND").
    std::string ReadDroppingTheRest();
    // Takes the client's next control connection, then closes the current
    // one: a client that connects again.
    void AcceptNextControl();

    // Passive: a listener on the server's address; its port, to name in a reply.
    std::uint16_t ListenPassive();
    // Accepts the client's data connection on that listener.
    void AcceptData();
    // Active: connects to the address an EPRT or PORT command named, from
    // the local address from (127.0.0.2 plays a third host).
    void ConnectActive(const std::string& portCommand, const char* from = "127.0.0.1");
    // As ConnectActive, quietly doing nothing when the client no longer
    // listens (it gave up on the transfer, as it should have).
    void TryConnectActive(const std::string& portCommand);
    // Whether the client closed the data connection without sending.
    bool DataClosedByClient();
    // Sends bytes on the data connection.
    void SendData(const std::string& bytes);
    // Everything the client sends until it closes the data connection.
    std::string ReceiveData();
    // Reads at most n bytes of data.
    std::string ReceiveSomeData(std::size_t n);
    void CloseData();
    void CloseControl();

private:
    friend class ScriptedServer;
    bool SendChunks(const std::string& bytes);
    void Fail(const std::string& what);

    std::string m_host;
    int m_control = -1;
    int m_serverListen = -1;  // the server's control listener
    int m_listen = -1;
    int m_data = -1;
    std::string m_pending;  // received, not yet a full line
    unsigned m_seed = 1;
    std::vector<std::string>* m_commands = nullptr;
    std::mutex* m_mutex = nullptr;
};

// A script that answers every command by a table until QUIT, for tests
// that state the command sequence of a longer run: the login (FEAT offers
// MDTM, SIZE and EPSV), then the replies given for an exact command, used
// once each and in order, else a default by verb (PWD "/", CWD, TYPE, MKD,
// RNFR, RNTO succeed; SIZE and MDTM find nothing). Passive transfers only:
// EPSV names a fresh port, STOR takes the data connection and the data.
// Pass it by std::ref to keep the table for a look afterwards.
class TableScript {
public:
    std::map<std::string, std::deque<std::string>> replies;
    std::string features = " MDTM\r\n SIZE\r\n EPSV\r\n";  // FEAT's lines

    void operator()(ScriptedSession& s);

private:
    void Answer(ScriptedSession& s, const std::string& command);
};

class ScriptedServer {
public:
    using Script = std::function<void(ScriptedSession&)>;

    // Listens on host (a numeric address: "127.0.0.1", "::1").
    explicit ScriptedServer(Script script, std::string host = "127.0.0.1");
    ~ScriptedServer();
    static bool CanListenOn(const std::string& host);

    // "127.0.0.1:port", "[::1]:port".
    std::string Address() const;
    // Waits for the script and the client's close; then the results hold.
    void Finish();
    std::vector<std::string> Commands();
    std::vector<std::string> Failures();

private:
    void Run(Script script);

    std::string m_host;
    int m_listen = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::vector<std::string> m_failures;
};

}  // namespace test
