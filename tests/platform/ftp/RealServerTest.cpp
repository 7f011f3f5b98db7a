// The client against real servers on 127.0.0.1: pyftpdlib with all its
// features, without MLST, and without MLST, MDTM and SIZE (so that every
// way of looking a file up is taken), and vsftpd; each in active and
// passive mode. What arrived is checked on the server's disk, which
// commands were sent in the server's command log.

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpFileFind.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"
#include "tests/servers/TestServers.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;

enum class Kind { PyFull, PyNoMlst, PyBare, Vsftpd };

struct Param {
    Kind kind;
    bool passive;
};

std::string KindName(Kind kind)
{
    switch (kind) {
    case Kind::PyFull: return "PyftpdFull";
    case Kind::PyNoMlst: return "PyftpdNoMlst";
    case Kind::PyBare: return "PyftpdBare";
    case Kind::Vsftpd: return "Vsftpd";
    }
    return "?";
}

std::string ParamName(const testing::TestParamInfo<Param>& info)
{
    return KindName(info.param.kind) + (info.param.passive ? "Passive" : "Active");
}

std::string Bytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(random() & 0xFF);
    return s;
}

test::PyFtpdOptions PyOptions(bool mlst, bool mdtm, bool size)
{
    test::PyFtpdOptions options;
    options.mlst = mlst;
    options.mdtm = mdtm;
    options.size = size;
    return options;
}

class RealServerTest : public testing::TestWithParam<Param> {
public:
    static void TearDownTestSuite() { s_servers.clear(); }

protected:
    void SetUp() override
    {
        if (GetParam().kind == Kind::Vsftpd && !test::VsftpdServer::Available())
            GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
        m_server = &Server(GetParam().kind);
        m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, 0);
        m_connection.reset(Connect());
        // Each test works in a folder of its own.
        m_folder = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(m_folder.begin(), m_folder.end(), '/', '_');
        const std::string path = Join(m_server->UploadFolder(), m_folder);
        ASSERT_TRUE(m_connection->CreateDirectory(path)) << m_connection->GetLastReplyText();
        ASSERT_TRUE(m_connection->SetCurrentDirectory(path)) << m_connection->GetLastReplyText();
        m_server->ClearCommands();
    }

    static std::string Join(const std::string& a, const std::string& b) { return a.empty() ? b : a + "/" + b; }

    static test::FtpServer& Server(Kind kind)
    {
        std::unique_ptr<test::FtpServer>& server = s_servers[kind];
        if (!server) {
            switch (kind) {
            case Kind::PyFull: server = std::make_unique<test::PyFtpdServer>(); break;
            case Kind::PyNoMlst: server = std::make_unique<test::PyFtpdServer>(PyOptions(false, true, true)); break;
            case Kind::PyBare:
                server = std::make_unique<test::PyFtpdServer>(PyOptions(false, false, false));
                break;
            case Kind::Vsftpd: server = std::make_unique<test::VsftpdServer>(); break;
            }
        }
        return *server;
    }

    CFtpConnection* Connect(const std::string& password)
    {
        return m_session.GetFtpConnection(m_server->Address(), m_server->User(), password, 0, GetParam().passive);
    }
    CFtpConnection* Connect() { return Connect(m_server->Password()); }

    // Where a file of the test's folder lands on disk.
    fs::path OnDisk(const std::string& name) const { return m_server->UploadRoot() / m_folder / name; }

    // Writes bytes in 1024-byte blocks, as the upload run does.
    void Put(const std::string& name, const std::string& bytes, std::uint32_t type = FTP_TRANSFER_TYPE_BINARY)
    {
        std::unique_ptr<CInternetFile> file(m_connection->OpenFile(name, GENERIC_WRITE, type, 1));
        for (std::size_t at = 0; at < bytes.size(); at += 1024)
            file->Write(bytes.data() + at, static_cast<unsigned>(std::min<std::size_t>(1024, bytes.size() - at)));
        file->Close();
    }

    bool Find(const std::string& name, std::int64_t& time, std::uint64_t& size)
    {
        CFtpFileFind find(m_connection.get(), 1);
        const bool found = find.FindFile(name, INTERNET_FLAG_RELOAD);
        if (found) {
            find.FindNextFile();
            EXPECT_TRUE(find.GetLastWriteTime(time));
            size = find.GetLength();
        }
        find.Close();
        return found;
    }

    static inline std::map<Kind, std::unique_ptr<test::FtpServer>> s_servers;
    test::FtpServer* m_server = nullptr;
    CInternetSession m_session;
    std::unique_ptr<CFtpConnection> m_connection;
    std::string m_folder;
};

