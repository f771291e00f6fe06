#include <windows.h>

#include "platform/SystemScale.h"

namespace platform {

double SystemScaleFactor(uintptr_t window) {
    // GetDpiForWindow exists from Windows 10 (1607) on: looked up at run
    // time so that the plug-in still loads on older systems.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow && window)
        if (const UINT dpi = dpiForWindow(reinterpret_cast<HWND>(window))) return DpiFactor(static_cast<int>(dpi));
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? DpiFactor(dpi) : 0;
}

}  // namespace platform
