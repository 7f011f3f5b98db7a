// The setup launcher, run as a program from folders of the test's making,
// with a stand-in for Tessup that records how it was started.

#include "tests/common/ProcessRecord.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string kMessage = "Unable to run \"Tessup /install\".";

std::string CopyProgram(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to);
    return to;
}

std::string DistSetup()
{
    return std::string(std::getenv("TESSARINE_DIST_DIR")) + "/setup";
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

const test::EnvChanges kNoDisplay = {
    {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};

TEST(Setup, StartsTessupBesideItWithInstallOnlyInTheCallersFolder)
{
    test::TempDir folder("tessarine setup");
    test::TempDir elsewhere("tessarine-elsewhere");
    const std::string setup = CopyProgram(DistSetup(), folder.file("setup"));
    const std::string tessup = CopyProgram(TESSARINE_RECORDER, folder.file("Tessup"));
    test::EnvChanges env = kNoDisplay;
    env["TESSARINE_RECORD"] = elsewhere.file("record");
    const test::ProgramResult run =
        test::RunProgram({setup, "/uninstall", "extra argument"}, {std::nullopt, env, elsewhere.str()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    test::ProcessRecord started;
    ASSERT_TRUE(test::ReadProcessRecord(elsewhere.file("record"), started));
    EXPECT_EQ(started.exe, tessup);
    EXPECT_EQ(started.args, std::vector<std::string>{"/install"});
    EXPECT_EQ(started.cwd, std::filesystem::canonical(elsewhere.path()).string());
}

TEST(Setup, WithoutTessupAndWithoutADisplayItSaysSoOnceAndReturnsZero)
{
    for (const char* platform : {"", "offscreen"}) {
        test::TempDir folder("tessarine-setup");
        const std::string setup = CopyProgram(DistSetup(), folder.file("setup"));
        test::EnvChanges env = kNoDisplay;
        env["PATH"] = "";
        if (platform[0] != '\0')
            env["QT_QPA_PLATFORM"] = platform;
        const test::ProgramResult run = test::RunProgram({setup, "ignored"}, {std::nullopt, env, folder.str()});
        EXPECT_EQ(run.status, 0) << platform;
        EXPECT_EQ(Count(run.err, kMessage), 1u) << platform << ": " << run.err;
        EXPECT_EQ(run.out, "") << platform;
    }
}

}  // namespace
