// Saving a configuration that belongs to someone else, or that may not be
// written, with the tool run as another user (the tests run as root, where
// every write is allowed, so the tool is started as "nobody").

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kRoot = 0;
constexpr uid_t kNobody = 65534;

// What the folder and the file look like before the tool runs, and what the
// save must leave.
struct SaveCase {
    const char* name;
    uid_t runAs;
    uid_t folderOwner;
    mode_t folderMode;
    bool fileExists;
    uid_t fileOwner;
    mode_t fileMode;
    bool secondLink;     // another hard link to the file
    int status;          // the tool's exit status
    uid_t ownerAfter;
    mode_t modeAfter;
    bool sameFile;       // the same inode afterwards (saved in place)
    const char* refused; // "folder" or "file": what the message must name
};

constexpr mode_t kNone = 0;

const SaveCase kCases[] = {
    // Owner and bits are kept by the atomic save.
    {"group-shared file stays 0640", kNobody, kNobody, 0755, true, kNobody, 0640, false, 0, kNobody, 0640, false, ""},
    {"root saving nobody's file leaves it nobody's", kRoot, kNobody, 0755, true, kNobody, 0604, false, 0, kNobody, 0604, false, ""},
    // The owner cannot be given away: written in place, never taken.
    {"another's writable file is written in place", kNobody, kRoot, 0777, true, kRoot, 0666, false, 0, kRoot, 0666, true, ""},
    {"a hard-linked file keeps its links", kNobody, kNobody, 0755, true, kNobody, 0600, true, 0, kNobody, 0600, true, ""},
    // Write protection as the system decides it.
    {"a read-only file is refused", kNobody, kNobody, 0755, true, kNobody, 0444, false, 5, kNobody, 0444, true, "file"},
    {"root may write a read-only file", kRoot, kRoot, 0755, true, kRoot, 0444, false, 0, kRoot, 0444, false, ""},
    {"a writable file in a locked folder is written in place", kNobody, kRoot, 0755, true, kNobody, 0644, false, 0, kNobody, 0644, true, ""},
    {"a file and folder that both refuse name the file", kNobody, kRoot, 0755, true, kRoot, 0644, false, 5, kRoot, 0644, true, "file"},
    // A new file.
    {"a new file is its maker's, 0600", kNobody, kNobody, 0755, false, kNone, kNone, false, 0, kNobody, 0600, false, ""},
    {"a new file in a locked folder names the folder", kNobody, kRoot, 0755, false, kNone, kNone, false, 5, kNone, kNone, false, "folder"},
};

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

std::size_t ServerCount(const std::string& path)
{
    test::ScriptedMessageBox box;
    CTessarineDoc doc;
    EXPECT_EQ(OpenDocumentFile(doc, path), OpenOutcome::opened) << path;
    return doc.m_servers.size();
}

}  // namespace

TEST(SaveOwnershipTest, KeepsOwnerModeAndLinksAndHonoursWriteProtection)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to another user needs root";
    test::TempDir top;
    ASSERT_EQ(::chmod(top.str().c_str(), 0755), 0);
    // The other user may not be able to reach the build folder (a checkout
    // under a 0700 folder): it runs a copy of the tool from the open folder.
    const std::string tool = top.file("tessarine");
    fs::copy_file(test::ToolPath(), tool);
    ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
    int n = 0;
    for (const SaveCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string folder = top.file("case" + std::to_string(n++));
        fs::create_directory(folder);
        const std::string site = folder + "/site.tsn";
        const std::string link = top.file("link" + std::to_string(n));
        if (c.fileExists) {
            CTessarineDoc empty;
            test::ScriptedMessageBox box;
            ASSERT_TRUE(SaveDocumentFile(empty, site));
            ASSERT_EQ(::chown(site.c_str(), c.fileOwner, c.fileOwner), 0);
            ASSERT_EQ(::chmod(site.c_str(), c.fileMode), 0);
            if (c.secondLink)
                ASSERT_EQ(::link(site.c_str(), link.c_str()), 0);
        }
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const ino_t before = c.fileExists ? StatOf(site).st_ino : 0;

        test::RunOptions options;
        options.user = c.runAs;
        options.cwd = folder;
        options.env["HOME"] = top.str();
        const std::vector<std::string> argv = c.fileExists
            ? std::vector<std::string>{tool, "add-server", site, "--server", "ftp.example.com", "--user", "anna"}
            : std::vector<std::string>{tool, "new", site};
        const test::ProgramResult result = test::RunProgram(argv, options);
        EXPECT_EQ(result.status, c.status) << result.err;

        if (*c.refused) {
            const std::string named = c.refused == std::string("folder") ? folder : site;
            EXPECT_NE(result.err.find("Access to " + named + " was denied."), std::string::npos) << result.err;
        }
        if (!c.fileExists && c.status != 0) {
            EXPECT_FALSE(fs::exists(site));
            EXPECT_EQ(fs::directory_iterator(folder), fs::directory_iterator()) << "a temporary file was left";
            continue;
        }
        const struct stat after = StatOf(site);
        EXPECT_EQ(after.st_uid, c.ownerAfter);
        EXPECT_EQ(after.st_gid, c.ownerAfter);
        EXPECT_EQ(after.st_mode & 07777, c.modeAfter);
        if (c.sameFile)
            EXPECT_EQ(after.st_ino, before);
        if (c.fileExists)
            EXPECT_EQ(ServerCount(site), c.status == 0 ? 1u : 0u);
        if (c.secondLink)
            EXPECT_EQ(ServerCount(link), 1u) << "the other link kept the old contents";
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
            << "a temporary file was left";
    }
}
