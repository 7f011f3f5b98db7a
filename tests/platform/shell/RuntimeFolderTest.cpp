// Where the running copies meet: the runtime folder by its variables.

#include "platform/shell/RuntimeFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// Sets or removes a variable for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace

TEST(RuntimeFolder, WithoutARuntimeFolderAFolderOfOurOwnInTheStateFolder)
{
    const std::string home = std::getenv("HOME");
    const std::string state = home + "/state-here";
    struct Row {
        std::optional<std::string> own, runtime, stateHome;
        std::string path;
    };
    const Row rows[] = {
        {"/own/place", "/run/user/1", state, "/own/place"},
        {std::nullopt, "/run/user/1", state, "/run/user/1/tessarine"},
        {std::nullopt, std::nullopt, state, state + "/tessarine/runtime"},
        {std::nullopt, "relative", std::nullopt, home + "/.local/state/tessarine/runtime"},
        {"", "", "relative", home + "/.local/state/tessarine/runtime"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        ScopedEnv own("TESSARINE_RUNTIME_DIR", row.own);
        ScopedEnv runtime("XDG_RUNTIME_DIR", row.runtime);
        ScopedEnv stateHome("XDG_STATE_HOME", row.stateHome);
        EXPECT_EQ(RuntimeFolderPath(), row.path);
    }
    ScopedEnv own("TESSARINE_RUNTIME_DIR", std::nullopt);
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv stateHome("XDG_STATE_HOME", state);
    ASSERT_TRUE(MakeRuntimeFolder());
    struct stat info {};
    ASSERT_EQ(stat((state + "/tessarine/runtime").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::filesystem::remove_all(state);
}
