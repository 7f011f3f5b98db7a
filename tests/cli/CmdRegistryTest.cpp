// tessarine registry export|import, run as the program, each on a store of
// its own.

#include "platform/registry/RegistryStore.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class CmdRegistryTest : public ::testing::Test {
protected:
    test::TempDir dir{"tessarine-cli"};
    std::string registry = dir.file("registry.sqlite3");

    test::ProgramResult Tool(std::vector<std::string> args, const std::string& store = std::string())
    {
        test::RunOptions options;
        options.env["TESSARINE_REGISTRY"] = store.empty() ? registry : store;
        return test::RunTool(args, options);
    }
};

const char* const kEveryType =
    "REGEDIT4\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Orvik]\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Orvik\\Tessarine]\n"
    "@=\"default\"\n"
    "\"binary\"=hex:00,ff\n"
    "\"expand\"=hex(2):25,48,4f,4d,45,25,00\n"
    "\"multi\"=hex(7):61,00,62,00,00\n"
    "\"no zero\"=hex(1):61,62\n"
    "\"PassiveMode\"=dword:00000001\n"
    "\"text\"=\"a \\\"quoted\\\" C:\\\\path\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Orvik\\Tessarine\\Settings]\n";

TEST_F(CmdRegistryTest, ExportGivesBackWhatImportRead)
{
    test::WriteFile(dir.file("in.reg"), kEveryType);
    const test::ProgramResult imported = Tool({"registry", "import", dir.file("in.reg")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    const test::ProgramResult exported = Tool({"registry", "export", "HKCU\\software\\orvik"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, kEveryType);

    const test::ProgramResult all = Tool({"registry", "export"});
    EXPECT_EQ(all.status, 0);
    EXPECT_NE(all.out.find(std::string(kEveryType).substr(10)), std::string::npos);
    EXPECT_NE(all.out.find("\"ProgramFilesDir\"=\""), std::string::npos);
}

TEST_F(CmdRegistryTest, AFileWithAnErrorChangesNothing)
{
    test::WriteFile(dir.file("bad.reg"), "REGEDIT4\n[HKCU\\Software\\New]\n\"a\"=dword:1\n\"b\"=wrong\n");
    const test::ProgramResult bad = Tool({"registry", "import", dir.file("bad.reg")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("bad.reg:4: unknown value form"), std::string::npos) << bad.err;
    const test::ProgramResult missing = Tool({"registry", "export", "HKEY_CURRENT_USER\\Software\\New"});
    EXPECT_EQ(missing.status, 7);
    EXPECT_NE(missing.err.find("no registry key"), std::string::npos) << missing.err;
}

TEST_F(CmdRegistryTest, UsageAndStoreErrors)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"registry"}, {"registry", "import"}, {"registry", "list"},
                                               {"registry", "export", "HKEY_NOWHERE\\x"}})
        EXPECT_EQ(Tool(args).status, 2) << args.back();
    test::WriteFile(dir.file("file"), "x");
    test::WriteFile(dir.file("ok.reg"), "REGEDIT4\n");
    const std::string unopenable = dir.file("file/registry.sqlite3");
    const test::ProgramResult exported = Tool({"registry", "export"}, unopenable);
    EXPECT_EQ(exported.status, 7);
    EXPECT_NE(exported.err.find("cannot be opened"), std::string::npos) << exported.err;
    EXPECT_EQ(Tool({"registry", "import", dir.file("ok.reg")}, unopenable).status, 7);
}

// What cannot be read is a registry error that says why; nothing is imported.
TEST_F(CmdRegistryTest, AnImportThatCannotReadItsFileSaysWhy)
{
    test::WriteFile(dir.file("file"), "x");
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.str(), "Is a directory"},
        {dir.file("no-such-file"), "No such file or directory"},
        {dir.file("file/under-a-file.reg"), "Not a directory"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& c : cases) {
        const test::ProgramResult imported = Tool({"registry", "import", c.path});
        EXPECT_EQ(imported.status, 7) << c.path;
        EXPECT_EQ(imported.err, "tessarine: cannot read '" + c.path + "': " + c.reason + " (nothing was imported)\n");
    }
}

// The text form reads line by line: a name with a line break would make an
// export that cannot be imported, so it is refused, naming the key.
TEST_F(CmdRegistryTest, ANameWithALineBreakIsAnExportError)
{
    const struct {
        const char* what;
        const char* key;
        const char* valueName;
        const char* named;
    } cases[] = {
        {"value name", "Software\\Orvik", "two\nlines", "HKEY_CURRENT_USER\\Software\\Orvik"},
        {"key name", "Software\\Orvik\\A\rB", "v", "HKEY_CURRENT_USER\\Software\\Orvik\\A\\x0dB"},
    };
    for (const auto& c : cases) {
        test::TempDir own("tessarine-reg");
        const std::string store = own.file("registry.sqlite3");
        {
            RegistryStore direct(store);
            ASSERT_EQ(direct.CreateKey(HKEY_CURRENT_USER, c.key), ERROR_SUCCESS) << c.what;
            const DWORD one = 1;
            ASSERT_EQ(direct.SetValue(HKEY_CURRENT_USER, c.key, c.valueName, REG_DWORD, &one, sizeof one),
                      ERROR_SUCCESS);
        }
        for (const char* key : {"HKCU\\Software", ""}) {
            std::vector<std::string> args = {"registry", "export"};
            if (*key)
                args.push_back(key);
            const test::ProgramResult exported = Tool(args, store);
            EXPECT_EQ(exported.status, 7) << c.what;
            EXPECT_EQ(exported.out, "") << c.what;
            EXPECT_EQ(exported.err, std::string("tessarine: registry key '") + c.named +
                                        "' has a key or value name with a line break, which the export cannot "
                                        "write (nothing was exported)\n")
                << c.what;
        }
    }
}

}  // namespace
