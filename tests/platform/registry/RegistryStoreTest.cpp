#include "platform/registry/RegistryLocation.h"
#include "platform/registry/RegistryStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string Sz(const std::string& text)
{
    return std::string(text.c_str(), text.size() + 1);
}

class RegistryStoreTest : public ::testing::Test {
protected:
    test::TempDir dir{"tessarine-registry"};
    RegistryStore store{dir.file("sub/registry.sqlite3")};

    LONG Set(const std::string& key, const std::string& name, DWORD type, const std::string& data)
    {
        return store.SetValue(HKEY_CURRENT_USER, key, name, type, data.data(),
                              static_cast<DWORD>(data.size()));
    }
    RegistryValue Get(const std::string& key, const std::string& name)
    {
        RegistryValue value;
        EXPECT_EQ(store.GetValue(HKEY_CURRENT_USER, key, name, value), ERROR_SUCCESS) << key << " " << name;
        return value;
    }
};

TEST_F(RegistryStoreTest, KeepsEveryTypeWithItsBytes)
{
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "Software\\Types"), ERROR_SUCCESS);
    const struct {
        const char* name;
        DWORD type;
        std::string data;
    } cases[] = {
        {"sz", REG_SZ, Sz("text")},
        {"expand", REG_EXPAND_SZ, Sz("%HOME%/x")},
        {"multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        {"dword", REG_DWORD, std::string("\x2a\0\0\0", 4)},
        {"binary", REG_BINARY, std::string("\0\xff\x01", 3)},
        {"empty", REG_BINARY, std::string()},
    };
    for (const auto& c : cases)
        ASSERT_EQ(Set("Software\\Types", c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
    for (const auto& c : cases) {
        const RegistryValue value = Get("Software\\Types", c.name);
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
}

TEST_F(RegistryStoreTest, NamesIgnoreAsciiCaseAndKeepTheFirstSpelling)
{
    DWORD disposition = 0;
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "Software\\Orvik", &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "SOFTWARE\\orvik\\", &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    ASSERT_EQ(Set("software\\ORVIK", "Passive", REG_SZ, Sz("1")), ERROR_SUCCESS);
    ASSERT_EQ(Set("Software\\Orvik", "PASSIVE", REG_SZ, Sz("2")), ERROR_SUCCESS);
    EXPECT_EQ(Get("sOfTwArE\\oRvIk", "passive").data, Sz("2"));

    std::vector<RegistryKeyRecord> keys;
    ASSERT_EQ(store.ExportTree(HKEY_CURRENT_USER, "software\\orvik", keys), ERROR_SUCCESS);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].path, (std::vector<std::string>{"Software", "Orvik"}));
    ASSERT_EQ(keys[0].values.size(), 1u);
    EXPECT_EQ(keys[0].values[0].name, "Passive");
    // Only ASCII letters fold: these are two different names.
    ASSERT_EQ(Set("Software\\Orvik", "\xc3\xa9", REG_SZ, Sz("e")), ERROR_SUCCESS);
    RegistryValue other;
    EXPECT_EQ(store.GetValue(HKEY_CURRENT_USER, "Software\\Orvik", "\xc3\x89", other), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStoreTest, RootsAreSeparateAndTheEmptyNameIsTheDefaultValue)
{
    ASSERT_EQ(store.CreateKey(HKEY_CLASSES_ROOT, ".tsn"), ERROR_SUCCESS);
    ASSERT_EQ(store.SetValue(HKEY_CLASSES_ROOT, ".tsn", "", REG_SZ, "Tessarine.Document", 19), ERROR_SUCCESS);
    RegistryValue value;
    ASSERT_EQ(store.GetValue(HKEY_CLASSES_ROOT, ".TSN", "", value), ERROR_SUCCESS);
    EXPECT_EQ(value.data, Sz("Tessarine.Document"));
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, ".tsn"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.OpenKey(static_cast<HKEY>(0x80000005u), ""), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryStoreTest, QueryValueTellsTheSizeWhenTheBufferIsTooSmall)
{
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "Q"), ERROR_SUCCESS);
    ASSERT_EQ(Set("Q", "v", REG_SZ, Sz("hello")), ERROR_SUCCESS);
    char buffer[8] = {};
    DWORD type = REG_NONE;
    DWORD size = 5;
    EXPECT_EQ(store.QueryValue(HKEY_CURRENT_USER, "Q", "v", &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, REG_SZ);
    size = 6;
    EXPECT_EQ(store.QueryValue(HKEY_CURRENT_USER, "Q", "v", &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer, size), Sz("hello"));
    size = 0;
    EXPECT_EQ(store.QueryValue(HKEY_CURRENT_USER, "Q", "v", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
}

TEST_F(RegistryStoreTest, MissingKeysAndValuesAndBadPaths)
{
    RegistryValue value;
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, "No\\Such"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Set("No\\Such", "v", REG_SZ, Sz("x")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, "No"), ERROR_FILE_NOT_FOUND) << "SetValue created a key";
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "Yes"), ERROR_SUCCESS);
    EXPECT_EQ(store.GetValue(HKEY_CURRENT_USER, "Yes", "v", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.DeleteValue(HKEY_CURRENT_USER, "Yes", "v"), ERROR_FILE_NOT_FOUND);
    for (const char* bad : {"a\\\\b", "\\a", "\\"})
        EXPECT_EQ(store.CreateKey(HKEY_CURRENT_USER, bad), ERROR_BAD_PATHNAME) << bad;
}

TEST_F(RegistryStoreTest, DeleteKeyTakesTheWholeSubtree)
{
    for (const char* key : {"Settings\\Recent File List\\Deep", "Settings\\Other", "Sibling"}) {
        ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
        ASSERT_EQ(Set(key, "v", REG_SZ, Sz(key)), ERROR_SUCCESS);
    }
    EXPECT_EQ(store.DeleteKey(HKEY_CURRENT_USER, "settings"), ERROR_SUCCESS);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, "Settings"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, "Settings\\Recent File List\\Deep"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get("Sibling", "v").data, Sz("Sibling"));
    // A new key of the same name starts empty: no values were left behind.
    ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, "Settings\\Recent File List\\Deep"), ERROR_SUCCESS);
    RegistryValue value;
    EXPECT_EQ(store.GetValue(HKEY_CURRENT_USER, "Settings\\Recent File List\\Deep", "v", value),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.DeleteKey(HKEY_CURRENT_USER, "Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.DeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryStoreTest, ExportSortsByPathComponentByComponent)
{
    for (const char* key : {"T\\Beta", "T\\alpha x", "T\\alpha\\Zed", "T\\alpha\\b", "T\\Gamma"})
        ASSERT_EQ(store.CreateKey(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
    ASSERT_EQ(Set("T\\alpha", "b", REG_SZ, Sz("")), ERROR_SUCCESS);
    ASSERT_EQ(Set("T\\alpha", "", REG_SZ, Sz("")), ERROR_SUCCESS);
    ASSERT_EQ(Set("T\\alpha", "A", REG_SZ, Sz("")), ERROR_SUCCESS);
    std::vector<RegistryKeyRecord> keys;
    ASSERT_EQ(store.ExportTree(HKEY_CURRENT_USER, "T", keys), ERROR_SUCCESS);
    std::vector<std::string> order;
    for (const RegistryKeyRecord& key : keys) {
        std::string path;
        for (const std::string& part : key.path)
            path += (path.empty() ? "" : "\\") + part;
        order.push_back(path);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"T", "T\\alpha", "T\\alpha\\b", "T\\alpha\\Zed", "T\\alpha x",
                                               "T\\Beta", "T\\Gamma"}));
    ASSERT_EQ(keys[1].values.size(), 3u);
    EXPECT_EQ(keys[1].values[0].name, "");
    EXPECT_EQ(keys[1].values[1].name, "A");
    EXPECT_EQ(keys[1].values[2].name, "b");
}

TEST_F(RegistryStoreTest, ApplyIsAllOrNothing)
{
    RegistryEdit set{RegistryEdit::SetValue, HKEY_CURRENT_USER, "Imported\\Key", {"v", REG_SZ, Sz("x")}};
    RegistryEdit deleteRoot{RegistryEdit::DeleteKey, HKEY_CURRENT_USER, "", {}};
    EXPECT_EQ(store.Apply({set, deleteRoot}), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, "Imported"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store.Apply({set}), ERROR_SUCCESS);
    EXPECT_EQ(Get("Imported\\Key", "v").data, Sz("x"));
}

TEST_F(RegistryStoreTest, NewStoreHoldsTheShellFolders)
{
    RegistryValue programs;
    RegistryValue programFiles;
    ASSERT_EQ(store.GetValue(HKEY_CURRENT_USER,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                             "Programs", programs),
              ERROR_SUCCESS);
    ASSERT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                             "ProgramFilesDir", programFiles),
              ERROR_SUCCESS);
    EXPECT_EQ(programs.type, REG_SZ);
    EXPECT_EQ(programs.data, Sz(std::string(std::getenv("XDG_DATA_HOME")) + "/applications"));
    EXPECT_EQ(programFiles.data, Sz(std::string(std::getenv("HOME")) + "/.local/opt"));
    EXPECT_EQ(programFiles.data.find('~'), std::string::npos);
}

