#include "platform/framework/MessageBox.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBox, ScriptedAnswersAndRecordsCaptionTextAndStyle)
{
    test::ScriptedMessageBox box({IDYES});
    EXPECT_EQ(AfxMessageBox("Continue?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(CaptionedMessageBox("Setup", "Done.", MB_OK), IDOK);  // unscripted: safe answer
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_EQ(box.shown()[0], (test::ShownMessage{"Tessarine", "Continue?", MB_YESNO | MB_ICONQUESTION}));
    EXPECT_EQ(box.shown()[1].caption, "Setup");
    EXPECT_EQ(box.unscripted(), 1);
}

TEST(MessageBox, NobodyToAskGetsTheSafeAnswer)
{
    EXPECT_EQ(SafeMessageBoxAnswer(MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(SafeMessageBoxAnswer(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(SafeMessageBoxAnswer(MB_OK | MB_ICONEXCLAMATION), IDOK);
}

TEST(MessageBox, HandlerIsRestoredWhenTheScriptEnds)
{
    test::ScriptedMessageBox outer({IDNO});
    {
        test::ScriptedMessageBox inner({IDYES});
        EXPECT_EQ(AfxMessageBox("inner", MB_YESNO), IDYES);
    }
    EXPECT_EQ(AfxMessageBox("outer", MB_YESNO), IDNO);
    EXPECT_EQ(outer.texts(), std::vector<std::string>{"outer"});
}
