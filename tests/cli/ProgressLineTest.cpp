// The arithmetic behind the upload's progress line and summary: units, the
// rate over the last seconds, the time left, and a line that fits its width.

#include "cli/ProgressLine.h"
#include "cli/UploadSummary.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace cli;

TEST(ProgressUnits, BytesAndDurationsReadAsPeopleWriteThem)
{
    const std::pair<std::int64_t, const char*> bytes[] = {
        {-5, "0 B"},          {0, "0 B"},           {1023, "1023 B"},       {1024, "1.0 KiB"},
        {1536, "1.5 KiB"},    {1048575, "1.0 MiB"}, {3565158, "3.4 MiB"},   {314572800, "300.0 MiB"},
        {1288490189, "1.2 GiB"}, {INT64_MAX, "8.0 EiB"},
    };
    for (const auto& [count, text] : bytes)
        EXPECT_EQ(FormatBytes(count), text) << count;

    struct Duration {
        double seconds;
        bool tenths;
        const char* text;
    };
    const Duration durations[] = {
        {-3, true, "0.0 s"},     {6.08, true, "6.1 s"},         {59.94, true, "59.9 s"},
        {59.96, true, "1 min 00 s"}, {45.4, false, "45 s"},     {125, false, "2 min 05 s"},
        {3599.6, false, "1 h 00 min"}, {3725, false, "1 h 02 min"}, {90061, false, "25 h 01 min"},
    };
    for (const Duration& d : durations)
        EXPECT_EQ(FormatDuration(d.seconds, d.tenths), d.text) << d.seconds;
}

TEST(ProgressRate, IsTheRateOfTheLastSecondsAndGivesTheTimeLeft)
{
    RateMeter meter(5.0);
    EXPECT_EQ(meter.BytesPerSecond(), 0);
    meter.Add(0, 0);
    meter.Add(0.1, 100000);
    EXPECT_EQ(meter.BytesPerSecond(), 0) << "a tenth of a second tells nothing yet";
    // Ten seconds at 1 MiB/s, then six at 3 MiB/s: the window sees only the faster part.
    std::int64_t sent = 100000;
    for (int s = 1; s <= 10; ++s)
        meter.Add(s, sent += 1048576);
    EXPECT_NEAR(meter.BytesPerSecond(), 1048576, 1);
    for (int s = 11; s <= 16; ++s)
        meter.Add(s, sent += 3 * 1048576);
    EXPECT_NEAR(meter.BytesPerSecond(), 3 * 1048576, 1);

    EXPECT_DOUBLE_EQ(SecondsLeft(3 * 1048576 * 40, 3 * 1048576), 40);
    EXPECT_DOUBLE_EQ(SecondsLeft(0, 10), 0);
    EXPECT_DOUBLE_EQ(SecondsLeft(-7, 10), 0) << "a file that grew while sent";
    EXPECT_LT(SecondsLeft(100, 0), 0) << "no rate, no estimate";
}

