#pragma once
// The one parser of the tool's command arguments: splits them into
// positional arguments and options. Options are "--name" (a flag) or
// "--name VALUE" / "--name=VALUE" (one that takes a value; the next argument
// is its value even when it starts with "-"). "--" ends the options:
// everything after it is positional. An unknown option, a missing value or a
// value given to a flag is an error; so is an option given twice, unless the
// rules allow repeated flags or the option is one that gathers values. An
// option may have a one-letter form ("-v" for "--verbose"), a flag only.

#include "cli/Commands.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool takesValue;
    char letter = 0;         // "-letter" gives the same flag; 0: none
    bool gathers = false;    // a value option that may be given again: every value is kept
};

// How strictly a command reads its arguments.
struct ParseRules {
    // "-x" is an (unknown) option rather than a positional value; a lone
    // "-" stays positional, and "--" lets a value such as "-x" through.
    bool singleDashIsOption = true;
    // A flag given twice counts once instead of being an error.
    bool repeatedFlagsAllowed = false;
};

class ParsedOptions {
public:
    std::vector<std::string> positional;
    std::string error;  // empty when the arguments were understood

    bool ok() const { return error.empty(); }
    bool Has(const std::string& name) const { return m_given.count(name) != 0; }
    // The value given with name, or nothing when the option was not given.
    std::optional<std::string> Value(const std::string& name) const;
    // Every value given with name, in order (an option that gathers values).
    std::vector<std::string> Values(const std::string& name) const;

    // Sets error ("missing argument", "unexpected argument 'X'") unless
    // exactly count positional values were given; keeps an earlier error.
    void RequirePositional(std::size_t count);

private:
    friend ParsedOptions ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, ParseRules rules);
    std::map<std::string, std::vector<std::string>> m_given;
};

ParsedOptions ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, ParseRules rules = {});

// Flags only, positional values exactly count, "-x" an unknown option and a
// repeated flag harmless: how new, show and upload read their arguments.
ParsedOptions ParseFlags(const Args& args, const std::vector<OptionSpec>& flags, std::size_t count);

}  // namespace cli
