#include "upload/ProgressBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

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

TEST(UploadProgressBar, RangeAndPositionFollowTheBlocksSent)
{
    struct Case {
        std::int64_t size;
        std::vector<std::int64_t> sent;
        std::vector<BarControlValues> shown;  // after SetFileSize, then after each block
    };
    const Case cases[] = {
        {0, {}, {{1, 0}}},  // empty: an empty bar, never the 0..0 "busy" look
        {1, {1}, {{1, 0}, {1, 1}}},
        {3000, {1024, 2048, 3000}, {{3, 0}, {3, 1}, {3, 2}, {3, 3}}},
        {100LL << 20, {50LL << 20}, {{102400, 0}, {102400, 51200}}},  // past 16 bits
        {2048, {10000}, {{2, 0}, {2, 2}}},  // a file that grew while it was sent
    };
    for (const Case& c : cases) {
        CUploadProgressBar bar;
        bar.SetFileSize(c.size);
        std::vector<BarControlValues> shown = {bar.ControlValues()};
        for (std::int64_t sent : c.sent) {
            bar.SetBytesSent(sent);
            shown.push_back(bar.ControlValues());
        }
        EXPECT_EQ(shown, c.shown) << c.size;
    }
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

}  // namespace
