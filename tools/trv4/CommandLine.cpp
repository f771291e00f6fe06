#include "tools/trv4/CommandLine.h"

#include <cstdio>

#include "tools/trv4/Numbers.h"

namespace trv4tool {

bool Arguments::has(const std::string& name) const { return last(name) != nullptr; }

const std::string* Arguments::last(const std::string& name) const {
    for (auto it = options.rbegin(); it != options.rend(); ++it)
        if (it->name == name) return &it->value;
    return nullptr;
}

bool parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, Arguments& out,
                    std::string& error) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (word == "--" && !optionsEnded) {
                optionsEnded = true;
                continue;
            }
            parsed.positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::string value;
        size_t equals = name.find('=');
        bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& s : specs)
            if (name == s.name) option = &s;
        if (!option) {
            error = "unknown option --" + name;
            return false;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                error = "--" + name + " needs a value";
                return false;
            }
            value = args[++i];
        } else if (!option->takesValue && inlineValue) {
            error = "--" + name + " takes no value";
            return false;
        }
        parsed.options.push_back({name, value});
    }
    out = std::move(parsed);
    return true;
}

bool numberOption(const Arguments& args, const char* name, double low, double high, double& value, std::string& error) {
    const std::string* text = args.last(name);
    if (!text) return true;
    if (!parseNumber(*text, value) || value < low || value > high) {
        error = std::string("--") + name + " " + *text + ": expected a number from " + formatFloat(float(low)) +
                " to " + formatFloat(float(high));
        return false;
    }
    return true;
}

bool integerOption(const Arguments& args, const char* name, long long low, long long high, long long& value,
                   std::string& error) {
    const std::string* text = args.last(name);
    if (!text) return true;
    if (!parseInteger(*text, value) || value < low || value > high) {
        error = std::string("--") + name + " " + *text + ": expected a whole number from " + std::to_string(low) +
                " to " + std::to_string(high);
        return false;
    }
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "trv4: error: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "trv4: %s (trv4 --help shows the usage)\n", message.c_str());
    return 2;
}

}  // namespace trv4tool
