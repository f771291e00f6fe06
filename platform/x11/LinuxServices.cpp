#include "platform/x11/LinuxServices.h"

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

namespace platform {

namespace {

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// The full path of a program on $PATH, or empty.
std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

}  // namespace

void LinuxServices::OpenDocument(uintptr_t, const std::string&, const std::string& file) {
    // xdg-open started directly, the path as its one argument: no shell sees
    // it. Two forks, so that no child is left for the host to reap; between
    // fork and exec only async-signal-safe calls (the host has threads).
    std::string program = FindProgram("xdg-open");
    if (program.empty()) return;
    std::vector<char> path(file.begin(), file.end());
    path.push_back('\0');
    char* argv[] = {program.data(), path.data(), nullptr};
    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        if (fork() == 0) execv(argv[0], argv);
        _exit(0);
    }
    waitpid(child, nullptr, 0);
}

std::string LinuxServices::SettingsFile(const std::string& dir, const std::string& key) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : key + "\\") {
        if (c == '\\' || c == '/') {
            if (!part.empty() && part != "." && part != "..") parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!parts.empty() && parts.front() == "Software") parts.erase(parts.begin());
    if (parts.empty()) return "";
    std::string path = dir;
    for (const std::string& p : parts) path += "/" + p;
    return path + ".ini";
}

bool LinuxServices::ReadSetting(const std::string& key, const std::string& name, std::string& text) {
    text.clear();
    std::vector<std::string> dirs;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && config[0] == '/') {
        dirs.push_back(config);
    } else if (home && home[0] == '/') {
        dirs.push_back(std::string(home) + "/.config");
    }
    dirs.push_back("/etc/xdg");
    for (const std::string& dir : dirs) {
        const std::string path = SettingsFile(dir, key);
        if (path.empty()) return false;
        std::ifstream in(path);
        if (!in) continue;
        std::string line;
        while (std::getline(in, line)) {
            const std::string t = Trim(line);
            if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') continue;
            const size_t eq = t.find('=');
            if (eq == std::string::npos || Trim(t.substr(0, eq)) != name) continue;
            text = Trim(t.substr(eq + 1));
            return true;
        }
        return true;
    }
    return false;
}

void LinuxServices::ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) {
    if (display_) RunMessageBox(display_, owner, caption, text);
}

uint64_t LinuxServices::PerformanceCounter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

uint32_t LinuxServices::TickCount() { return static_cast<uint32_t>(PerformanceCounter() / 1000000u); }

}  // namespace platform
