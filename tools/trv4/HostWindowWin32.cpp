// trv4 edit's host window on Windows: a captioned top-level window with a
// fixed client area; the plug-in makes its editor a child of it. The
// message loop here also serves the editor's windows (same thread).
#include <windows.h>

#include <atomic>

#include "tools/trv4/HostWindow.h"

namespace trv4tool {

namespace {

std::atomic<bool> gInterrupted{false};

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    gInterrupted.store(true);
    return TRUE;
}

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr const char* kClassName = "Trv4HostWindow";

class Win32HostWindow final : public HostWindow {
public:
    explicit Win32HostWindow(HWND window) : window_(window) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~Win32HostWindow() override {
        if (window_) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }

    void* handle() const override { return window_; }

    void resize(int width, int height) override {
        if (!window_ || width <= 0 || height <= 0) return;
        RECT frame{0, 0, width, height};
        AdjustWindowRect(&frame, kStyle, FALSE);
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    bool pump() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) closed_ = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return !closed_ && window_;
    }

    void screenOrigin(int& x, int& y) const override {
        POINT origin{0, 0};
        if (window_) ClientToScreen(window_, &origin);
        x = origin.x;
        y = origin.y;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_CLOSE:
            // The edit loop closes the editor first, then the window.
            if (self) self->closed_ = true;
            return 0;
        case WM_DESTROY:
            if (self) {
                self->closed_ = true;
                self->window_ = nullptr;
            }
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }

private:
    HWND window_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::open(const std::string& title, int left, int top, int width, int height,
                                             std::string& error) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = &Win32HostWindow::procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassA(&windowClass)) {
            error = "cannot register the host window class (error " + std::to_string(GetLastError()) + ")";
            return nullptr;
        }
    }
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExA(0, kClassName, title.c_str(), kStyle, left, top, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window) {
        error = "cannot create the host window (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    auto host = std::make_unique<Win32HostWindow>(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return host;
}

void catchInterrupt() { SetConsoleCtrlHandler(&onConsoleEvent, TRUE); }

bool interrupted() { return gInterrupted.load(); }

}  // namespace trv4tool
