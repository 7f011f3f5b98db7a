#pragma once
// Command lines as one text, split and built the way the original platform
// did it, so that a command line written for it means the same here.

#include <optional>
#include <string>
#include <vector>

struct SplitCommand {
    std::string program;                 // the first token, without its quotes
    std::vector<std::string> arguments;  // the rest, split by the C runtime's rules
};

// The first token as process creation takes it: from an opening quote to the
// next quote, else up to the first blank (space or tab); longer prefixes
// that contain blanks are never tried. The rest by the C runtime's rules:
// blanks separate arguments unless inside quotes; 2n backslashes before a
// quote give n backslashes and the quote opens or closes quoting; 2n+1 give
// n backslashes and a literal quote; "" inside quotes is a literal quote;
// other backslashes are literal. Blanks before the first token are skipped.
SplitCommand SplitCommandLine(const std::string& commandLine);

// One argument quoted so that SplitCommandLine gives it back exactly: left
// as it is when it is not empty and holds no blank, line break or quote.
std::string QuoteArgument(const std::string& argument);

// The command line for argv (argv[0] the program) that SplitCommandLine
// splits back exactly. Empty when there is no program or the program holds a
// double quote (which no first token can express).
std::optional<std::string> BuildCommandLine(const std::vector<std::string>& argv);
