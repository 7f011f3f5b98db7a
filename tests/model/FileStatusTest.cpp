#include "model/FileStatus.h"
#include "platform/framework/UniqueFd.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr std::int32_t kWritten = 1500000000;

void SetLastWriteTime(const std::string& path, std::int64_t seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

FileEntry Entry(const std::string& path, std::int32_t timeLocal, DWORD size)
{
    FileEntry entry;
    entry.m_strFileName = path;
    entry.m_timeLocal = CTime(timeLocal);
    entry.m_dwLocalSize = size;
    // The remote half never matters to the status.
    entry.m_timeRemote = CTime(12345);
    entry.m_dwRemoteSize = 999;
    return entry;
}

}  // namespace

TEST(FileStatus, StatusOfAFileAgainstItsUploadRecord)
{
    test::TempDir dir;
    const std::string file = dir.file("page.html");
    test::WriteFile(file, "12345");
    SetLastWriteTime(file, kWritten);
    std::filesystem::create_directory(dir.file("folder"));
    struct Case {
        FileEntry entry;
        const char* status;
    };
    const Case cases[] = {
        {Entry(file, 0, 0), "New file"},
        {Entry(file, 0, 5), "New file"},
        {Entry(file, kWritten, 5), "No changes"},
        {Entry(file, kWritten, 6), "Updated file"},
        {Entry(file, kWritten + 1, 5), "Updated file"},
        {Entry(file, -kWritten, 5), "Updated file"},
        {Entry(dir.file("missing.html"), kWritten, 5), "Error opening file"},
        {Entry(dir.file("missing.html"), 0, 0), "Error opening file"},
        {Entry(dir.file("folder"), 0, 0), "Error opening file"},
        {Entry("", 0, 0), "Error opening file"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(GetFileStatusText(c.entry), c.status)
            << c.entry.m_strFileName << " " << c.entry.m_timeLocal.GetTime();
}

TEST(FileStatus, ByPathAndByDescriptorAgree)
{
    test::TempDir dir;
    const std::string file = dir.file("a.bin");
    test::WriteFile(file, std::string(70000, 'x'));
    SetLastWriteTime(file, kWritten);
    const std::optional<LocalFileStatus> byPath = GetLocalFileStatus(file);
    ASSERT_TRUE(byPath);
    EXPECT_EQ(byPath->m_mtime.GetTime(), kWritten);
    EXPECT_EQ(byPath->m_size, 70000u);
    UniqueFd fd(::open(file.c_str(), O_RDONLY));
    EXPECT_EQ(GetLocalFileStatus(fd.Get()), byPath);
    EXPECT_FALSE(GetLocalFileStatus(-1));
}

TEST(FileStatus, TimesBeyondThe32BitRangeAreClamped)
{
    test::TempDir dir;
    const std::string file = dir.file("future");
    test::WriteFile(file, "");
    SetLastWriteTime(file, 0x100000000LL);
    ASSERT_TRUE(GetLocalFileStatus(file));
    EXPECT_EQ(GetLocalFileStatus(file)->m_mtime.GetTime(), 0x7FFFFFFF);
}

TEST(FileStatus, FifosAndDevicesHaveNoStatusAndDoNotBlock)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(GetLocalFileStatus(dir.file("fifo")));
    EXPECT_FALSE(GetLocalFileStatus(std::string("/dev/null")));
}
