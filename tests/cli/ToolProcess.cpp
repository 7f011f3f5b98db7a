#include "tests/cli/ToolProcess.h"

#include "tests/cli/RunTool.h"

#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace test {

ToolProcess::ToolProcess(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {ToolPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, m_dir.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, m_dir.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int error = posix_spawn(&m_pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + argv[0]);
}

ToolProcess::~ToolProcess()
{
    if (m_status < 0 && m_pid > 0) {
        kill(m_pid, SIGKILL);
        Wait();
    }
}

int ToolProcess::Wait()
{
    if (m_status >= 0)
        return m_status;
    int raw = 0;
    while (waitpid(m_pid, &raw, 0) < 0) {
    }
    m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return m_status;
}

void ToolProcess::Signal(int signal)
{
    kill(m_pid, signal);
}

int CountLinesEndingWith(const std::string& text, const std::string& suffix)
{
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.ends_with(suffix) ? 1 : 0;
    return count;
}

}  // namespace test
