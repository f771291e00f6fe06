#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/UserSettings.h"
#include "platform/x11/LinuxServices.h"

namespace platform {

namespace {

// The user's own settings folder: $XDG_CONFIG_HOME, else ~/.config; empty
// when neither is an absolute path.
std::string UserDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    return "";
}

std::string UserFile(const std::string& key) {
    const std::string dir = UserDirectory();
    return dir.empty() ? "" : LinuxServices::SettingsFile(dir, key);
}

// The value name of an INI line "Name = text", or empty for section,
// comment and other lines.
std::string NameOf(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';' || line[first] == '#' || line[first] == '[') return "";
    const size_t eq = line.find('=', first);
    if (eq == std::string::npos) return "";
    const size_t last = line.find_last_not_of(" \t", eq - 1);
    return last == std::string::npos || last < first ? "" : line.substr(first, last - first + 1);
}

// Makes every missing folder of path's parent (owner-only, as settings
// folders are).
bool MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadUserNumber(const std::string& key, const std::string& name, long& value) {
    const std::string path = UserFile(key);
    if (path.empty()) return false;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (NameOf(line) != name) continue;
        const std::string text = line.substr(line.find('=') + 1);
        const char* start = text.c_str();
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(start, &end, 10);
        if (end == start || errno) return false;
        while (*end == ' ' || *end == '\t' || *end == '\r') ++end;
        if (*end) return false;
        value = v;
        return true;
    }
    return false;
}

bool WriteUserNumber(const std::string& key, const std::string& name, long value) {
    const std::string path = UserFile(key);
    if (path.empty() || !MakeParents(path)) return false;
    // The file as it is, with our line put in place of the first one of
    // that name (or added at the end).
    std::string text;
    bool replaced = false;
    mode_t mode = 0600;
    {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!replaced && NameOf(line) == name) {
                line = name + "=" + std::to_string(value) + (!line.empty() && line.back() == '\r' ? "\r" : "");
                replaced = true;
            }
            text += line + "\n";
        }
        struct stat old {};
        if (stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
    }
    if (!replaced) text += name + "=" + std::to_string(value) + "\n";

    std::vector<char> temporary(path.begin(), path.end());
    const std::string suffix = ".XXXXXX";
    temporary.insert(temporary.end(), suffix.begin(), suffix.end());
    temporary.push_back('\0');
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temporary.data(), path.c_str()) != 0) {
        unlink(temporary.data());
        return false;
    }
    return true;
}

}  // namespace platform
