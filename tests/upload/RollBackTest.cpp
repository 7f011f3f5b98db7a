// A rename over an existing file that is worked round by moving the old copy
// aside: when neither the new file nor the old copy can then take the name,
// the user is told where the old copy is, before the designed question.

#include "tests/upload/UploadTestSupport.h"

#include "platform/framework/MessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(RollBack, AFailedRollBackSaysWhereTheOldCopyIs)
{
    struct Case {
        const char* name;
        bool rollBackFails;
    };
    for (const Case c : {Case{"roll-back works", false}, Case{"roll-back fails", true}}) {
        SCOPED_TRACE(c.name);
        test::PyFtpdOptions options;
        if (c.rollBackFails)
            options.refuseRenameOnto = "index.html";  // the aside rename works, both renames back fail
        else
            options.refuseRename = true;
        test::PyFtpdServer server(options);
        test::WriteFile((server.Root() / "www" / "index.html").string(), "live\n");
        test::UploadFixture site;
        site.AddServer(server, "www");
        site.AddFile("index.html", "new\n", "");
        site.box.Answer(IDYES);
        site.Upload();
        const std::string note = c.rollBackFails ? "The old copy of www/index.html could not be given its name back; "
                                                   "it is now OrviktsnOld.html in the same folder.\n\n"
                                                 : "";
        EXPECT_EQ(site.Texts(), (std::vector<std::string>{note + test::kRenameQuestion, test::kUploadComplete}));
        EXPECT_EQ(fs::exists(server.Root() / "www" / "OrviktsnOld.html"), c.rollBackFails);
        EXPECT_EQ(fs::exists(server.Root() / "www" / "index.html"), !c.rollBackFails);
    }
}

}  // namespace
