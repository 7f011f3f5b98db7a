#include "cli/ArgumentParser.h"

namespace cli {

ParsedArgs ParseArgs(const Args& args, const std::set<std::string>& knownFlags, std::size_t positionalCount)
{
    ParsedArgs parsed;
    bool flagsEnded = false;
    for (const std::string& arg : args) {
        if (!flagsEnded && arg == "--") {
            flagsEnded = true;
        } else if (!flagsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!knownFlags.count(arg)) {
                parsed.error = "unknown option '" + arg + "'";
                return parsed;
            }
            parsed.flags.insert(arg);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (parsed.positional.size() < positionalCount)
        parsed.error = "missing argument";
    else if (parsed.positional.size() > positionalCount)
        parsed.error = "unexpected argument '" + parsed.positional[positionalCount] + "'";
    return parsed;
}

}  // namespace cli
