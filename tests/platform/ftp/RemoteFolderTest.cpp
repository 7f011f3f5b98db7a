// Which folder a CWD leads to, and the one absolute path for "root, then
// target": what the client may work out without asking the server.

#include "platform/ftp/RemoteFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using ftp::CombinedFolder;
using ftp::FolderAfterCwd;

TEST(RemoteFolder, FolderAfterCwd)
{
    const std::optional<std::string> none;
    struct Case {
        std::optional<std::string> base;
        const char* argument;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"/", "www", "/www"},
        {"/home/anna", "www/img/", "/home/anna/www/img"},
        {none, "/pub//site/", "/pub/site"},
        {"/x", "/", "/"},
        {none, "www", none},              // relative to an unknown folder
        {"relative", "www", none},        // a base that is not absolute
        {"/x", "../y", none},             // could cross a symbolic link
        {"/x", "./y", none},
        {"/x", "a/../b", none},
        {"/x", "", none},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderAfterCwd(c.base, c.argument), c.expected) << c.argument;
    EXPECT_TRUE(ftp::SameFolder("/pub/site/", "/pub//site"));
    EXPECT_FALSE(ftp::SameFolder("/pub/site", "/pub/sit"));
}

TEST(RemoteFolder, CombinedFolder)
{
    struct Case {
        const char* root;
        const char* target;
        const char* expected;
    };
    const Case cases[] = {
        {"/", "pub/site/d0", "/pub/site/d0"},
        {"/home/anna", "www/", "/home/anna/www/"},
        {"/home/anna/", "www", "/home/anna/www"},
        {"/home/anna", "/site/", "/site/"},  // an absolute target stands alone
        {"/home/anna", "", "/home/anna"},
        {"", "www", ""},                     // no root: the two steps
        {"C:/site", "www", ""},              // a root that is not absolute
    };
    for (const Case& c : cases)
        EXPECT_EQ(CombinedFolder(c.root, c.target), c.expected) << c.root << " + " << c.target;
}

}  // namespace
