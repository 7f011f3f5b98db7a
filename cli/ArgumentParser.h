#pragma once
// Splits a command's arguments into flags (--name) and positional values.
// A flag that the command does not know, or a wrong number of positional
// values, is a usage error.

#include "cli/Commands.h"

#include <set>
#include <string>
#include <vector>

namespace cli {

struct ParsedArgs {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::string error;  // empty when the arguments fit

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
};

// knownFlags: e.g. {"--json"}; positionalCount: exactly how many values.
// "--" ends the flags (a file named "--json" can still be given).
ParsedArgs ParseArgs(const Args& args, const std::set<std::string>& knownFlags, std::size_t positionalCount);

}  // namespace cli
