// Deleting selected entries that sit next to each other in the array, and
// at its end: every selected entry goes, the others keep their order, and
// no entry keeps the delete mark.

#include "model/TessarineDoc.h"
#include "platform/framework/MemoryListCtrl.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(DeleteEntries, NeighbouringAndTrailingSelectionsAreAllRemoved)
{
    struct Case {
        std::vector<int> selected;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {{1, 2}, {"a", "d", "e"}},
        {{3, 4}, {"a", "b", "c"}},
        {{0, 1}, {"c", "d", "e"}},
        {{0, 1, 2, 3, 4}, {}},
        {{0, 2, 3}, {"b", "e"}},
    };
    const std::vector<std::string> names = {"a", "b", "c", "d", "e"};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.selected));
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        doc.OnNewDocument();
        for (const std::string& name : names) {
            ASSERT_TRUE(doc.AddServer(name, "user", "pw", ""));
            ASSERT_TRUE(doc.AddFile("/site/" + name, "www", 0));
        }
        CMemoryListCtrl servers;
        CMemoryListCtrl files;
        doc.FillServerList(servers);
        doc.FillFileList(files);
        for (int index : c.selected) {
            ASSERT_TRUE(servers.SelectItemWithData(index));
            ASSERT_TRUE(files.SelectItemWithData(index));
        }
        EXPECT_TRUE(doc.DeleteServers(servers));
        EXPECT_TRUE(doc.DeleteFiles(files));

        std::vector<std::string> serverNames;
        for (const ServerEntry& s : doc.m_servers) {
            serverNames.push_back(s.m_strServerName);
            EXPECT_EQ(s.m_wFlags, 0) << s.m_strServerName;
        }
        std::vector<std::string> fileNames;
        for (const FileEntry& f : doc.m_files) {
            fileNames.push_back(f.m_strFileName.substr(6));
            EXPECT_EQ(f.m_wFlags, 0) << f.m_strFileName;
        }
        EXPECT_EQ(serverNames, c.left);
        EXPECT_EQ(fileNames, c.left);
    }
}