TEST_P(RealServerTest, RefusedLoginGivesTheServersReply)
{
    std::string text;
    try {
        std::unique_ptr<CFtpConnection> c(
            m_session.GetFtpConnection(m_server->Address(), "nobody-here", "wrong", 0, GetParam().passive));
    } catch (const CInternetException& e) {
        text = e.ErrorText();
        EXPECT_EQ(e.m_dwError, ERROR_INTERNET_EXTENDED_ERROR);
    }
    const std::string expected = GetParam().kind == Kind::Vsftpd ? "530 This FTP server is anonymous only."
                                                                   : "530 Authentication failed.";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.find("wrong"), std::string::npos);
}

TEST_P(RealServerTest, FoldersNestedAndExisting)
{
    std::string start;
    ASSERT_TRUE(m_connection->GetCurrentDirectory(start));
    EXPECT_TRUE(m_connection->CreateDirectory("www"));
    EXPECT_TRUE(m_connection->CreateDirectory("www/images"));
    EXPECT_TRUE(m_connection->CreateDirectory("www/images/icons"));
    EXPECT_FALSE(m_connection->CreateDirectory("www"));
    EXPECT_EQ(m_connection->GetLastReplyText().substr(0, 3), "550");
    EXPECT_FALSE(m_connection->SetCurrentDirectory("missing"));
    ASSERT_TRUE(m_connection->SetCurrentDirectory("www/images/icons"));
    std::string now;
    ASSERT_TRUE(m_connection->GetCurrentDirectory(now));
    EXPECT_EQ(now, start + "/www/images/icons");
    EXPECT_TRUE(m_connection->SetCurrentDirectory(start));
    EXPECT_TRUE(fs::is_directory(OnDisk("www/images/icons")));
}

TEST_P(RealServerTest, StoresFilesOfEverySizeByteForByte)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty.bin", ""},
        {"one.bin", "x"},
        {"mebi.bin", Bytes(1 << 20, 1)},
        {"random.bin", Bytes(300 * 1000 + 7, 2)},
    };
    for (const auto& [name, bytes] : files) {
        Put(name, bytes);
        EXPECT_EQ(test::ReadFile(OnDisk(name).string()), bytes) << name;
        EXPECT_EQ(fs::file_size(OnDisk(name)), bytes.size()) << name;
    }
    const auto stors = m_server->CommandsStartingWith("STOR");
    EXPECT_EQ(stors.size(), files.size());
    const auto modes = m_server->CommandsStartingWith(GetParam().passive ? "EPSV" : "EPRT");
    EXPECT_EQ(modes.size(), files.size());
}

TEST_P(RealServerTest, AsciiTurnsLineEndsIntoCrlf)
{
    // A CRLF that spans the 1024-byte block boundary stays one CRLF.
    std::string text(1023, 'a');
    text += "\r\nline two\nline three\n";
    Put("text.txt", text, FTP_TRANSFER_TYPE_ASCII);
    std::string sent(1023, 'a');
    sent += "\r\nline two\r\nline three\r\n";
    std::string stored(1023, 'a');
    stored += "\nline two\nline three\n";
    // vsftpd stores what was sent; pyftpdlib turns CRLF back into LF.
    const std::string expected = GetParam().kind == Kind::Vsftpd ? sent : stored;
    EXPECT_EQ(test::ReadFile(OnDisk("text.txt").string()), expected);
    EXPECT_EQ(m_server->CommandsStartingWith("TYPE"), std::vector<std::string>{"TYPE A"});
}

TEST_P(RealServerTest, RenameOverAnExistingFileAndRemove)
{
    Put("index.html", "old");
    Put("OrviktsnTemp.html", "new");
    EXPECT_TRUE(m_connection->Rename("OrviktsnTemp.html", "index.html"));
    EXPECT_EQ(test::ReadFile(OnDisk("index.html").string()), "new");
    EXPECT_FALSE(fs::exists(OnDisk("OrviktsnTemp.html")));
    EXPECT_FALSE(m_connection->Rename("OrviktsnTemp.html", "index.html"));
    EXPECT_TRUE(m_connection->Remove("index.html"));
    EXPECT_FALSE(fs::exists(OnDisk("index.html")));
    EXPECT_FALSE(m_connection->Remove("index.html"));
}