TEST(ProgressLine, FitsItsWidthShorteningTheNameInTheMiddle)
{
    ProgressFigures f;
    f.fileNumber = 12;
    f.fileCount = 32;
    f.fileSent = 1024 * 1024;
    f.fileSize = 3 * 1024 * 1024;
    f.allSent = 10 * 1024 * 1024;
    f.allTotal = 40 * 1024 * 1024;
    f.bytesPerSecond = 2 * 1024 * 1024;
    f.name = "www/video/2026/summer/holiday-on-the-coast-caf\xC3\xA9.avi";
    struct Case {
        std::size_t width;
        std::vector<std::string> parts;  // in the line
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {200, {"12/32 " + f.name, "1.0 MiB/3.0 MiB", "all 10.0 MiB/40.0 MiB", "25%", "2.0 MiB/s", "15 s left"}, {"..."}},
        {100, {"12/32 www/video/", "...", "caf\xC3\xA9.avi", "all 10.0 MiB/40.0 MiB", "15 s left"}, {"1.0 MiB/3.0"}},
        {60, {"12/32 ", "caf\xC3\xA9.avi", "25%  2.0 MiB/s  15 s left"}, {"all "}},
        {40, {"12/32 25%  2.0 MiB/s  15 s left"}, {"avi"}},
        {20, {"12/32 25%  2.0 MiB/s"}, {"left"}},
        {5, {"12/32"}, {"%"}},
    };
    for (const Case& c : cases) {
        const std::string line = FormatProgressLine(f, c.width);
        EXPECT_LE(Columns(line), c.width) << line;
        for (const std::string& part : c.parts)
            EXPECT_NE(line.find(part), std::string::npos) << c.width << ": " << part << " in " << line;
        for (const std::string& part : c.absent)
            EXPECT_EQ(line.find(part), std::string::npos) << c.width << ": " << part << " in " << line;
    }
    // Before the rate is known: no estimate; a run with nothing to send is whole.
    f.bytesPerSecond = 0;
    EXPECT_NE(FormatProgressLine(f, 200).find("--/s  -- left"), std::string::npos);
    f.allSent = f.allTotal = 0;
    EXPECT_NE(FormatProgressLine(f, 200).find(" 100%"), std::string::npos);
}

TEST(ProgressLine, ShortensOnCharacterBoundaries)
{
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"abcdefghij", 10, "abcdefghij"},
        {"abcdefghij", 7, "ab...ij"},
        {"abcdefghij", 8, "ab...hij"},
        {"abcdef", 2, ".."},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5, "\xC3\xA9...\xC3\xA9"},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 4, "...\xC3\xA9"},
    };
    for (const auto& [text, width, shortened] : cases) {
        EXPECT_EQ(ShortenMiddle(text, width), shortened) << text << " " << width;
        EXPECT_LE(Columns(ShortenMiddle(text, width)), width);
    }
}

TEST(UploadSummary, CountsEveryOutcomeAndReadsAsOneLine)
{
    OutcomeCounts run;
    for (int i = 0; i < 12; ++i)
        run.Add(UploadOutcome::Sent, i < 11 ? 300000 : 3565158 - 11 * 300000);
    for (int i = 0; i < 188; ++i)
        run.Add(UploadOutcome::Unchanged, 5000);
    run.seconds = 6.1;
    EXPECT_EQ(FormatSummary(run, false), "12 sent (3.4 MiB), 188 unchanged, 0 skipped, 0 errors in 6.1 s, 0.6 MiB/s");
    OutcomeCounts quick;
    quick.Add(UploadOutcome::Sent, 15008);
    quick.seconds = 0.0125;
    EXPECT_EQ(FormatSummary(quick, false), "1 sent (14.7 KiB), 0 unchanged, 0 skipped, 0 errors in 0.0 s, 1.1 MiB/s");

    OutcomeCounts other;
    other.Add(UploadOutcome::Skipped, 10);
    other.Add(UploadOutcome::Failed, 10);
    other.Add(UploadOutcome::Stopped, 700);
    other.seconds = 0;
    EXPECT_EQ(FormatSummary(other, false), "0 sent (0 B), 0 unchanged, 1 skipped, 1 error, 1 stopped in 0.0 s, 0 B/s");
    run += other;
    EXPECT_EQ(run.sent, 12);
    EXPECT_EQ(run.skipped, 1);
    EXPECT_EQ(run.sentBytes, 3565158) << "bytes of a stopped file were not sent";

    OutcomeCounts dry;
    dry.Add(UploadOutcome::WouldSend, 2048);
    dry.Add(UploadOutcome::Unchanged, 1);
    dry.seconds = 0.25;
    EXPECT_EQ(FormatSummary(dry, true), "1 would be sent (2.0 KiB), 1 unchanged, 0 skipped, 0 errors in 0.3 s");
}

}  // namespace
