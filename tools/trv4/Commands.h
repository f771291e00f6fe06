// The trv4 commands. Each takes the words after its name, prints its output
// on stdout and its errors on stderr, and answers the process exit code:
// 0 done, 1 failed (one error line), 2 wrong usage.
#pragma once

#include <string>
#include <vector>

namespace trv4tool {

int runInfo(const std::vector<std::string>& words);
int runRender(const std::vector<std::string>& words);
int runPreset(const std::vector<std::string>& words);
int runValidate(const std::vector<std::string>& words);
int runSnapshot(const std::vector<std::string>& words);
int runEdit(const std::vector<std::string>& words);

// The --help text.
void printUsage();

}  // namespace trv4tool
