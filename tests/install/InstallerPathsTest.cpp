// Folder texts, folder creation, the mount table and the space figures of
// the destination dialog.

#include "install/DiskSpace.h"
#include "install/FolderPath.h"
#include "install/MountTable.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(FolderPath, TypedTextsBecomePathsAndTheRootIsRecognised)
{
    test::TempDir dir;
    test::CurrentDirGuard keep;
    fs::current_path(dir.path());
    const std::string home = std::getenv("HOME");
    struct Row {
        std::string text;
        std::string expanded;
        bool root;
    };
    const Row rows[] = {
        {"~", home, false},
        {"~/opt/Tessarine/", home + "/opt/Tessarine/", false},
        {"~other/x", dir.file("~other/x"), false},
        {"opt/Tessarine", dir.file("opt/Tessarine"), false},
        {"/usr/local/", "/usr/local/", false},
        {"/", "/", true},
        {"//", "//", true},
        {"/./", "/./", true},
        {"/..", "/..", true},
        {"/tmp/..", "/tmp/..", true},
        {"", "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ExpandFolderText(row.text), row.expanded);
        EXPECT_EQ(IsDriveRoot(row.text), row.root);
    }
    EXPECT_EQ(WithTrailingSeparator("/a"), "/a/");
    EXPECT_EQ(WithTrailingSeparator("/a/"), "/a/");
    EXPECT_FALSE(EndsWithSeparator("/a\\"));  // a backslash is part of a name here
}

TEST(FolderPath, CreatesEveryMissingLevelOrSaysWhyNot)
{
    test::TempDir dir;
    struct Row {
        std::string path;
        bool made;
        int error;
    };
    test::WriteFile(dir.file("file"), "x");
    const Row rows[] = {
        {dir.file("one/two/three"), true, 0},
        {dir.file("a/b/c/"), true, 0},
        {dir.file("one/two/three"), true, 0},  // all there already
        // A level that is a regular file fails for root too.
        {dir.file("file/sub/deeper"), false, ENOTDIR},
        {dir.file("file"), false, ENOTDIR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        int error = -1;
        EXPECT_EQ(CreateFolderPath(row.path, &error), row.made);
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(IsExistingFolder(row.path), row.made);
    }
    EXPECT_FALSE(fs::exists(dir.file("file/sub")));
}

TEST(MountTable, ParsesTheTableWithItsEscapes)
{
    const std::string table =
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "tmpfs /dev/shm tmpfs rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "/dev/sdb1 /media/My\\040Disk vfat rw 0 0\n"
        "/dev/sdc1 /mnt/tab\\011and\\134back ext4 rw 0 0\n"
        "server:/home /home nfs4 rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "/dev/sda1 / ext4 rw 0 0\n"
        "broken line\n";
    const std::vector<MountEntry> mounts = ParseMounts(table);
    ASSERT_EQ(mounts.size(), 11u);
    EXPECT_EQ(mounts[6], (MountEntry{"/dev/sdb1", "/media/My Disk", "vfat"}));
    EXPECT_EQ(mounts[7].mountPoint, "/mnt/tab\tand\\back");
    EXPECT_EQ(DriveList(mounts),
              (std::vector<std::string>{"/", "/home", "/media/My Disk", "/mnt/tab\tand\\back", "/tmp"}));
    EXPECT_EQ(DecodeMountField("a\\04b\\9999\\"), "a\\04b\\9999\\");  // incomplete escapes stay
}

TEST(MountTable, TheDriveOfAFolderIsTheLongestMountAboveIt)
{
    test::TempDir dir;
    fs::create_directories(dir.path() / "disk/sub");
    const std::string disk = fs::canonical(dir.path() / "disk").string();
    const std::vector<MountEntry> mounts = {
        {"a", "/", "ext4"}, {"b", disk, "ext4"}, {"c", disk + "2", "ext4"}, {"d", disk + "/sub/x", "ext4"}};
    EXPECT_EQ(MountPointOf(disk + "/sub/not/yet/made", mounts), disk);
    EXPECT_EQ(MountPointOf(disk, mounts), disk);
    EXPECT_EQ(MountPointOf(disk + "2-not-a-mount", mounts), "/");
    EXPECT_EQ(MountPointOf("/", mounts), "/");
    EXPECT_EQ(NearestExistingFolder(disk + "/sub/not/yet/"), disk + "/sub");
    // This machine's own table holds at least its root.
    const std::vector<std::string> drives = DriveList(ReadMounts());
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front(), "/");
}

namespace {

// A file system of a chosen size: no test can fill a real one.
class FixedFreeSpace : public IFreeSpaceSource {
public:
    explicit FixedFreeSpace(std::optional<std::uint64_t> kilobytes) : m_kilobytes(kilobytes) {}
    bool FreeKilobytes(const std::string& folder, std::uint64_t& kilobytes) override
    {
        asked = folder;
        kilobytes = m_kilobytes.value_or(0);
        return m_kilobytes.has_value();
    }
    std::string asked;

private:
    std::optional<std::uint64_t> m_kilobytes;
};

}  // namespace

TEST(DiskSpace, NeededSpaceCountsOnlyWhatTheInstallationAdds)
{
    test::TempDir dir;
    const std::string source = dir.file("source") + "/";
    const std::string target = dir.file("target") + "/";
    const std::vector<std::string> files = {"Tessup", "Readme.txt", "Tessup.hlp", "missing"};
    struct Row {
        const char* name;
        std::size_t program, readme, help;              // sizes in the source
        std::optional<std::size_t> oldProgram, oldReadme;  // already at the target
        std::uint64_t neededKb;
    };
    const Row rows[] = {
        {"a fresh folder, rounded up", 2048, 1, 0, std::nullopt, std::nullopt, 3},
        {"reinstalling the same files", 5000, 300, 10, 5000, 300, 1},  // the help file is new
        {"a larger program: the difference, rounded up", 9000, 300, 0, 5000, 300, 4},
        {"smaller files never give less than nothing", 10, 10, 0, 90000, 90000, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        test::WriteFile(source + "Tessup", std::string(row.program, 'p'));
        test::WriteFile(source + "Readme.txt", std::string(row.readme, 'r'));
        if (row.help)
            test::WriteFile(source + "Tessup.hlp", std::string(row.help, 'h'));
        fs::create_directories(target);
        if (row.oldProgram)
            test::WriteFile(target + "Tessup", std::string(*row.oldProgram, 'o'));
        if (row.oldReadme)
            test::WriteFile(target + "Readme.txt", std::string(*row.oldReadme, 'o'));
        EXPECT_EQ(SpaceNeededKilobytes(source, target, files), row.neededKb);
        EXPECT_EQ(SpaceNeededKilobytes(source, dir.file("not/made/yet/"), files),
                  (row.program + row.readme + row.help + 1023) / 1024);
    }
    EXPECT_EQ(GetFileLength(dir.file("none")), 0);
}

TEST(DiskSpace, AvailableSpaceComesFromTheNearestExistingFolder)
{
    FixedFreeSpace nearlyFull(3);
    EXPECT_EQ(AvailableText(nearlyFull, "/opt/x"), "3 KB");
    FixedFreeSpace unknown(std::nullopt);
    EXPECT_EQ(AvailableText(unknown, "/opt/x"), "unknown");
    FixedFreeSpace huge(18446744073709551615ULL >> 10);
    EXPECT_EQ(AvailableText(huge, "/"), "18014398509481983 KB");

    test::TempDir dir;
    struct statvfs info {};
    ASSERT_EQ(statvfs(dir.str().c_str(), &info), 0);
    std::uint64_t kilobytes = 0;
    StatvfsFreeSpace system;
    ASSERT_TRUE(system.FreeKilobytes(dir.file("not/made/yet"), kilobytes));
    const std::uint64_t expected = (static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize) >> 10;
    // Other programs write meanwhile; the figure is that of this file system.
    EXPECT_NEAR(static_cast<double>(kilobytes), static_cast<double>(expected), 64.0 * 1024);
}
