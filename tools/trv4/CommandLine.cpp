#include "tools/trv4/CommandLine.h"

#include <cstdio>

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

int fail(const std::string& message) {
    std::fprintf(stderr, "trv4: error: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "trv4: %s (trv4 --help shows the usage)\n", message.c_str());
    return 2;
}

}  // namespace trv4tool