TEST_P(RealServerTest, FindFileGivesSizeAndTime)
{
    const std::string name = "page one ü.html";  // a blank and UTF-8 letters
    Put(name, Bytes(5000, 3));
    m_server->ClearCommands();
    std::int64_t time = 0;
    std::uint64_t size = 0;
    ASSERT_TRUE(Find(name, time, size));
    EXPECT_EQ(size, 5000u);
    struct stat st{};
    ASSERT_EQ(stat(OnDisk(name).c_str(), &st), 0);
    // MLST and MDTM give seconds; an "ls -l" line of a recent file minutes.
    const std::int64_t resolution = GetParam().kind == Kind::PyBare ? 60 : 1;
    EXPECT_LE(time, st.st_mtime);
    EXPECT_GT(time, st.st_mtime - resolution);

    // Put left the type at I already. (vsftpd logs non-ASCII letters as
    // "?", so the verbs are compared.)
    const std::map<Kind, std::vector<std::string>> expected = {
        {Kind::PyFull, {"MLST"}},
        {Kind::PyNoMlst, {"SIZE", "MDTM"}},
        {Kind::PyBare, {GetParam().passive ? "EPSV" : "EPRT", "LIST"}},
        {Kind::Vsftpd, {"SIZE", "MDTM"}},
    };
    std::vector<std::string> verbs;
    for (const std::string& command : m_server->Commands())
        verbs.push_back(command.substr(0, command.find(' ')));
    EXPECT_EQ(verbs, expected.at(GetParam().kind));
}

TEST_P(RealServerTest, FindFileMissesWhatIsNotThere)
{
    Put("present.txt", "here");
    Put("present.txt.bak", "there");
    std::int64_t time = 0;
    std::uint64_t size = 0;
    EXPECT_FALSE(Find("absent.txt", time, size));
    EXPECT_FALSE(Find("present", time, size));
    ASSERT_TRUE(Find("present.txt", time, size));
    EXPECT_EQ(size, 4u);
}

TEST_P(RealServerTest, NameThatLooksLikeATimeStampIsNeverSentToMdtm)
{
    const std::string name = "20240101120000 notes.txt";
    Put(name, "abc");
    const auto before = fs::last_write_time(OnDisk(name));
    m_server->ClearCommands();
    std::int64_t time = 0;
    std::uint64_t size = 0;
    ASSERT_TRUE(Find(name, time, size));
    EXPECT_EQ(size, 3u);
    EXPECT_TRUE(m_server->CommandsStartingWith("MDTM").empty());
    EXPECT_EQ(fs::last_write_time(OnDisk(name)), before);
}

TEST_P(RealServerTest, NameWithALineBreakIsNeverSent)
{
    m_server->ClearCommands();
    try {
        std::unique_ptr<CInternetFile> f(m_connection->OpenFile("a\r\nDELE x", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
        ADD_FAILURE() << "opened";
    } catch (const CInternetException& e) {
        EXPECT_NE(e.ErrorText().find("line break"), std::string::npos) << e.ErrorText();
    }
    EXPECT_FALSE(m_connection->SetCurrentDirectory(std::string("a\0b", 3)));
    EXPECT_FALSE(m_connection->Remove("x\ny"));
    EXPECT_TRUE(m_server->CommandsStartingWith("STOR").empty());
    EXPECT_TRUE(m_server->CommandsStartingWith("DELE").empty());
    EXPECT_TRUE(m_server->CommandsStartingWith("CWD").empty());
    // The connection is still usable.
    Put("after.txt", "ok");
    EXPECT_EQ(test::ReadFile(OnDisk("after.txt").string()), "ok");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServerTest,
                         testing::Values(Param{Kind::PyFull, false}, Param{Kind::PyFull, true},
                                         Param{Kind::PyNoMlst, false}, Param{Kind::PyNoMlst, true},
                                         Param{Kind::PyBare, false}, Param{Kind::PyBare, true},
                                         Param{Kind::Vsftpd, false}, Param{Kind::Vsftpd, true}),
                         ParamName);

}  // namespace
