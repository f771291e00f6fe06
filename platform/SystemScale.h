// The screen density the system asks windows to be drawn at, as a scale
// factor (1.0 at 96 dots per inch). It never changes the process's own DPI
// awareness: it reads what the host's windows already get.
//
// Windows: the DPI of window (GetDpiForWindow, where the system has it),
// else the screen's (LOGPIXELSX). A host that is not DPI-aware gets 96
// either way, and the system magnifies the whole host window itself.
// Linux: Xft.dpi / 96 from the X resource database of the default display,
// then the GDK_SCALE and QT_SCALE_FACTOR environment variables.
//
// Window thread; a system call or a display connection each time.
#pragma once

#include <cstdint>

namespace platform {

// The factor, or 0 when no source answers.
double SystemScaleFactor(uintptr_t window);

// The factor of a DPI value (96 dots per inch: 1.0).
constexpr double DpiFactor(int dpi) { return dpi / 96.0; }

}  // namespace platform
