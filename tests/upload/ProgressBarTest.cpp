#include "upload/ProgressBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

TEST(KilobytesRoundedUp, RoundsUpOverTheWholeRange)
{
    struct Case {
        std::int64_t bytes;
        std::int64_t kilobytes;
    };
    const Case cases[] = {
        {0, 0},          {1, 1},
        {1024, 1},       {1025, 2},
        {3000, 3},       {64LL << 20, 65536},
        {(64LL << 20) + 1, 65537},
        {INT32_MAX, 2097152},  // (count + 1023) would overflow 32 bits here
        {4LL << 30, 4194304},
        {INT64_MAX, INT64_MAX / 1024 + 1},
        {-5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KilobytesRoundedUp(c.bytes), c.kilobytes) << c.bytes;
}

TEST(UploadProgressBar, EmptyFileIsAnEmptyBarNotABusyOne)
{
    CUploadProgressBar bar;
    bar.SetFileSize(0);
    bar.SetBytesSent(0);
    EXPECT_EQ(bar.RangeKilobytes(), 0);
    EXPECT_EQ(bar.Permille(), 0);
    EXPECT_EQ(bar.ControlValues(), (BarControlValues{1, 0}));
}

TEST(UploadProgressBar, FollowsTheBlocksOfA3000ByteFile)
{
    CUploadProgressBar bar;
    bar.SetFileSize(3000);
    EXPECT_EQ(bar.ControlValues(), (BarControlValues{3, 0}));
    const std::int64_t sent[] = {1024, 2048, 3000};
    for (int block = 0; block < 3; ++block) {
        bar.SetBytesSent(sent[block]);
        EXPECT_EQ(bar.PositionKilobytes(), block + 1);
    }
    EXPECT_EQ(bar.Permille(), 1000);
}

TEST(UploadProgressBar, OneByteFileIsFullAfterItsBlock)
{
    CUploadProgressBar bar;
    bar.SetFileSize(1);
    bar.SetBytesSent(1);
    EXPECT_EQ(bar.ControlValues(), (BarControlValues{1, 1}));
}

TEST(UploadProgressBar, FilesOf64MiBAndMoreKeepTheirTrueRange)
{
    CUploadProgressBar bar;
    bar.SetFileSize(100LL << 20);
    bar.SetBytesSent(50LL << 20);
    EXPECT_EQ(bar.ControlValues(), (BarControlValues{102400, 51200}));
    EXPECT_EQ(bar.Permille(), 500);
}

TEST(UploadProgressBar, HugeCountsAreScaledIntoTheControlsIntRange)
{
    CUploadProgressBar bar;
    bar.SetFileSize(INT64_MAX);
    bar.SetBytesSent(INT64_MAX / 2);
    const BarControlValues values = bar.ControlValues();
    EXPECT_LE(values.maximum, INT_MAX);
    EXPECT_GT(values.maximum, INT_MAX / 2);
    EXPECT_NEAR(static_cast<double>(values.value) / values.maximum, 0.5, 0.001);
    EXPECT_EQ(bar.Permille(), 500);
}

TEST(UploadProgressBar, AGrowingFileStopsAtAFullBarAndANewFileStartsEmpty)
{
    CUploadProgressBar bar;
    bar.SetFileSize(2048);
    bar.SetBytesSent(10000);
    EXPECT_EQ(bar.PositionKilobytes(), 2);
    bar.SetFileSize(5000);
    EXPECT_EQ(bar.ControlValues(), (BarControlValues{5, 0}));
}

}  // namespace
