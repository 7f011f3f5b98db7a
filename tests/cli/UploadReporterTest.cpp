// The upload reporter fed the run's calls as the run makes them: the totals
// of the progress line follow the plan and what the run found, problems keep
// the text they were shown with, and the lines follow the verbosity.

#include "cli/TerminalUploadUi.h"
#include "platform/framework/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace cli;

// Lines written to a memory stream.
class Captured {
public:
    Captured() : m_file(open_memstream(&m_buffer, &m_size)) {}
    ~Captured()
    {
        std::fclose(m_file);
        std::free(m_buffer);
    }
    std::FILE* File() { return m_file; }
    std::string Text()
    {
        std::fflush(m_file);
        return std::string(m_buffer, m_size);
    }

private:
    char* m_buffer = nullptr;
    std::size_t m_size = 0;
    std::FILE* m_file;
};

struct Step {
    std::int64_t size;                  // SetFileSize
    std::vector<std::int64_t> blocks;   // SetBytesSent, as counts so far
    UploadOutcome outcome;
    std::int64_t allSentAfterBlocks, allTotalAfterBlocks;  // the figures before the outcome
    std::int64_t allTotalAfterOutcome;
};

TEST(UploadReporter, TotalsFollowThePlanAndWhatTheRunFound)
{
    // Three files on two servers: the first and the third new, the middle one
    // unchanged by its record (0 planned).
    UploadPlan plan{{100, 0, 5000}, 2};
    Captured lines;
    CUploadReporter reporter(Verbosity::normal, false, false, plan, lines.File(), nullptr);
    const Step steps[] = {
        {100, {100}, UploadOutcome::Sent, 100, 10200, 10200},
        {300, {200, 300}, UploadOutcome::Sent, 400, 10500, 10500},  // changed on the server: sent after all
        {6000, {}, UploadOutcome::Skipped, 400, 11500, 5500},       // grew since the plan, then skipped
        {100, {100}, UploadOutcome::Sent, 500, 5500, 5500},
        {300, {}, UploadOutcome::Unchanged, 500, 5500, 5500},
        {5000, {5000}, UploadOutcome::Sent, 5500, 5500, 5500},
    };
    int visit = 0;
    for (const Step& step : steps) {
        if (visit % 3 == 0)
            reporter.ServerStarted(visit == 0 ? "one" : "two");
        reporter.FileStarted("/site/f" + std::to_string(visit % 3));
        reporter.SetDestination("www/f" + std::to_string(visit % 3));
        reporter.SetFileSize(step.size);
        for (std::int64_t sent : step.blocks)
            reporter.SetBytesSent(sent);
        if (step.outcome == UploadOutcome::Skipped) {
            EXPECT_TRUE(reporter.MessageShown("/site/f2\nError opening file.\n\nDo you want to continue uploading files?",
                                              MB_YESNO | MB_ICONQUESTION));
        }
        ++visit;
        const ProgressFigures before = reporter.Figures();
        EXPECT_EQ(before.fileNumber, visit);
        EXPECT_EQ(before.fileCount, 6);
        EXPECT_EQ(before.allSent, step.allSentAfterBlocks) << visit;
        EXPECT_EQ(before.allTotal, step.allTotalAfterBlocks) << visit;
        reporter.FileEnded(step.outcome);
        EXPECT_EQ(reporter.Figures().allTotal, step.allTotalAfterOutcome) << visit;
    }
    EXPECT_TRUE(reporter.MessageShown("Upload complete.", MB_ICONINFORMATION)) << "printed, but no problem";
    reporter.RunEnded();

    ASSERT_EQ(reporter.Servers().size(), 2u);
    EXPECT_EQ(reporter.Servers()[0].counts.sent, 2);
    EXPECT_EQ(reporter.Servers()[0].counts.sentBytes, 400);
    EXPECT_EQ(reporter.Servers()[0].counts.skipped, 1);
    EXPECT_EQ(reporter.Servers()[1].counts.unchanged, 1);
    EXPECT_EQ(reporter.Total().sentBytes, 5500);
    EXPECT_EQ(reporter.Servers()[1].error, "");
    ASSERT_EQ(reporter.Problems().size(), 1u);
    EXPECT_EQ(reporter.Problems()[0].error, "/site/f2\nError opening file.");
    EXPECT_EQ(reporter.Problems()[0].server, "one");
    // Default lines: the sent and the skipped files, not the unchanged one.
    EXPECT_EQ(lines.Text(), "one: /site/f0 -> www/f0, 100 bytes, sent\n"
                            "one: /site/f1 -> www/f1, 300 bytes, sent\n"
                            "one: /site/f2 -> www/f2, 6000 bytes, skipped\n"
                            "two: /site/f0 -> www/f0, 100 bytes, sent\n"
                            "two: /site/f2 -> www/f2, 5000 bytes, sent\n");
}

TEST(UploadReporter, AServerErrorIsTheServersEvenInTheMiddleOfAFile)
{
    Captured lines;
    CUploadReporter reporter(Verbosity::quiet, true, false, UploadPlan{{10, 10}, 2}, lines.File(), nullptr);
    reporter.ServerStarted("one");
    EXPECT_TRUE(reporter.MessageShown("530 Login incorrect.\n\nDo you want to continue uploading to the remaining "
                                      "ftp sites?", MB_YESNO | MB_ICONQUESTION));
    reporter.ServerStarted("two");
    reporter.FileStarted("/site/a");
    reporter.SetFileSize(10);
    // The connection drops while the folder is entered: no outcome for the file.
    reporter.MessageShown("Connection closed.", MB_ICONEXCLAMATION);
    EXPECT_EQ(reporter.Figures().allTotal, 20) << "the first server's files are no longer to come";
    EXPECT_FALSE(reporter.MessageShown("Upload complete.", MB_ICONINFORMATION)) << "--quiet leaves the notice out";
    reporter.RunEnded();
    EXPECT_EQ(reporter.Servers()[0].error, "530 Login incorrect.");
    EXPECT_EQ(reporter.Servers()[1].error, "Connection closed.");
    EXPECT_EQ(reporter.Figures().allTotal, 0) << "neither the file cut short nor the one not reached is to come";
    EXPECT_EQ(lines.Text(), "");
    EXPECT_NE(reporter.SummaryJson(1).find("\"server\": \"two\", \"sent\": 0"), std::string::npos);
    EXPECT_NE(reporter.SummaryJson(1).find("\"error\": \"Connection closed.\"}], \"exitStatus\": 1, "
                                          "\"exitMeaning\": \"upload completed, but files were skipped\"}\n"),
              std::string::npos)
        << reporter.SummaryJson(1);
}

}  // namespace
