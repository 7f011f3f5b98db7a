#include "cli/OptionParser.h"

namespace cli {

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name)
{
    for (const OptionSpec& known : specs)
        if (name == known.name)
            return &known;
    return nullptr;
}

const OptionSpec* FindLetter(const std::vector<OptionSpec>& specs, const std::string& arg)
{
    if (arg.size() != 2)
        return nullptr;
    for (const OptionSpec& known : specs)
        if (known.letter != 0 && arg[1] == known.letter && !known.takesValue)
            return &known;
    return nullptr;
}

bool IsLongOption(const std::string& arg)
{
    return arg.size() >= 3 && arg.compare(0, 2, "--") == 0;
}

bool IsSingleDashOption(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && !IsLongOption(arg);
}

}  // namespace

std::optional<std::string> ParsedOptions::Value(const std::string& name) const
{
    auto it = m_given.find(name);
    if (it == m_given.end())
        return std::nullopt;
    return it->second.empty() ? std::string() : it->second.back();
}

std::vector<std::string> ParsedOptions::Values(const std::string& name) const
{
    auto it = m_given.find(name);
    return it == m_given.end() ? std::vector<std::string>() : it->second;
}

void ParsedOptions::RequirePositional(std::size_t count)
{
    if (!ok())
        return;
    if (positional.size() < count)
        error = "missing argument";
    else if (positional.size() > count)
        error = "unexpected argument '" + positional[count] + "'";
}

ParsedOptions ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, ParseRules rules)
{
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size() && parsed.ok(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            parsed.positional.insert(parsed.positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (rules.singleDashIsOption && IsSingleDashOption(arg)) {
            const OptionSpec* letter = FindLetter(specs, arg);
            if (!letter) {
                parsed.error = "unknown option '" + arg + "'";
                break;
            }
            if (parsed.Has(letter->name) && !rules.repeatedFlagsAllowed)
                parsed.error = "option '--" + std::string(letter->name) + "' given twice";
            parsed.m_given[letter->name];
            continue;
        }
        if (!IsLongOption(arg)) {
            parsed.positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* known = FindSpec(specs, name);
        if (!known) {
            parsed.error = "unknown option '--" + name + "'";
        } else if (parsed.Has(name) && !known->gathers && !(rules.repeatedFlagsAllowed && !known->takesValue)) {
            parsed.error = "option '--" + name + "' given twice";
        } else if (!known->takesValue) {
            if (equals != std::string::npos)
                parsed.error = "option '--" + name + "' takes no value";
            else
                parsed.m_given[name];
        } else if (equals != std::string::npos) {
            parsed.m_given[name].push_back(arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            parsed.m_given[name].push_back(args[++i]);
        } else {
            parsed.error = "option '--" + name + "' needs a value";
        }
    }
    return parsed;
}

ParsedOptions ParseFlags(const Args& args, const std::vector<OptionSpec>& flags, std::size_t count)
{
    ParsedOptions parsed = ParseOptions(args, flags, {.singleDashIsOption = true, .repeatedFlagsAllowed = true});
    parsed.RequirePositional(count);
    return parsed;
}

}  // namespace cli
