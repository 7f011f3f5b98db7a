#include "tests/cli/RunTool.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace test {

std::string ToolPath()
{
    const char* dist = std::getenv("TESSARINE_DIST_DIR");
    if (!dist)
        throw std::runtime_error("TESSARINE_DIST_DIR is not set");
    return std::string(dist) + "/tessarine";
}

namespace {

int WaitFor(pid_t pid)
{
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0) {
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& args)
{
    TempDir capture("tessarine-tool");
    const std::string tool = ToolPath();
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, capture.file("out").c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, capture.file("err").c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + tool);
    ToolResult result;
    result.status = WaitFor(pid);
    result.out = ReadFile(capture.file("out"));
    result.err = ReadFile(capture.file("err"));
    return result;
}

}  // namespace test
