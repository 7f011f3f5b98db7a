// The unchanged rule shared by the file list and the upload run: the local
// half against the record, the remote half against what the server lists,
// and the file status following the local half for a real file.

#include "model/FileStatus.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::int32_t kSent = 1500000000;

FileEntry Record(const std::string& path, std::int32_t timeLocal, DWORD localSize, std::int32_t timeRemote,
                 DWORD remoteSize)
{
    FileEntry entry;
    entry.m_strFileName = path;
    entry.m_timeLocal = CTime(timeLocal);
    entry.m_dwLocalSize = localSize;
    entry.m_timeRemote = CTime(timeRemote);
    entry.m_dwRemoteSize = remoteSize;
    return entry;
}

TEST(UnchangedRule, BothHalvesAndTheStatusAgree)
{
    test::TempDir dir;
    const std::string file = dir.file("page.html");
    struct Case {
        const char* name;
        std::int32_t fileTime;  // the local file's last-write time
        std::int32_t timeLocal;
        DWORD localSize;
        bool local;  // MatchesLocalRecord
    };
    const Case cases[] = {
        {"same time and size", kSent, kSent, 5, true},
        {"local file edited later", kSent + 1, kSent, 5, false},
        {"local file older", kSent - 1, kSent, 5, false},
        {"other size", kSent, kSent, 6, false},
        {"never sent, even with a file of time 0", 0, 0, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(file, "12345");
        const struct timespec times[2] = {{c.fileTime, 0}, {c.fileTime, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        const FileEntry entry = Record(file, c.timeLocal, c.localSize, 77, 9);
        const auto local = GetLocalFileStatus(file);
        ASSERT_TRUE(local);
        EXPECT_EQ(MatchesLocalRecord(entry, *local), c.local);
        const FileStatus expected =
            c.timeLocal == 0 ? FileStatus::newFile : c.local ? FileStatus::noChanges : FileStatus::updatedFile;
        EXPECT_EQ(GetFileStatus(entry), expected);
    }
    const FileEntry entry = Record(file, kSent, 5, 77, 9);
    EXPECT_TRUE(MatchesRemoteRecord(entry, CTime(77), 9));
    EXPECT_FALSE(MatchesRemoteRecord(entry, CTime(78), 9));  // replaced, same size
    EXPECT_FALSE(MatchesRemoteRecord(entry, CTime(77), 10));  // replaced, same time
    EXPECT_FALSE(MatchesRemoteRecord(entry, CTime(0), 0));
}

}  // namespace
