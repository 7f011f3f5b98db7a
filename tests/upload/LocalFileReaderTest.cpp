#include "upload/LocalFileReader.h"
#include "upload/RunLock.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string RandomBytes(std::size_t count)
{
    std::mt19937 random(42);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// Reads the whole file block by block; every block but the last is full.
std::string ReadAllBlocks(CLocalFileReader& reader, std::size_t& blocks, bool& shortBlockInside)
{
    std::string all;
    blocks = 0;
    shortBlockInside = false;
    bool sawShort = false;
    for (;;) {
        const char* block = nullptr;
        const std::ptrdiff_t count = reader.ReadBlock(&block);
        EXPECT_GE(count, 0);
        if (count <= 0)
            return all;
        shortBlockInside |= sawShort;
        sawShort = count < static_cast<std::ptrdiff_t>(CLocalFileReader::kBlockSize);
        all.append(block, static_cast<std::size_t>(count));
        ++blocks;
    }
}

TEST(LocalFileReader, HandsOutTheFileIn1024ByteBlocks)
{
    test::TempDir dir;
    for (std::size_t size : {0u, 1u, 1023u, 1024u, 1025u, 65536u, 65537u, 200000u}) {
        const std::string bytes = RandomBytes(size);
        test::WriteFile(dir.file("f.bin"), bytes);
        CLocalFileReader reader;
        ASSERT_TRUE(reader.Open(dir.file("f.bin")));
        EXPECT_EQ(reader.Size(), static_cast<std::int64_t>(size));
        std::size_t blocks = 0;
        bool shortInside = false;
        EXPECT_EQ(ReadAllBlocks(reader, blocks, shortInside), bytes) << size;
        EXPECT_EQ(blocks, (size + 1023) / 1024) << size;
        EXPECT_FALSE(shortInside) << size;
    }
}

TEST(LocalFileReader, OpensOnlyRegularFilesAndNeverBlocks)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    test::WriteFile(dir.file("plain"), "x");
    CLocalFileReader reader;
    EXPECT_FALSE(reader.Open(dir.file("fifo")));
    EXPECT_FALSE(reader.Open(dir.str()));
    EXPECT_FALSE(reader.Open(dir.file("missing")));
    EXPECT_FALSE(reader.Open(dir.file("plain") + "/below"));  // a path under a regular file
    EXPECT_TRUE(reader.Open(dir.file("plain")));
}

TEST(UploadRunLock, ASecondRunOnTheSameFileIsRefusedUntilTheFirstEnds)
{
    test::TempDir dir;
    const std::string site = dir.file("site.tsn");
    test::WriteFile(site, "KTSN");
    CUploadRunLock first;
    ASSERT_EQ(first.Acquire(site), CUploadRunLock::Result::Locked);
    CUploadRunLock second;
    EXPECT_EQ(second.Acquire(site), CUploadRunLock::Result::Busy);
    first.Release();
    EXPECT_EQ(second.Acquire(site), CUploadRunLock::Result::Locked);
}

TEST(UploadRunLock, LocksTheFileThePathNamesAfterASaveReplacedIt)
{
    test::TempDir dir;
    const std::string site = dir.file("site.tsn");
    test::WriteFile(site, "old");
    CUploadRunLock holder;
    ASSERT_EQ(holder.Acquire(site), CUploadRunLock::Result::Locked);
    // An atomic save puts a new file in place: the old lock guards nothing.
    test::WriteFile(dir.file("new"), "new");
    ASSERT_EQ(::rename(dir.file("new").c_str(), site.c_str()), 0);
    CUploadRunLock next;
    EXPECT_EQ(next.Acquire(site), CUploadRunLock::Result::Locked);
    CUploadRunLock third;
    EXPECT_EQ(third.Acquire(site), CUploadRunLock::Result::Busy);
    EXPECT_EQ(CUploadRunLock().Acquire(""), CUploadRunLock::Result::NoFile);
}

}  // namespace
