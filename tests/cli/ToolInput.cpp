#include "tests/cli/ToolInput.h"

#include "tests/support/TempDir.h"

#include <sys/wait.h>

#include <cstdlib>

namespace test {

namespace {

// text in single quotes for /bin/sh, any quote in it closed and escaped.
std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ToolResult RunToolWithInput(const std::vector<std::string>& args, const std::string& input)
{
    TempDir io("tessarine-tool-input");
    WriteFile(io.file("in"), input);
    const char* dist = std::getenv("TESSARINE_DIST_DIR");
    std::string command = ShellQuoted(std::string(dist ? dist : ".") + "/tessarine");
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    command += " <" + ShellQuoted(io.file("in")) + " >" + ShellQuoted(io.file("out")) + " 2>" +
               ShellQuoted(io.file("err"));
    const int raw = std::system(command.c_str());
    ToolResult result;
    result.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(io.file("out"));
    result.err = ReadFile(io.file("err"));
    return result;
}

}  // namespace test
