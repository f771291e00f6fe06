#include "platform/x11/LinuxServices.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <utility>
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

// In the child, between fork and exec: leaves only standard input, output
// and error open, all three on /dev/null, so that the opened program holds
// none of the host's files, sockets or pipes (a host waiting for a pipe's
// end would wait for the browser). Async-signal-safe calls only.
void DetachDescriptors(int maxDescriptors) {
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int fd = 0; fd < 3; ++fd)
            if (null != fd) dup2(null, fd);
        if (null > 2) close(null);
    }
#ifdef SYS_close_range
    if (syscall(SYS_close_range, 3u, ~0u, 0u) == 0) return;
#endif
    for (int fd = 3; fd < maxDescriptors; ++fd) close(fd);
}

}  // namespace

void LinuxServices::OpenDocument(uintptr_t, const std::string&, const std::string& file) {
    // xdg-open started directly, the path as its one argument: no shell sees
    // it. The first child starts a session of its own (no terminal signals
    // of the host's reach the program), forks the program and leaves at
    // once; we reap it here, and the program, orphaned, is reaped by init,
    // so the host never holds a zombie of ours. Everything is prepared
    // before fork: the host has threads, so the children make only
    // async-signal-safe calls.
    std::string program = FindProgram("xdg-open");
    if (program.empty() || file.empty()) return;
    // A relative path that starts with '-' would read as an option.
    std::string argument = file[0] == '-' ? "./" + file : file;
    std::vector<char> path(argument.begin(), argument.end());
    path.push_back('\0');
    char* argv[] = {program.data(), path.data(), nullptr};
    const long openMax = sysconf(_SC_OPEN_MAX);
    const int maxDescriptors = openMax > 0 && openMax < 65536 ? static_cast<int>(openMax) : 65536;
    sigset_t none;
    sigemptyset(&none);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);

    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            // The host's blocked signals and ignored SIGCHLD/SIGPIPE would
            // pass through exec; the program starts with the defaults.
            sigaction(SIGCHLD, &standard, nullptr);
            sigaction(SIGPIPE, &standard, nullptr);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            DetachDescriptors(maxDescriptors);
            execv(argv[0], argv);
            _exit(127);
        }
        _exit(0);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
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

std::vector<std::string> LinuxServices::SettingsDirectories() {
    std::vector<std::string> dirs;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && config[0] == '/') {
        dirs.push_back(config);
    } else if (home && home[0] == '/') {
        dirs.push_back(std::string(home) + "/.config");
    }
    const char* system = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = system && system[0] ? system : "/etc/xdg";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        if (end > start && list[start] == '/') dirs.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return dirs;
}

bool LinuxServices::ReadSetting(const std::string& key, const std::string& name, std::string& text) {
    text.clear();
    for (const std::string& dir : SettingsDirectories()) {
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
    if (showMessage_) showMessage_(owner, caption, text);
}

uint64_t LinuxServices::PerformanceCounter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

uint32_t LinuxServices::TickCount() { return static_cast<uint32_t>(PerformanceCounter() / 1000000u); }

}  // namespace platform
