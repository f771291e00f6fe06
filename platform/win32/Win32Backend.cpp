// The Win32 backend: child windows of the host's window with our own window
// class, hidden message windows for timers (timer id 1), GetKeyState for
// the keyboard state. The host's message loop delivers everything.
#include <windows.h>
#include <windowsx.h>

#include "platform/Backend.h"
#include "platform/SystemError.h"
#include "platform/SystemScale.h"
#include "platform/win32/GdiContext.h"
#include "platform/win32/Win32Services.h"

namespace platform {

namespace {

constexpr const char* kWindowClass = "TRV4PlatformWindow";
constexpr const char* kTimerClass = "TRV4PlatformTimer";

// The module (DLL or program) this code is in: window classes belong to it.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// A window class registered while windows of it exist, so that nothing of
// ours stays registered once the host unloads the DLL.
class ClassUse {
public:
    ClassUse(const char* name, WNDPROC procedure) : name_(name) {
        if (Count()++ > 0 && FindClass()) return;
        WNDCLASSA wc{};
        wc.lpfnWndProc = procedure;
        wc.hInstance = ThisModule();
        wc.lpszClassName = name_;
        // No background brush and no class cursor: paints cover the whole
        // update region and WM_SETCURSOR picks the cursor.
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            --Count();
            throw SystemError::FromLastError();
        }
    }
    ~ClassUse() {
        if (--Count() == 0) UnregisterClassA(name_, ThisModule());
    }
    ClassUse(const ClassUse&) = delete;
    ClassUse& operator=(const ClassUse&) = delete;

private:
    bool FindClass() const {
        WNDCLASSA wc{};
        return GetClassInfoA(ThisModule(), name_, &wc) != 0;
    }
    int& Count() {
        static int windows = 0, timers = 0;
        return name_ == kWindowClass ? windows : timers;
    }
    const char* name_;
};

ShiftState KeysNow() {
    ShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

ShiftState MouseShift(WPARAM w) {
    ShiftState s = 0;
    if (w & MK_SHIFT) s |= ssShift;
    if (w & MK_CONTROL) s |= ssCtrl;
    if (w & MK_LBUTTON) s |= ssLeft;
    if (w & MK_RBUTTON) s |= ssRight;
    if (w & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// Sent to child windows once their parent moved to a screen of another
// density (Windows 10 1703 on); older headers lack the name.
constexpr UINT WM_DPICHANGED_AFTERPARENT_ = 0x02E3;

// The window's DPI now, or 0 where the system cannot tell.
int DpiOf(HWND hwnd) {
    const double factor = SystemScaleFactor(reinterpret_cast<uintptr_t>(hwnd));
    return static_cast<int>(factor * 96 + 0.5);
}

class Win32Window : public NativeWindow {
public:
    Win32Window(uintptr_t parent, const Rect& bounds, WindowEvents& events)
        : use_(kWindowClass, &Procedure), events_(events) {
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        hwnd_ = CreateWindowExA(0, kWindowClass, "", style, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                                reinterpret_cast<HWND>(parent), nullptr, ThisModule(), this);
        if (!hwnd_) throw SystemError::FromLastError();
    }
    ~Win32Window() override {
        if (IsWindow(hwnd_)) {
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }

    uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(hwnd_); }
    void SetBounds(const Rect& b) override {
        SetWindowPos(hwnd_, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Show(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    void Invalidate(const Rect& r, bool erase) override {
        const RECT rc{r.left, r.top, r.right, r.bottom};
        InvalidateRect(hwnd_, &rc, erase);
    }
    void Validate(const Rect& r) override {
        const RECT rc{r.left, r.top, r.right, r.bottom};
        ValidateRect(hwnd_, &rc);
    }
    void Update() override { UpdateWindow(hwnd_); }
    void SetFocus() override { ::SetFocus(hwnd_); }
    bool Focused() const override { return GetFocus() == hwnd_; }
    void SetCapture(bool capture) override {
        if (capture) {
            ::SetCapture(hwnd_);
        } else if (GetCapture() == hwnd_) {
            ReleaseCapture();
        }
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(l);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, message, w, l);
        // No exception may unwind into the system (DWARF unwinding on i686
        // cannot cross it).
        try {
            LRESULT result = 0;
            if (self->Handle(hwnd, message, w, l, result)) return result;
        } catch (...) {
            // Swallowed, for the reason above; the control's own message
            // step has already reported what it could.
            return 0;
        }
        return DefWindowProcA(hwnd, message, w, l);
    }

    bool Handle(HWND hwnd, UINT message, WPARAM w, LPARAM l, LRESULT& result) {
        const Point p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        switch (message) {
        case WM_ERASEBKGND:
            result = 1;  // the paint covers everything
            return true;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            if (w) {
                GdiContext dc(reinterpret_cast<HDC>(w));
                events_.NativePaint(dc, dc.ClipBox(), true);
                if (message == WM_PAINT) ValidateRect(hwnd, nullptr);
            } else {
                PAINTSTRUCT ps{};
                HDC hdc = BeginPaint(hwnd, &ps);
                {
                    GdiContext dc(hdc);
                    events_.NativePaint(dc, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom},
                                        false);
                }
                EndPaint(hwnd, &ps);
            }
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: events_.NativeMouseDown(MouseButton::Left, MouseShift(w), p); return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: events_.NativeMouseDown(MouseButton::Right, MouseShift(w), p); return true;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: events_.NativeMouseDown(MouseButton::Middle, MouseShift(w), p); return true;
        case WM_LBUTTONUP: events_.NativeMouseUp(MouseButton::Left, MouseShift(w), p); return true;
        case WM_RBUTTONUP: events_.NativeMouseUp(MouseButton::Right, MouseShift(w), p); return true;
        case WM_MBUTTONUP: events_.NativeMouseUp(MouseButton::Middle, MouseShift(w), p); return true;
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                tracking_ = TrackMouseEvent(&track) != 0;
            }
            events_.NativeMouseMove(MouseShift(w), p);
            return true;
        case WM_MOUSELEAVE:
            tracking_ = false;
            events_.NativeMouseLeave();
            return true;
        case WM_MOUSEWHEEL: {
            // Sent to the focus window, with screen coordinates: it belongs
            // to our window under the pointer. Elsewhere the default passes
            // it on to the parent (the host).
            POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            Win32Window* target = OursAt(at);
            if (!target) return false;
            ScreenToClient(target->hwnd_, &at);
            target->events_.NativeMouseWheel(GET_WHEEL_DELTA_WPARAM(w), MouseShift(GET_KEYSTATE_WPARAM(w)),
                                             {at.x, at.y});
            return true;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: events_.NativeKeyDown(static_cast<Key>(w), KeysNow()); return false;
        case WM_KEYUP:
        case WM_SYSKEYUP: events_.NativeKeyUp(static_cast<Key>(w), KeysNow()); return false;
        case WM_CHAR: events_.NativeKeyPress(static_cast<char>(w)); return true;
        case WM_GETDLGCODE: result = events_.NativeDialogCode(); return true;
        case WM_SETFOCUS: events_.NativeFocus(true); return true;
        case WM_KILLFOCUS: events_.NativeFocus(false); return true;
        case WM_SETCURSOR:
            if (LOWORD(l) == HTCLIENT && reinterpret_cast<HWND>(w) == hwnd) {
                POINT at{};
                GetCursorPos(&at);
                ScreenToClient(hwnd, &at);
                const Cursor cursor = events_.NativeCursorAt({at.x, at.y});
                ::SetCursor(LoadCursor(nullptr, cursor == Cursor::HandPoint ? IDC_HAND : IDC_ARROW));
                result = TRUE;
                return true;
            }
            return false;
        case WM_DPICHANGED_AFTERPARENT_: {
            if (const int dpi = DpiOf(hwnd)) events_.NativeDpiChanged(dpi);
            return true;
        }
        case WM_NCDESTROY: SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0); return false;
        default: return false;
        }
    }

    // Our window under the screen point, or none.
    static Win32Window* OursAt(POINT screen) {
        HWND under = WindowFromPoint(screen);
        char name[64] = {};
        if (!under || !GetClassNameA(under, name, sizeof name) || lstrcmpA(name, kWindowClass) != 0 ||
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(under, GWLP_HINSTANCE)) != ThisModule())
            return nullptr;
        return reinterpret_cast<Win32Window*>(GetWindowLongPtrA(under, GWLP_USERDATA));
    }

    ClassUse use_;
    WindowEvents& events_;
    HWND hwnd_ = nullptr;
    bool tracking_ = false;
};

// A hidden message window with system timer 1.
class Win32Timer : public NativeTimer {
public:
    Win32Timer(unsigned interval, std::function<void()> tick) : use_(kTimerClass, &Procedure), tick_(std::move(tick)) {
        hwnd_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), this);
        if (!hwnd_) throw SystemError::FromLastError();
        if (!SetTimer(hwnd_, 1, interval < 1 ? 1 : interval, nullptr)) {
            SystemError error = SystemError::FromLastError();
            DestroyWindow(hwnd_);
            throw error;
        }
    }
    ~Win32Timer() override {
        KillTimer(hwnd_, 1);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(l);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        if (message == WM_TIMER && w == 1) {
            if (auto* self = reinterpret_cast<Win32Timer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
                try {
                    self->tick_();
                } catch (...) {
                    // Swallowed: nothing may unwind into the system from a
                    // window procedure. A timer reports its handler's
                    // failures itself.
                }
            }
            return 0;
        }
        return DefWindowProcA(hwnd, message, w, l);
    }

    ClassUse use_;
    std::function<void()> tick_;
    HWND hwnd_ = nullptr;
};

class Win32Backend : public Backend {
public:
    std::unique_ptr<NativeWindow> CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                     WindowEvents& events) override {
        return std::make_unique<Win32Window>(parent, bounds, events);
    }
    std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, std::function<void()> tick) override {
        return std::make_unique<Win32Timer>(intervalMs, std::move(tick));
    }
    ShiftState KeyboardState() override { return KeysNow(); }
    void ProcessEvents() override {}
    Services& System() override { return services_; }
    void ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked, PixelScale,
                       std::function<void(int)> chosen) override {
        HMENU menu = CreatePopupMenu();
        if (!menu) throw SystemError::FromLastError();
        for (size_t i = 0; i < items.size(); ++i)
            AppendMenuA(menu, MF_STRING | (static_cast<int>(i) == checked ? MF_CHECKED : 0), i + 1, items[i].c_str());
        const HWND hwnd = reinterpret_cast<HWND>(owner);
        POINT at{p.x, p.y};
        ClientToScreen(hwnd, &at);
        // TPM_RETURNCMD: the pick comes back here rather than as WM_COMMAND.
        const int picked = static_cast<int>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr));
        DestroyMenu(menu);
        if (picked > 0) chosen(picked - 1);
    }

private:
    Win32Services services_;
};

}  // namespace

std::unique_ptr<Backend> CreateNativeBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace platform
