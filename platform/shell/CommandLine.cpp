#include "platform/shell/CommandLine.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(const std::string& text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos;
}

// Reads the first token starting at pos; returns the position after it.
std::size_t ReadProgram(const std::string& text, std::size_t pos, std::string& program)
{
    if (pos < text.size() && text[pos] == '"') {
        const std::size_t close = text.find('"', pos + 1);
        program = text.substr(pos + 1, close == std::string::npos ? close : close - pos - 1);
        return close == std::string::npos ? text.size() : close + 1;
    }
    std::size_t end = pos;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    program = text.substr(pos, end - pos);
    return end;
}

// Reads one argument starting at pos (not a blank); returns the position after it.
std::size_t ReadArgument(const std::string& text, std::size_t pos, std::string& argument)
{
    bool quoted = false;
    while (pos < text.size() && (quoted || !IsBlank(text[pos]))) {
        const char c = text[pos];
        if (c == '\\') {
            std::size_t count = 0;
            while (pos < text.size() && text[pos] == '\\')
                ++count, ++pos;
            const bool beforeQuote = pos < text.size() && text[pos] == '"';
            argument.append(beforeQuote ? count / 2 : count, '\\');
            if (beforeQuote && count % 2 == 1)
                argument += text[pos++];
        } else if (c == '"') {
            if (quoted && pos + 1 < text.size() && text[pos + 1] == '"') {
                argument += '"';
                pos += 2;
            } else {
                quoted = !quoted;
                ++pos;
            }
        } else {
            argument += c;
            ++pos;
        }
    }
    return pos;
}

}  // namespace

SplitCommand SplitCommandLine(const std::string& commandLine)
{
    SplitCommand split;
    std::size_t pos = ReadProgram(commandLine, SkipBlanks(commandLine, 0), split.program);
    while ((pos = SkipBlanks(commandLine, pos)) < commandLine.size()) {
        split.arguments.emplace_back();
        pos = ReadArgument(commandLine, pos, split.arguments.back());
    }
    return split;
}

std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\r\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        quoted += c;
        backslashes = 0;
    }
    // Doubled before the closing quote, so that they stay backslashes.
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

std::optional<std::string> BuildCommandLine(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv[0].empty() || argv[0].find('"') != std::string::npos)
        return std::nullopt;
    const std::string& program = argv[0];
    std::string line = program.find_first_of(" \t") == std::string::npos ? program : '"' + program + '"';
    for (std::size_t i = 1; i < argv.size(); ++i)
        line += ' ' + QuoteArgument(argv[i]);
    return line;
}
