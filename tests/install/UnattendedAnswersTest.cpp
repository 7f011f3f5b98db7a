// The unattended mode: answers by key, the safe answer where none fits,
// every question logged.

#include "install/HeadlessInstallerWindows.h"
#include "install/UnattendedAnswers.h"
#include "platform/registry/RegistryLocation.h"
#include "tests/install/ScriptedInstallerWindows.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(UnattendedAnswers, FileLinesBecomeKeysAndAnswers)
{
    const InstallAnswers answers =
        ParseInstallAnswers("# comment\r\n\n  You are about to = Yes \r\nno equals sign\n=No key\nreboot=No\nlast=OK");
    EXPECT_EQ(answers, (InstallAnswers{{"You are about to", "Yes"}, {"reboot", "No"}, {"last", "OK"}}));
}

TEST(UnattendedAnswers, EachQuestionTakesTheFirstKeyInItsTextOrTheSafeAnswer)
{
    test::ScriptedInstallerWindows inner;
    std::ostringstream log;
    UnattendedInstallerWindows windows(inner,
                                       {{"uninstall", "yes"}, {"Please exit", "OK"}, {"reboot", "Maybe"},
                                        {"Error", "Yes"}, {"You are", "No"}, {"You are about", "Yes"}},
                                       log);
    struct Row {
        std::string text;
        unsigned int style;
        int answer;
    };
    const Row rows[] = {
        {"Are you sure you want to uninstall Tessarine?", MB_YESNO | MB_ICONQUESTION, IDYES},
        {"You are about to install a new copy", MB_YESNO, IDNO},  // the first key found wins
        {"Please exit the program Tessarine.", MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK},
        {"Do you want to reboot the computer now?", MB_YESNO, IDNO},  // not an answer: the safe one
        {"Error running the newly installed program.", MB_OK, IDOK},  // Yes is no button of it
        {"Something nobody expected", MB_OKCANCEL, IDCANCEL},
    };
    for (const Row& row : rows)
        EXPECT_EQ(windows.InstallerMessageBox(row.text, row.style), row.answer) << row.text;
    // The framework's boxes (the closing prompts) are answered the same way
    // while the mode exists.
    EXPECT_EQ(AfxMessageBox("Please exit the program Tessarine.", MB_OKCANCEL), IDOK);
    EXPECT_EQ(inner.events, std::vector<std::string>{});
    const std::string text = log.str();
    EXPECT_NE(text.find("asked \"Are you sure you want to uninstall Tessarine?\": Yes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("asked \"Do you want to reboot the computer now?\": No (no answer given)\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

TEST(UnattendedAnswers, LicenceAndDestinationAnswersAndTheirDefaults)
{
    test::ScriptedInstallerWindows inner;
    std::ostringstream log;
    struct Row {
        InstallAnswers answers;
        bool declined;
        bool cancelled;
        std::string folder;
    };
    const Row rows[] = {
        {{}, true, true, "/registered/"},
        {{{"License Agreement", "Yes"}, {"Choose Destination Location", "Install"}}, false, false, "/registered/"},
        {{{"License Agreement", "No"}, {"Destination", "/opt/elsewhere"}}, true, false, "/opt/elsewhere"},
        {{{"Destination", "Cancel"}}, true, true, "/registered/"},
    };
    for (const Row& row : rows) {
        UnattendedInstallerWindows windows(inner, row.answers, log);
        EXPECT_EQ(windows.ShowLicenseAgreement("/dist/"), row.declined);
        std::string folder = "/registered/";
        EXPECT_EQ(windows.ChooseDestination(folder, "/dist/", "Tessarine", {}), row.cancelled);
        EXPECT_EQ(folder, row.folder);
    }
    EXPECT_NE(log.str().find("asked \"License Agreement (/dist/License.rtf)\": No (no answer given)"),
              std::string::npos);
}

TEST(UnattendedAnswers, RunningCopiesAndTheBackgroundWindowAreTheInnerWindows)
{
    test::ScriptedInstallerWindows inner;
    inner.cancelClosing = true;
    std::ostringstream log;
    UnattendedInstallerWindows windows(inner, {}, log);
    windows.ShowWithCaption("Setup");
    EXPECT_TRUE(windows.CloseRunningPrograms("", "Tessarine", "Tessarine", {}));
    { auto message = windows.ShowMessageWindow("Installing the program..."); }
    EXPECT_EQ(inner.events, (std::vector<std::string>{"caption Setup", "close [] Tessarine Tessarine 0",
                                                        "message Installing the program...", "message closed"}));
}

TEST(HeadlessInstallerWindows, BoxesCarryTheBackgroundCaptionAndTheDestinationIsProposed)
{
    test::ScriptedMessageBox boxes({IDOK, IDYES, IDOK});
    HeadlessInstallerWindows windows("Tessarine");
    windows.InstallerMessageBox("before", MB_OK);
    windows.ShowWithCaption("Setup");
    EXPECT_FALSE(windows.ShowLicenseAgreement("/dist/"));
    windows.ShowSystemError("Error copying the file Tessup.", ENOSPC);
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].caption, "Tessarine");
    EXPECT_EQ(boxes.shown()[1].caption, "License Agreement");
    EXPECT_EQ(boxes.shown()[2], (test::ShownMessage{"Tessarine Setup",
                                                    "Error copying the file Tessup.\n\nNo space left on device",
                                                    MB_OK | MB_ICONEXCLAMATION}));
    std::string folder;
    EXPECT_FALSE(windows.ChooseDestination(folder, "/dist/", "Tessarine", {}));
    EXPECT_EQ(folder, ProgramFilesFolder() + "/Tessarine");
    folder = "/registered/";
    EXPECT_FALSE(windows.ChooseDestination(folder, "/dist/", "Tessarine", {}));
    EXPECT_EQ(folder, "/registered/");
}