TEST(RegistryStoreFailure, AnUnopenableDatabaseFailsEveryOperation)
{
    test::TempDir dir("tessarine-registry");
    test::WriteFile(dir.file("file"), "a regular file");
    RegistryStore store(dir.file("file/sub/registry.sqlite3"));
    RegistryValue value;
    std::vector<RegistryKeyRecord> keys;
    DWORD size = 0;
    EXPECT_EQ(store.CreateKey(HKEY_CURRENT_USER, "A"), ERROR_CANTOPEN);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, ""), ERROR_CANTOPEN);
    EXPECT_EQ(store.SetValue(HKEY_CURRENT_USER, "", "v", REG_SZ, "", 1), ERROR_CANTOPEN);
    EXPECT_EQ(store.QueryValue(HKEY_CURRENT_USER, "", "v", nullptr, nullptr, &size), ERROR_CANTOPEN);
    EXPECT_EQ(store.DeleteValue(HKEY_CURRENT_USER, "", "v"), ERROR_CANTOPEN);
    EXPECT_EQ(store.DeleteKey(HKEY_CURRENT_USER, "A"), ERROR_CANTOPEN);
    EXPECT_EQ(store.ExportAll(keys), ERROR_CANTOPEN);
    EXPECT_EQ(store.Apply({}), ERROR_CANTOPEN);
}

