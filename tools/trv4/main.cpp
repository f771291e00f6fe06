// trv4: the command-line host. Loads a plug-in by path through its exported
// entry, as any VST 2 host does, and never links the plug-in's classes.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/trv4/CommandLine.h"
#include "tools/trv4/Commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        trv4tool::printUsage();
        return 2;
    }
    std::string command = words.front();
    words.erase(words.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            trv4tool::printUsage();
            return 0;
        }
        if (command == "info") return trv4tool::runInfo(words);
        if (command == "render") return trv4tool::runRender(words);
        if (command == "preset") return trv4tool::runPreset(words);
        if (command == "validate") return trv4tool::runValidate(words);
        if (command == "snapshot") return trv4tool::runSnapshot(words);
        if (command == "edit") return trv4tool::runEdit(words);
        return trv4tool::usageError("unknown command \"" + command + "\"");
    } catch (const std::exception& e) {
        // Out of memory for a huge file, mostly: one line, no crash.
        return trv4tool::fail(e.what());
    }
}
