#include "platform/x11/X11Backend.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/DibSection.h"
#include "platform/SystemError.h"
#include "platform/x11/LinuxServices.h"
#include "platform/x11/X11MessageBox.h"
#include "platform/x11/X11PopupMenu.h"

// Xlib last: its macros (Bool, None, True) must not meet our headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// The error handler is process-wide: errors on our connections are ignored
// (a host may destroy its window before ours), others go to the handler
// that was there before.
std::mutex gErrorMutex;
std::set<Display*> gOurDisplays;
XErrorHandler gPreviousHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    {
        std::lock_guard lock(gErrorMutex);
        if (gOurDisplays.count(display)) return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ShiftState FromState(unsigned state) {
    ShiftState s = 0;
    if (state & ShiftMask) s |= ssShift;
    if (state & ControlMask) s |= ssCtrl;
    if (state & Mod1Mask) s |= ssAlt;
    if (state & Button1Mask) s |= ssLeft;
    if (state & Button2Mask) s |= ssMiddle;
    if (state & Button3Mask) s |= ssRight;
    return s;
}

// The Win32 virtual-key code of a key symbol; 0 for keys without one.
Key VirtualKey(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) return static_cast<Key>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return static_cast<Key>('A' + (sym - XK_A));
    if (sym >= XK_0 && sym <= XK_9) return static_cast<Key>('0' + (sym - XK_0));
    if (sym >= XK_F1 && sym <= XK_F12) return static_cast<Key>(0x70 + (sym - XK_F1));
    switch (sym) {
    case XK_BackSpace: return vkBack;
    case XK_Tab:
    case XK_ISO_Left_Tab: return vkTab;
    case XK_Return:
    case XK_KP_Enter: return vkReturn;
    case XK_Escape: return vkEscape;
    case XK_space: return vkSpace;
    case XK_Prior: return vkPrior;
    case XK_Next: return vkNext;
    case XK_End: return vkEnd;
    case XK_Home: return vkHome;
    case XK_Left: return vkLeft;
    case XK_Up: return vkUp;
    case XK_Right: return vkRight;
    case XK_Down: return vkDown;
    case XK_Delete: return vkDelete;
    case XK_Shift_L:
    case XK_Shift_R: return vkShift;
    case XK_Control_L:
    case XK_Control_R: return vkControl;
    case XK_Alt_L:
    case XK_Alt_R: return vkMenu;
    default: return 0;
    }
}

}  // namespace

class X11Window : public NativeWindow {
public:
    X11Window(X11Backend& backend, uintptr_t parent, const Rect& bounds, WindowEvents& events)
        : backend_(backend), display_(backend.display_), events_(events) {
        const int screen = DefaultScreen(display_);
        ::Window parentWindow = parent ? static_cast<::Window>(parent) : RootWindow(display_, screen);
        XSetWindowAttributes attributes{};
        // No background: the paint covers the update area (no erase flicker).
        attributes.background_pixmap = None;
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask;
        window_ =
            XCreateWindow(display_, parentWindow, bounds.left, bounds.top, Side(bounds.Width()), Side(bounds.Height()),
                          0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
        if (!window_) throw SystemError(0, "the X server refused a window");
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        bounds_ = bounds;
        Allocate();
        backend_.windows_[window_] = this;
        XMapWindow(display_, window_);
        XFlush(display_);
    }
    ~X11Window() override {
        backend_.windows_.erase(window_);
        if (image_) {
            image_->data = nullptr;  // ours, not Xlib's to free
            XDestroyImage(image_);
        }
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, window_);
        XFlush(display_);
    }

    uintptr_t Handle() const override { return window_; }
    void SetBounds(const Rect& b) override {
        const bool resized = b.Width() != bounds_.Width() || b.Height() != bounds_.Height();
        bounds_ = b;
        XMoveResizeWindow(display_, window_, b.left, b.top, Side(b.Width()), Side(b.Height()));
        if (resized) Allocate();
    }
    void Show(bool visible) override {
        visible ? XMapWindow(display_, window_) : XUnmapWindow(display_, window_);
        XFlush(display_);
    }
    void Invalidate(const Rect& r, bool) override { update_ = update_.Union(r.Intersect(Client())); }
    void Validate(const Rect& r) override {
        if (update_.Intersect(r) == update_) update_ = {};
    }
    void Update() override {
        if (!update_.IsEmpty()) Paint();
    }
    void SetFocus() override { XSetInputFocus(display_, window_, RevertToParent, CurrentTime); }
    bool Focused() const override { return focused_; }
    // X gives the pressed window every motion and the release (an implicit
    // grab), so nothing to do.
    void SetCapture(bool) override {}

    void Paint() {
        const Rect rect = update_;
        update_ = {};
        DeviceContext& dc = buffer_->DC();
        dc.SetOrigin({0, 0});
        dc.SetClip(rect);
        events_.NativePaint(dc, rect, false);
        dc.SetOrigin({0, 0});
        dc.ResetClip();
        Show(rect);
    }

