// The exception the framework raises when the system refuses a request
// (a bitmap, a window, a timer): "Windows error (N) text" on Windows, with
// the system's own message text; "System error (N) text" elsewhere, with the
// errno text. Raised on the window thread, never across a window procedure
// or an event-processing call from the host.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class SystemError : public std::runtime_error {
public:
    SystemError(unsigned long code, const std::string& text);
    // The error the last failed system call left (GetLastError, errno).
    static SystemError FromLastError();

    unsigned long Code() const { return code_; }

private:
    unsigned long code_;
};

}  // namespace platform
