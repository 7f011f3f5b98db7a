// The tool's exit status after a run in which a problem was shown and the
// user (--yes) went on: a refused login with a server still to go, and a
// local file that cannot be opened. Both are problems, so the run is not
// clean (1); the file is listed among the problems.

#include "tests/support/Program.h"

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/servers/ServerAccount.h"
#include "tests/servers/TestServers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(UploadExitStatus, AProblemAnsweredYesIsNotACleanRun)
{
    struct Case {
        const char* name;
        bool refuseFirstLogin;
        bool missingFile;
        std::string expectedText;  // in standard error
    };
    const Case cases[] = {
        {"refused login on the first of two servers", true, false,
         "\n\nDo you want to continue uploading to the remaining ftp sites?\n"},
        {"local file that cannot be opened", false, true,
         "\nError opening file.\n\nDo you want to continue uploading files?\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyFtpdServer first;
        test::PyFtpdServer second;
        test::TempDir dir("tessarine-cli-status");
        CTessarineDoc doc;
        doc.m_servers.push_back(test::ServerAccount(first, ""));
        doc.m_servers.push_back(test::ServerAccount(second, ""));
        if (c.refuseFirstLogin)
            doc.m_servers[0].m_strPassword = "not the password";
        for (const char* name : {"gone.html", "here.html"}) {
            test::WriteFile(dir.file(name), std::string("content of ") + name + "\n");
            FileEntry entry;
            entry.m_strFileName = dir.file(name);
            doc.m_files.push_back(entry);
        }
        if (c.missingFile)
            fs::remove(dir.file("gone.html"));
        ASSERT_TRUE(SaveDocumentFile(doc, dir.file("site.tsn")));

        const test::ProgramResult result = test::RunTool({"upload", dir.file("site.tsn"), "--yes"});
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_NE(result.err.find(c.expectedText), std::string::npos) << result.err;
        if (c.missingFile)
            EXPECT_NE(result.err.find("Not uploaded:\n  " + first.Address() + ": " + dir.file("gone.html")),
                      std::string::npos)
                << result.err;
        EXPECT_TRUE(fs::exists(second.Root() / "here.html"));
    }
}