    void Handle(XEvent& e) {
        switch (e.type) {
        case Expose:
            Invalidate({e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height},
                       false);
            break;
        case ButtonPress:
        case ButtonRelease: {
            MouseButton button;
            unsigned mask;
            switch (e.xbutton.button) {
            case Button1: button = MouseButton::Left, mask = Button1Mask; break;
            case Button2: button = MouseButton::Middle, mask = Button2Mask; break;
            case Button3: button = MouseButton::Right, mask = Button3Mask; break;
            case Button4:  // one wheel notch away from the user
            case Button5:  // one toward the user
                if (e.type == ButtonPress)
                    events_.NativeMouseWheel(e.xbutton.button == Button4 ? 120 : -120, FromState(e.xbutton.state),
                                             {e.xbutton.x, e.xbutton.y});
                return;
            default: return;  // horizontal wheel steps (6, 7) and extra buttons
            }
            // The state is the one before the event: add or drop the button.
            const unsigned state = e.type == ButtonPress ? e.xbutton.state | mask : e.xbutton.state & ~mask;
            const Point p{e.xbutton.x, e.xbutton.y};
            if (e.type == ButtonPress) {
                events_.NativeMouseDown(button, FromState(state), p);
            } else {
                events_.NativeMouseUp(button, FromState(state), p);
            }
            break;
        }
        case MotionNotify: {
            const Point p{e.xmotion.x, e.xmotion.y};
            SetCursorShape(events_.NativeCursorAt(p));
            events_.NativeMouseMove(FromState(e.xmotion.state), p);
            break;
        }
        case LeaveNotify:
            if (e.xcrossing.mode == NotifyNormal) events_.NativeMouseLeave();
            break;
        case KeyPress:
        case KeyRelease: {
            char text[8] = {};
            KeySym sym = 0;
            const int n = XLookupString(&e.xkey, text, sizeof text, &sym, nullptr);
            const Key key = VirtualKey(sym);
            const ShiftState shift = FromState(e.xkey.state) & (ssShift | ssCtrl | ssAlt);
            if (e.type == KeyRelease) {
                if (key) events_.NativeKeyUp(key, shift);
                break;
            }
            if (key) events_.NativeKeyDown(key, shift);
            for (int i = 0; i < n; ++i) events_.NativeKeyPress(text[i]);
            break;
        }
        case FocusIn:
        case FocusOut:
            if (e.xfocus.mode == NotifyNormal || e.xfocus.mode == NotifyWhileGrabbed) {
                focused_ = e.type == FocusIn;
                events_.NativeFocus(focused_);
            }
            break;
        default: break;
        }
    }

private:
    static unsigned Side(int v) { return v > 0 ? static_cast<unsigned>(v) : 1u; }
    Rect Client() const { return {0, 0, bounds_.Width(), bounds_.Height()}; }

    // A back buffer of the client size and a top-down copy for XPutImage.
    void Allocate() {
        const int w = static_cast<int>(Side(bounds_.Width())), h = static_cast<int>(Side(bounds_.Height()));
        buffer_ = DibSection::Create(w, h);
        std::memset(buffer_->Bits(), 0, static_cast<size_t>(w) * h * 4);
        rows_.assign(static_cast<size_t>(w) * h * 4, 0);
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        const int screen = DefaultScreen(display_);
        image_ = XCreateImage(display_, DefaultVisual(display_, screen), DefaultDepth(display_, screen), ZPixmap, 0,
                              reinterpret_cast<char*>(rows_.data()), w, h, 32, w * 4);
        update_ = Client();
    }

    // Copies a rectangle of the back buffer to the window. The pixel layout
    // (blue, green, red, unused) is a 24-bit TrueColor visual's own.
    void Show(const Rect& r) {
        if (!image_ || r.IsEmpty()) return;
        const int w = buffer_->Width(), h = buffer_->Height();
        const uint8_t* bits = buffer_->Bits();
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(rows_.data() + (static_cast<size_t>(y) * w + r.left) * 4,
                        bits + (static_cast<size_t>(h - 1 - y) * w + r.left) * 4, static_cast<size_t>(r.Width()) * 4);
        XPutImage(display_, window_, gc_, image_, r.left, r.top, r.left, r.top, r.Width(), r.Height());
    }

    void SetCursorShape(platform::Cursor cursor) {
        if (cursor == cursor_) return;
        cursor_ = cursor;
        XDefineCursor(display_, window_, cursor == platform::Cursor::HandPoint ? backend_.hand_ : backend_.arrow_);
    }

    X11Backend& backend_;
    Display* display_;
    WindowEvents& events_;
    ::Window window_ = 0;
    GC gc_ = nullptr;
    Rect bounds_;
    Rect update_;
    std::unique_ptr<DibSection> buffer_;
    std::vector<uint8_t> rows_;
    XImage* image_ = nullptr;
    bool focused_ = false;
    platform::Cursor cursor_ = platform::Cursor::Default;
};

