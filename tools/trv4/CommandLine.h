// Splits a trv4 command line into positional arguments and options. Options
// are "--name VALUE" or "--name=VALUE" for those that take a value, "--name"
// for flags; "--" ends the options. Unknown options are errors.
#pragma once

#include <string>
#include <vector>

namespace trv4tool {

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool takesValue;
};

struct Option {
    std::string name;
    std::string value;  // empty for flags
};

struct Arguments {
    std::vector<std::string> positional;
    std::vector<Option> options;  // in command-line order; options may repeat

    bool has(const std::string& name) const;
    // The last value given for name, or null.
    const std::string* last(const std::string& name) const;
};

// Parses args (the words after the command). False with a one-line reason.
bool parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, Arguments& out,
                    std::string& error);

// The last value of option name as a number from low to high; true without
// the option (value unchanged), false with a one-line reason otherwise.
bool numberOption(const Arguments& args, const char* name, double low, double high, double& value, std::string& error);
bool integerOption(const Arguments& args, const char* name, long long low, long long high, long long& value,
                   std::string& error);

// Prints "trv4: error: message" on stderr and answers the exit code 1.
int fail(const std::string& message);

// Prints "trv4: message" on stderr and answers 2, the exit code of usage errors.
int usageError(const std::string& message);

}  // namespace trv4tool
