#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/SystemScale.h"

// Xlib last: its macros (Bool, None, True) must not meet our headers.
#include <X11/Xlib.h>

namespace platform {

namespace {

// A positive number that is the whole of text, else 0.
double PositiveNumber(const char* text) {
    if (!text || !*text) return 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    return end && *end == '\0' && v > 0 ? v : 0;
}

// Xft.dpi in the resource database text (lines "name:\tvalue"), or 0.
double XftDpi(const char* resources) {
    if (!resources) return 0;
    const std::string text = resources;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t colon = line.find(':');
        if (colon == std::string::npos || line.compare(0, colon, "Xft.dpi") != 0) continue;
        const size_t value = line.find_first_not_of(" \t", colon + 1);
        return value == std::string::npos ? 0 : PositiveNumber(line.c_str() + value);
    }
    return 0;
}

}  // namespace

double SystemScaleFactor(uintptr_t) {
    if (Display* display = XOpenDisplay(nullptr)) {
        const double dpi = XftDpi(XResourceManagerString(display));
        XCloseDisplay(display);
        if (dpi > 0) return dpi / 96.0;
    }
    if (const double gdk = PositiveNumber(std::getenv("GDK_SCALE"))) return gdk;
    return PositiveNumber(std::getenv("QT_SCALE_FACTOR"));
}

}  // namespace platform
