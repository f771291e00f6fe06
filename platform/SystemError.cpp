#include "platform/SystemError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace platform {

namespace {

#ifdef _WIN32
constexpr const char* kPrefix = "Windows error (";
#else
constexpr const char* kPrefix = "System error (";
#endif

std::string Compose(unsigned long code, const std::string& text) {
    return kPrefix + std::to_string(code) + ") " + text;
}

}  // namespace

SystemError::SystemError(unsigned long code, const std::string& text)
    : std::runtime_error(Compose(code, text)), code_(code) {}

SystemError SystemError::FromLastError() {
#ifdef _WIN32
    const DWORD code = GetLastError();
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    // The system's texts end in ".\r\n"; keep the full stop, drop the line end.
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r')) --length;
    return SystemError(code, std::string(buffer, length));
#else
    const int code = errno;
    return SystemError(static_cast<unsigned long>(code), std::strerror(code));
#endif
}

}  // namespace platform
