#include "tests/cli/ToolRunner.h"

#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace test {

namespace {

std::string ToolPath()
{
    const char* dist = std::getenv("TESSARINE_DIST_DIR");
    return std::string(dist ? dist : ".") + "/tessarine";
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input)
{
    TempDir io("tessarine-tool-io");
    const std::string in = io.file("in"), out = io.file("out"), err = io.file("err");
    WriteFile(in, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string program = ToolPath();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ToolResult result;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.err = "could not start " + program + " (run the tests through ctest, which sets TESSARINE_DIST_DIR)";
        return result;
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0)
        if (errno != EINTR)
            return result;
    if (WIFEXITED(wstatus))
        result.status = WEXITSTATUS(wstatus);
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

}  // namespace test
