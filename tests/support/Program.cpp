#include "tests/support/Program.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace test {

namespace {

// Our environment with changes applied, as NAME=VALUE strings.
std::vector<std::string> ChangedEnvironment(const EnvChanges& changes)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!changes.count(text.substr(0, text.find('='))))
            entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value)
            entries.push_back(name + "=" + *value);
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// In the forked child: only calls that are safe between fork and exec.
[[noreturn]] void ExecChild(const char* in, const char* out, const char* err, const char* cwd, char** argv,
                            char** envp, const std::optional<uid_t>& user)
{
    const int inFd = ::open(in, O_RDONLY);
    const int outFd = ::open(out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = ::open(err, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (inFd < 0 || outFd < 0 || errFd < 0 || ::dup2(inFd, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0)
        ::_exit(126);
    for (int fd : {inFd, outFd, errFd})
        if (fd > 2)
            ::close(fd);
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(*user) != 0 || ::setuid(*user) != 0))
        ::_exit(126);
    if (*cwd && ::chdir(cwd) != 0)
        ::_exit(126);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

}  // namespace

Program::Program(const std::vector<std::string>& argv, const RunOptions& options)
{
    std::string in = "/dev/null";
    if (options.input) {
        in = m_dir.file("in");
        WriteFile(in, *options.input);
    }
    const std::string out = m_dir.file("out");
    const std::string err = m_dir.file("err");
    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChangedEnvironment(options.env);
    std::vector<char*> argPointers = Pointers(args);
    std::vector<char*> envPointers = Pointers(env);
    m_pid = ::fork();
    if (m_pid == 0)
        ExecChild(in.c_str(), out.c_str(), err.c_str(), options.cwd.c_str(), argPointers.data(), envPointers.data(),
                  options.user);
    if (m_pid < 0)
        throw std::runtime_error("cannot start " + argv.at(0));
}

Program::~Program()
{
    if (m_status < 0 && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        Wait();
    }
}

int Program::Wait()
{
    if (m_status >= 0)
        return m_status;
    int raw = 0;
    while (::waitpid(m_pid, &raw, 0) < 0 && errno == EINTR) {
    }
    m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return m_status;
}

void Program::Signal(int signal)
{
    if (m_status < 0)
        ::kill(m_pid, signal);
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options)
{
    Program program(argv, options);
    ProgramResult result;
    result.status = program.Wait();
    result.out = program.Stdout();
    result.err = program.Stderr();
    return result;
}

std::string ToolPath()
{
    const char* dist = std::getenv("TESSARINE_DIST_DIR");
    if (!dist)
        throw std::runtime_error("TESSARINE_DIST_DIR is not set");
    return std::string(dist) + "/tessarine";
}

std::vector<std::string> ToolCommand(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {ToolPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

ProgramResult RunTool(const std::vector<std::string>& args, const RunOptions& options)
{
    return RunProgram(ToolCommand(args), options);
}

bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 3000; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace test