X11Backend::X11Backend() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) throw SystemError(0, "cannot open the X display");
    {
        std::lock_guard lock(gErrorMutex);
        if (gOurDisplays.empty()) {
            XErrorHandler previous = XSetErrorHandler(&OnXError);
            if (previous != &OnXError) gPreviousHandler = previous;
        }
        gOurDisplays.insert(display_);
    }
    arrow_ = XCreateFontCursor(display_, XC_left_ptr);
    hand_ = XCreateFontCursor(display_, XC_hand2);
    services_ =
        std::make_unique<LinuxServices>([this](uintptr_t owner, const std::string& caption, const std::string& text) {
            OpenMessageBox(owner, caption, text);
        });
}

X11Backend::~X11Backend() {
    timers_.clear();
    boxes_.clear();
    menu_.reset();
    XFreeCursor(display_, arrow_);
    XFreeCursor(display_, hand_);
    XCloseDisplay(display_);
    std::lock_guard lock(gErrorMutex);
    gOurDisplays.erase(display_);
    // The last connection of ours: hand X errors back to the handler we
    // found, since the host may unload the library with the editor closed
    // (a handler left behind would point into freed code). One installed
    // after ours stays.
    if (gOurDisplays.empty()) {
        XErrorHandler current = XSetErrorHandler(gPreviousHandler);
        if (current != &OnXError) XSetErrorHandler(current);
        gPreviousHandler = nullptr;
    }
}

std::unique_ptr<NativeWindow> X11Backend::CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                             WindowEvents& events) {
    return std::make_unique<X11Window>(*this, parent, bounds, events);
}

std::unique_ptr<NativeTimer> X11Backend::CreateTimer(unsigned intervalMs, std::function<void()> tick) {
    const unsigned interval = std::max(1u, intervalMs);
    auto slot = std::make_shared<TimerSlot>(TimerSlot{interval, NowMs() + interval, 0, std::move(tick)});
    timers_.push_back(slot);
    return std::make_unique<PolledTimer>(slot);
}

ShiftState X11Backend::KeyboardState() {
    ::Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return FromState(mask) & (ssShift | ssCtrl | ssAlt);
}

Services& X11Backend::System() { return *services_; }

int X11Backend::EventSource() const { return display_ ? ConnectionNumber(display_) : -1; }

void X11Backend::Dispatch(XEvent& event) {
    auto it = windows_.find(event.xany.window);
    if (it != windows_.end()) return it->second->Handle(event);
    for (const auto& box : boxes_)
        if (box->Window() == event.xany.window) return box->Handle(event);
    if (menu_ && menu_->Window() == event.xany.window) menu_->Handle(event);
}

void X11Backend::ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked,
                               PixelScale scale, std::function<void(int)> chosen) {
    menu_.reset();
    menuChosen_ = nullptr;
    menu_ = std::make_unique<X11PopupMenu>(display_, static_cast<unsigned long>(owner), p, items, checked, scale);
    menuChosen_ = std::move(chosen);
}

void X11Backend::OpenMessageBox(uintptr_t owner, const std::string& caption, const std::string& text) {
    for (const auto& box : boxes_)
        if (!box->Closed() && box->Caption() == caption && box->Text() == text) return box->Raise();
    boxes_.push_back(std::make_unique<X11MessageBox>(display_, static_cast<unsigned long>(owner), caption, text));
}

void X11Backend::PaintPending() {
    // A copy of the handles: a paint may create or free windows.
    std::vector<unsigned long> handles;
    for (const auto& [handle, window] : windows_) handles.push_back(handle);
    for (unsigned long h : handles) {
        auto it = windows_.find(h);
        if (it != windows_.end()) it->second->Update();
    }
    XFlush(display_);
}

void X11Backend::ProcessEvents() {
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        Dispatch(event);
    }
    // Each due timer fires once; one that fell behind (idle calls come
    // every 15 to 66 ms) continues from now instead of catching up.
    const uint64_t now = NowMs();
    const std::vector<std::shared_ptr<TimerSlot>> due = timers_;
    for (const auto& slot : due) {
        if (!slot->alive || slot->due > now) continue;
        slot->due = slot->due + slot->interval <= now ? now + slot->interval : slot->due + slot->interval;
        try {
            slot->tick();
        } catch (...) {
            // Swallowed: no exception may reach the host's idle call, which
            // runs this loop. A timer reports its handler's failures itself.
        }
    }
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [](const auto& s) { return !s->alive; }),
                  timers_.end());
    boxes_.erase(std::remove_if(boxes_.begin(), boxes_.end(), [](const auto& b) { return b->Closed(); }), boxes_.end());
    if (menu_ && menu_->Closed()) {
        // The menu goes first: the pick may resize or close our windows.
        const int picked = menu_->Picked();
        std::function<void(int)> chosen = std::move(menuChosen_);
        menuChosen_ = nullptr;
        menu_.reset();
        try {
            if (picked >= 0 && chosen) chosen(picked);
        } catch (...) {
            // Swallowed: no exception may reach the host's idle call; the
            // menu's action reports its own failures.
        }
    }
    PaintPending();
}

std::unique_ptr<Backend> CreateNativeBackend() { return std::make_unique<X11Backend>(); }

}  // namespace platform
