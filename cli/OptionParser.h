#pragma once
// Splits a command's arguments into positional arguments and options.
// Options are "--name" (a flag) or "--name VALUE" / "--name=VALUE" (one that
// takes a value; the next argument is its value even when it starts with
// "-"). "--" ends the options: everything after it is positional. An
// unknown option, a missing value or an option given twice is an error.

#include "cli/Commands.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool takesValue;
};

class ParsedOptions {
public:
    std::vector<std::string> positional;
    std::string error;  // empty when the arguments were understood

    bool ok() const { return error.empty(); }
    bool Has(const std::string& name) const { return m_given.count(name) != 0; }
    // The value given with name, or nothing when the option was not given.
    std::optional<std::string> Value(const std::string& name) const;

private:
    friend ParsedOptions ParseOptions(const Args& args, const std::vector<OptionSpec>& specs);
    std::map<std::string, std::string> m_given;
};

ParsedOptions ParseOptions(const Args& args, const std::vector<OptionSpec>& specs);

}  // namespace cli
