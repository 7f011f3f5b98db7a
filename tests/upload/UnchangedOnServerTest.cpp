// The server half of the unchanged test against a real server: a file whose
// local copy is as it was sent is still sent again when the server's copy
// is gone, replaced, or (on a second server) older than the record.

#include "tests/upload/UploadTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string kPage = "<html>page of twenty</html>\n";

void SetLastWriteTime(const fs::path& path, std::int64_t seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::int64_t LastWriteTime(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mtime;
}

TEST(UnchangedOnServer, AChangedServerCopyIsSentAgain)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> change;  // the server's copy, on its disk
        UploadOutcome second;
    };
    const std::vector<Case> cases = {
        {"left alone", [](const fs::path&) {}, UploadOutcome::Unchanged},
        {"deleted", [](const fs::path& p) { fs::remove(p); }, UploadOutcome::Sent},
        {"other size, same time", [](const fs::path& p) {
             const std::int64_t t = LastWriteTime(p);
             test::WriteFile(p.string(), kPage + "more");
             SetLastWriteTime(p, t);
         }, UploadOutcome::Sent},
        {"same size, other time", [](const fs::path& p) {
             const std::int64_t t = LastWriteTime(p);
             test::WriteFile(p.string(), std::string(kPage.size(), 'x'));
             SetLastWriteTime(p, t - 3600);
         }, UploadOutcome::Sent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyFtpdServer server;
        test::UploadFixture site;
        site.AddServer(server, "");
        site.AddFile("page.html", kPage, "");
        site.Upload();
        ASSERT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>{UploadOutcome::Sent});
        c.change(server.Root() / "page.html");
        site.ui.outcomes.clear();
        site.Upload();
        EXPECT_EQ(site.ui.OutcomeList(), std::vector<UploadOutcome>{c.second});
        EXPECT_EQ(test::ReadFile((server.Root() / "page.html").string()), kPage);
        EXPECT_EQ(site.Texts(), (std::vector<std::string>{test::kUploadComplete, test::kUploadComplete}));
    }
}

TEST(UnchangedOnServer, ASecondServerWithAnOlderCopyGetsTheFile)
{
    test::PyFtpdServer first;
    test::PyFtpdServer second;
    test::UploadFixture site;
    site.AddServer(first, "");
    site.AddFile("page.html", kPage, "");
    site.Upload();
    // The second server holds an older copy of the same size.
    const fs::path old = second.Root() / "page.html";
    test::WriteFile(old.string(), std::string(kPage.size(), 'o'));
    SetLastWriteTime(old, LastWriteTime(first.Root() / "page.html") - 86400);
    site.AddServer(second, "");
    site.ui.outcomes.clear();
    site.Upload();
    EXPECT_EQ(site.ui.OutcomeList(), (std::vector<UploadOutcome>{UploadOutcome::Unchanged, UploadOutcome::Sent}));
    EXPECT_EQ(test::ReadFile(old.string()), kPage);
}

}  // namespace
