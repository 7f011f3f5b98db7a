// Upload runs against servers that refuse or delay a step the way real
// servers may: a rename that fails half way round a refusal, a temporary
// refusal of RNTO, SIZE refused in ASCII mode. Each case checks what the
// user would meet: the live page, the upload record and the next run.

#include "tests/upload/UploadTestSupport.h"

#include "model/FileStatus.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/InternetSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

std::string ServerFile(const test::FtpServer& server, const std::string& name)
{
    return test::ReadFile((server.Root() / name).string());
}

}  // namespace

// The rename over the live page is refused, the old page moved aside, and the
// rename of the new one refused as well (550 for good, 450 for now): the old
// page must be back under its name, the record untouched, and the next run
// must send the file again.
TEST(UploadFaultCases, ARenameThatFailsRoundAnExistingPageKeepsTheLivePage)
{
    struct Case {
        const char* name;
        test::PyFtpdOptions options;
    };
    test::PyFtpdOptions aside;
    aside.refuseRenameOverExisting = true;
    aside.refuseRenameFrom = "OrviktsnTemp";
    test::PyFtpdOptions busy;
    busy.renameReply = "450 Busy, try later.";
    const Case cases[] = {{"second rename refused", aside}, {"450 to every RNTO", busy}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyFtpdServer server(c.options);
        test::WriteFile((server.Root() / "index.html").string(), "live page\n");
        test::UploadFixture site;
        site.AddServer(server, "");
        site.AddFile("index.html", "new page\n", "");
        site.box.Answer(IDYES);
        site.Upload();
        EXPECT_EQ(site.Texts(), (std::vector<std::string>{test::kRenameQuestion, test::kUploadComplete}));
        EXPECT_EQ(ServerFile(server, "index.html"), "live page\n");
        EXPECT_FALSE(fs::exists(server.Root() / "OrviktsnOld.html"));
        EXPECT_EQ(site.doc.m_files[0].m_timeLocal.GetTime(), 0);
        EXPECT_EQ(site.doc.m_files[0].m_dwRemoteSize, 0u);
        EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>{UploadOutcome::Skipped});

        server.ClearCommands();
        site.box.Answer(IDYES);
        site.Upload();
        EXPECT_EQ(server.CommandsStartingWith("STOR").size(), 1u);
    }
}

// Without MLST the look-up after the rename is SIZE and MDTM, and the server
// refuses SIZE in ASCII mode: after an ASCII file the record must still get
// the remote size, so that the next run sends nothing.
TEST(UploadFaultCases, TheLookUpAfterAnAsciiFileGetsTheRemoteSize)
{
    test::PyFtpdOptions options;
    options.mlst = false;
    test::PyFtpdServer server(options);
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("page.html", "<p>one</p>\n<p>two</p>\n", "", true);
    site.AddFile("logo.gif", "GIF89a", "");
    site.Upload();
    EXPECT_EQ(site.Texts(), std::vector<std::string>{test::kUploadComplete});
    for (const FileEntry& entry : site.doc.m_files) {
        const std::string name = fs::path(entry.m_strFileName).filename().string();
        EXPECT_EQ(entry.m_dwRemoteSize, fs::file_size(server.Root() / name)) << name;
        EXPECT_NE(entry.m_timeRemote.GetTime(), 0) << name;
    }
    server.ClearCommands();
    site.Upload();
    EXPECT_EQ(server.CommandsStartingWith("STOR"), std::vector<std::string>{});
    EXPECT_EQ(site.ui.OutcomeList(),
              (std::vector<UploadOutcome>{UploadOutcome::Sent, UploadOutcome::Sent, UploadOutcome::Unchanged,
                                          UploadOutcome::Unchanged}));
}

// The look-up sent ahead with a rename answers only a look-up of the renamed
// name: asking for another name right after it must reach the server.
TEST(UploadFaultCases, TheLookUpSentWithARenameAnswersOnlyForTheRenamedName)
{
    test::PyFtpdOptions options;
    options.mlst = false;
    test::PyFtpdServer server(options);
    test::WriteFile((server.Root() / "other.html").string(), "abc");
    CInternetSession session;
    std::unique_ptr<CFtpConnection> ftp(
        session.GetFtpConnection(server.Address(), server.User(), server.Password(), 0, false));
    ASSERT_TRUE(ftp);
    std::unique_ptr<CInternetFile> file(
        ftp->OpenFile("OrviktsnTemp.html", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 1));
    ASSERT_TRUE(file);
    file->Write("0123456789", 10);
    file->Close();
    file.reset();
    server.ClearCommands();
    ASSERT_TRUE(ftp->RenameAndLookUp("OrviktsnTemp.html", "page.html", false));
    struct Case {
        const char* name;
        DWORD size;
    };
    for (const Case& c : {Case{"other.html", 3}, Case{"page.html", 10}}) {
        CTime time;
        DWORD size = 0;
        ASSERT_TRUE(CTessarineDoc::GetRemoteFileInfo(ftp.get(), c.name, time, size)) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
    }
    EXPECT_EQ(server.CommandsStartingWith("SIZE"),
              (std::vector<std::string>{"SIZE page.html", "SIZE other.html", "SIZE page.html"}));
    ftp->Close();
}

// A rename is refused (the temporary file stays, as after any refused
// rename), then the connection drops during the next file's look-up. The
// server error handler can remove the temporary file only over a connection
// that still works; this one is gone, so the file stays on the server, the
// error is shown alone (last server) and the run ends. The next run sends
// the first file again under the same temporary name and renames it: the
// server is clean.
TEST(UploadFaultCases, ATemporaryFileLeftByADroppedConnectionGoesWithTheNextRun)
{
    test::PyFtpdOptions options;
    options.refuseFirstRenames = 1;
    options.dropOnceOn = "MLST b.html";
    test::PyFtpdServer server(options);
    test::UploadFixture site;
    site.AddServer(server, "");
    site.AddFile("a.html", "page a\n", "");
    site.AddFile("b.html", "page b\n", "");
    const auto status = GetLocalFileStatus(site.LocalPath("b.html"));
    ASSERT_TRUE(status);
    site.doc.m_files[1].m_timeLocal = status->m_mtime;  // as if sent before: the look-up is asked
    site.doc.m_files[1].m_dwLocalSize = status->m_size;
    site.box.Answer(IDYES);
    site.Upload();
    const auto shown = site.box.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, test::kRenameQuestion);
    EXPECT_EQ(shown[1].style, test::kErrorStyle);
    EXPECT_NE(shown[1].text, test::kUploadComplete);
    EXPECT_EQ(ServerFile(server, "OrviktsnTemp.html"), "page a\n");
    EXPECT_EQ(site.doc.m_files[0].m_timeLocal.GetTime(), 0);

    site.box.Clear();
    site.Upload();
    EXPECT_EQ(site.Texts(), std::vector<std::string>{test::kUploadComplete});
    EXPECT_FALSE(fs::exists(server.Root() / "OrviktsnTemp.html"));
    EXPECT_EQ(ServerFile(server, "a.html"), "page a\n");
    EXPECT_EQ(ServerFile(server, "b.html"), "page b\n");
}