TEST(RegistryStoreFailure, AFileThatIsNoDatabaseIsLeftAsItWas)
{
    test::TempDir dir("tessarine-registry");
    const std::string path = dir.file("registry.sqlite3");
    const std::string bytes(4096, 'x');
    test::WriteFile(path, bytes);
    RegistryStore store(path);
    EXPECT_EQ(store.CreateKey(HKEY_CURRENT_USER, "A"), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(store.OpenKey(HKEY_CURRENT_USER, ""), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(test::ReadFile(path), bytes);
}

TEST(RegistryLocation, ARelativeRegistryPathIsMadeAbsolute)
{
    test::TempDir dir("tessarine-registry");
    const std::string saved = std::getenv("TESSARINE_REGISTRY");
    {
        test::CurrentDirGuard guard;
        std::filesystem::current_path(dir.path());
        setenv("TESSARINE_REGISTRY", "sub/../reg.sqlite3", 1);
        EXPECT_EQ(DefaultRegistryPath(), (std::filesystem::canonical(dir.path()) / "reg.sqlite3").string());
    }
    unsetenv("TESSARINE_REGISTRY");
    EXPECT_EQ(DefaultRegistryPath(),
              std::string(std::getenv("XDG_CONFIG_HOME")) + "/tessarine/registry.sqlite3");
    setenv("TESSARINE_REGISTRY", saved.c_str(), 1);
}

}  // namespace
