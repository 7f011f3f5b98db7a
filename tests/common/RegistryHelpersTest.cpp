#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>

namespace {

// Every test works under a key of its own in the run's store.
class RegistryHelpersTest : public ::testing::Test {
protected:
    std::string key = std::string("Software\\HelperTest\\") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();

    void SetUp() override { ASSERT_TRUE(RegistryCreateKey(HKEY_CURRENT_USER, key)); }

    void Store(const std::string& name, DWORD type, const std::string& data)
    {
        ASSERT_EQ(RegistryStore::Default().SetValue(HKEY_CURRENT_USER, key, name, type, data.data(),
                                                    static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    RegistryValue Stored(const std::string& name)
    {
        RegistryValue value;
        RegistryStore::Default().GetValue(HKEY_CURRENT_USER, key, name, value);
        return value;
    }
    std::string Get(const std::string& name)
    {
        std::string value = "unchanged";
        RegistryGetString(HKEY_CURRENT_USER, key, name, value, "default");
        return value;
    }
};

TEST_F(RegistryHelpersTest, StringsAreReadOnlyFromRegSz)
{
    Store("expand", REG_EXPAND_SZ, std::string("x\0", 2));
    Store("multi", REG_MULTI_SZ, std::string("x\0\0", 3));
    Store("dword", REG_DWORD, std::string("\1\0\0\0", 4));
    Store("sz", REG_SZ, std::string("x\0", 2));
    std::string value = "kept";
    EXPECT_FALSE(RegistryReadString(HKEY_CURRENT_USER, key, "expand", value, 512));
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(Get("expand"), "default");
    EXPECT_EQ(Get("multi"), "default");
    EXPECT_EQ(Get("dword"), "default");
    EXPECT_EQ(Get("missing"), "default");
    EXPECT_EQ(Get("sz"), "x");
    RegistryGetString(HKEY_CURRENT_USER, "Software\\HelperTest\\NoSuchKey", "sz", value, "default");
    EXPECT_EQ(value, "default");
}

TEST_F(RegistryHelpersTest, GetStringReadsUpTo511Characters)
{
    const struct {
        std::size_t length;
        bool read;
    } cases[] = {{0, true}, {510, true}, {511, true}, {512, false}, {1000, false}};
    for (const auto& c : cases) {
        const std::string text(c.length, 'a');
        ASSERT_TRUE(RegistryWriteString(HKEY_CURRENT_USER, key, "long", text));
        EXPECT_EQ(Get("long"), c.read ? text : "default") << c.length;
    }
}

TEST_F(RegistryHelpersTest, AStoredTextEndsAtItsZeroOrItsDataLength)
{
    Store("no zero", REG_SZ, "abc");
    Store("inner zero", REG_SZ, std::string("ab\0cd\0", 6));
    std::string value;
    EXPECT_TRUE(RegistryReadString(HKEY_CURRENT_USER, key, "no zero", value, 3));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(RegistryReadString(HKEY_CURRENT_USER, key, "no zero", value, 2));
    EXPECT_EQ(Get("inner zero"), "ab");
}

TEST_F(RegistryHelpersTest, WritesNeedAnExistingKey)
{
    const std::string missing = key + "\\Missing";
    EXPECT_FALSE(RegistryWriteString(HKEY_CURRENT_USER, missing, "v", "x"));
    EXPECT_FALSE(RegistryWriteDword(HKEY_CURRENT_USER, missing, "v", 1));
    EXPECT_EQ(RegistryStore::Default().OpenKey(HKEY_CURRENT_USER, missing), ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    EXPECT_TRUE(RegistryCreateKey(HKEY_CURRENT_USER, missing, &disposition));
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(RegistryCreateKey(HKEY_CURRENT_USER, missing, &disposition));
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_TRUE(RegistryWriteString(HKEY_CURRENT_USER, missing, "v", "x"));
}

TEST_F(RegistryHelpersTest, TextIsStoredWithItsZeroAndAnEmptyTextIsOneByte)
{
    ASSERT_TRUE(RegistryWriteString(HKEY_CURRENT_USER, key, "empty", ""));
    ASSERT_TRUE(RegistryWriteString(HKEY_CURRENT_USER, key, "Path", "/opt/tessarine"));
    EXPECT_EQ(Stored("empty").type, REG_SZ);
    EXPECT_EQ(Stored("empty").data, std::string(1, '\0'));
    EXPECT_EQ(Stored("path").data, std::string("/opt/tessarine\0", 15));
    EXPECT_EQ(Get("EMPTY"), "");
}

TEST_F(RegistryHelpersTest, NumbersAreReadOnlyFromFourByteRegDword)
{
    ASSERT_TRUE(RegistryWriteDword(HKEY_CURRENT_USER, key, "PassiveMode", 0xFFFFFFFEu));
    EXPECT_EQ(Stored("PassiveMode").data, "\xfe\xff\xff\xff");
    EXPECT_EQ(RegistryGetDword(HKEY_CURRENT_USER, key, "passivemode", 7), 0xFFFFFFFEu);
    Store("binary", REG_BINARY, std::string("\1\0\0\0", 4));
    Store("long", REG_DWORD, std::string("\1\0\0\0\0\0\0\0", 8));
    Store("short", REG_DWORD, std::string("\1\0", 2));
    Store("text", REG_SZ, std::string("1\0", 2));
    for (const char* name : {"binary", "long", "short", "text", "missing"}) {
        DWORD value = 99;
        EXPECT_FALSE(RegistryReadDword(HKEY_CURRENT_USER, key, name, value)) << name;
        EXPECT_EQ(value, 99u) << name;
        EXPECT_EQ(RegistryGetDword(HKEY_CURRENT_USER, key, name, 7), 7u) << name;
    }
}

TEST_F(RegistryHelpersTest, DeleteValueIsTrueWhenTheKeyOpens)
{
    ASSERT_TRUE(RegistryWriteString(HKEY_CURRENT_USER, key, "v", "x"));
    EXPECT_TRUE(RegistryDeleteValue(HKEY_CURRENT_USER, key, "V"));
    EXPECT_EQ(Get("v"), "default");
    EXPECT_TRUE(RegistryDeleteValue(HKEY_CURRENT_USER, key, "never there"));
    EXPECT_FALSE(RegistryDeleteValue(HKEY_CURRENT_USER, key + "\\Missing", "v"));
}

TEST(ModulePath, IsTheRunningProgramAndItsFolder)
{
    char expected[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", expected, sizeof expected - 1), 0);
    EXPECT_EQ(GetModulePath(), expected);
    const std::string folder = GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder + "common_tests", expected);
}

}  // namespace
