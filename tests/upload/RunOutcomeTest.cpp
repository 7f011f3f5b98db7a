// How a run ended, as the document records it for the tool and the window:
// the value follows the run's course, never a message's text.

#include "tests/upload/UploadTestSupport.h"

#include "platform/framework/MessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

TEST(RunOutcome, TheDocumentRecordsHowTheRunEnded)
{
    struct Case {
        const char* name;
        std::function<void(test::UploadFixture&)> arrange;
        UploadRunOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"clean", [](test::UploadFixture&) {}, UploadRunOutcome::completed},
        {"missing file, Yes", [](test::UploadFixture& site) {
             fs::remove(site.LocalPath("a.html"));
             site.box.Answer(IDYES);
         }, UploadRunOutcome::completedAfterProblems},
        {"missing file, No", [](test::UploadFixture& site) {
             fs::remove(site.LocalPath("a.html"));
             site.box.Answer(IDNO);
         }, UploadRunOutcome::stopped},
        {"Cancel", [](test::UploadFixture& site) { site.ui.cancelAtBytes = 1; }, UploadRunOutcome::stopped},
        {"quit message", [](test::UploadFixture& site) { site.ui.quitAtPump = 1; }, UploadRunOutcome::stopped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyFtpdServer server;
        test::UploadFixture site;
        site.AddServer(server, "");
        site.AddFile("a.html", "<p>a</p>\n", "", true);
        site.AddFile("b.html", "<p>b</p>\n", "", true);
        c.arrange(site);
        site.Upload();
        EXPECT_EQ(site.doc.GetLastUploadOutcome(), c.outcome);
        // The designed notice still comes exactly when the run was not stopped.
        const std::vector<std::string> texts = site.Texts();
        EXPECT_EQ(!texts.empty() && texts.back() == test::kUploadComplete, c.outcome != UploadRunOutcome::stopped);
    }
}

}  // namespace
