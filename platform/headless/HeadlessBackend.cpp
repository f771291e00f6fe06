#include "platform/headless/HeadlessBackend.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {

class HeadlessBackend::Window : public NativeWindow {
public:
    Window(HeadlessBackend& backend, uintptr_t handle, uintptr_t parent, const Rect& bounds, WindowEvents& events)
        : backend_(backend), handle_(handle), parent_(parent), events_(events) {
        SetBounds(bounds);
    }
    ~Window() override {
        backend_.windows_.erase(handle_);
        if (backend_.focus_ == handle_) backend_.focus_ = 0;
        if (backend_.capture_ == handle_) backend_.capture_ = 0;
        if (backend_.pointerIn_ == handle_) backend_.pointerIn_ = 0;
        // A menu goes with its window, as it does on a screen.
        if (backend_.menuOwner_ == handle_) backend_.menuChosen_ = nullptr;
    }

    uintptr_t Handle() const override { return handle_; }
    void SetBounds(const Rect& bounds) override {
        const bool resized = !buffer_ || bounds.Width() != bounds_.Width() || bounds.Height() != bounds_.Height();
        bounds_ = bounds;
        if (!resized) return;
        buffer_ = DibSection::Create(std::max(1, bounds.Width()), std::max(1, bounds.Height()));
        std::memset(buffer_->Bits(), 0, static_cast<size_t>(buffer_->Width()) * buffer_->Height() * 4);
        update_ = Client();
    }
    void Show(bool visible) override { visible_ = visible; }
    void Invalidate(const Rect& rect, bool erase) override {
        invalidations_.push_back({rect, erase});
        update_ = update_.Union(rect.Intersect(Client()));
    }
    void Validate(const Rect& rect) override {
        const Rect covered = update_.Intersect(rect);
        if (covered == update_) update_ = {};
    }
    void Update() override {
        if (!update_.IsEmpty()) Paint();
    }
    void SetFocus() override { backend_.SetFocusTo(handle_); }
    bool Focused() const override { return backend_.focus_ == handle_; }
    void SetCapture(bool capture) override {
        if (capture) {
            backend_.capture_ = handle_;
        } else if (backend_.capture_ == handle_) {
            backend_.capture_ = 0;
        }
    }

    void Paint() {
        const Rect rect = update_;
        update_ = {};
        paints_.push_back(rect);
        DeviceContext& dc = buffer_->DC();
        dc.SetOrigin({0, 0});
        dc.SetClip(rect);
        events_.NativePaint(dc, rect, false);
        dc.SetOrigin({0, 0});
        dc.ResetClip();
    }

    Rect Client() const { return {0, 0, bounds_.Width(), bounds_.Height()}; }

    HeadlessBackend& backend_;
    uintptr_t handle_;
    uintptr_t parent_;
    WindowEvents& events_;
    Rect bounds_;
    bool visible_ = true;
    std::unique_ptr<DibSection> buffer_;
    Rect update_;
    std::vector<Invalidation> invalidations_;
    std::vector<Rect> paints_;
};

class HeadlessBackend::SystemServices : public Services {
public:
    explicit SystemServices(HeadlessBackend& backend) : backend_(backend) {}

    void OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) override {
        backend_.shellCalls.push_back({owner, verb, file});
    }
    bool ReadSetting(const std::string& key, const std::string& name, std::string& text) override {
        text.clear();
        const std::string prefix = key + "\\";
        auto it = backend_.settings.lower_bound(prefix);
        if (it == backend_.settings.end() || it->first.compare(0, prefix.size(), prefix) != 0) return false;
        auto value = backend_.settings.find(prefix + name);
        if (value != backend_.settings.end()) text = value->second;
        return true;
    }
    void ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) override {
        backend_.messageBoxes.push_back({owner, caption, text});
    }
    uint64_t PerformanceCounter() override { return backend_.now_ * 1000; }
    uint64_t PerformanceFrequency() override { return 1000000; }
    uint32_t TickCount() override { return static_cast<uint32_t>(backend_.now_); }

private:
    HeadlessBackend& backend_;
};

HeadlessBackend::HeadlessBackend() : system_(std::make_unique<SystemServices>(*this)) {}

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<NativeWindow> HeadlessBackend::CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                                  WindowEvents& events) {
    const uintptr_t handle = nextHandle_++;
    auto window = std::make_unique<Window>(*this, handle, parent, bounds, events);
    windows_[handle] = window.get();
    return window;
}

std::unique_ptr<NativeTimer> HeadlessBackend::CreateTimer(unsigned intervalMs, std::function<void()> tick) {
    static uint64_t order = 0;
    const unsigned interval = std::max(1u, intervalMs);
    auto slot = std::make_shared<TimerSlot>(TimerSlot{interval, now_ + interval, order++, std::move(tick)});
    timers_.push_back(slot);
    return std::make_unique<PolledTimer>(slot);
}

Services& HeadlessBackend::System() { return *system_; }

void HeadlessBackend::ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked,
                                    PixelScale scale, std::function<void(int)> chosen) {
    popupMenus.push_back({owner, p, items, checked, scale});
    menuChosen_ = std::move(chosen);
    menuItems_ = items.size();
    menuOwner_ = owner;
}

bool HeadlessBackend::ChooseMenuItem(int index) {
    if (!menuChosen_ || index < 0 || static_cast<size_t>(index) >= menuItems_) return false;
    // The menu is gone before its action runs, as on a screen.
    std::function<void(int)> chosen = std::move(menuChosen_);
    menuChosen_ = nullptr;
    chosen(index);
    return true;
}

HeadlessBackend::Window* HeadlessBackend::Find(uintptr_t handle) const {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second;
}

Rect HeadlessBackend::PendingUpdate(uintptr_t handle) const {
    const Window* w = Find(handle);
    return w ? w->update_ : Rect{};
}

std::vector<HeadlessBackend::Invalidation> HeadlessBackend::TakeInvalidations(uintptr_t handle) {
    Window* w = Find(handle);
    return w ? std::exchange(w->invalidations_, {}) : std::vector<Invalidation>{};
}

std::vector<Rect> HeadlessBackend::TakePaints(uintptr_t handle) {
    Window* w = Find(handle);
    return w ? std::exchange(w->paints_, {}) : std::vector<Rect>{};
}

void HeadlessBackend::PaintPending() {
    // Parents before children (lower handles first), as a window system does.
    std::vector<uintptr_t> handles;
    for (const auto& [handle, window] : windows_) handles.push_back(handle);
    for (uintptr_t h : handles)
        if (Window* w = Find(h)) w->Update();
}

std::unique_ptr<DibSection> HeadlessBackend::Capture(uintptr_t handle) {
    PaintPending();
    Window* root = Find(handle);
    if (!root) return nullptr;
    auto picture = DibSection::Create(root->buffer_->Width(), root->buffer_->Height());
    std::function<void(Window&, Point)> draw = [&](Window& w, Point at) {
        if (!w.visible_) return;
        DeviceContext& dc = picture->DC();
        dc.SetOrigin({0, 0});
        dc.ResetClip();
        dc.DrawBitmap(at.x, at.y, *w.buffer_, w.Client());
        for (const auto& [h, child] : windows_)
            if (child->parent_ == w.handle_) draw(*child, {at.x + child->bounds_.left, at.y + child->bounds_.top});
    };
    draw(*root, {0, 0});
    return picture;
}

HeadlessBackend::Pixels HeadlessBackend::CapturePixels(uintptr_t handle) {
    auto picture = Capture(handle);
    if (!picture) return {};
    Pixels out{picture->Width(), picture->Height(), {}};
    out.words.resize(static_cast<size_t>(out.width) * out.height);
    // Rows bottom-up, blue green red alpha: top-down 0x00RRGGBB.
    const uint8_t* bits = picture->Bits();
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = bits + static_cast<size_t>(out.height - 1 - y) * out.width * 4;
        uint32_t* word = out.words.data() + static_cast<size_t>(y) * out.width;
        for (int x = 0; x < out.width; ++x)
            word[x] = static_cast<uint32_t>(row[4 * x]) | static_cast<uint32_t>(row[4 * x + 1]) << 8 |
                      static_cast<uint32_t>(row[4 * x + 2]) << 16;
    }
    return out;
}

HeadlessBackend::Window* HeadlessBackend::Target(uintptr_t window, Point& p) {
    Window* w = Find(window);
    if (!w) return nullptr;
    if (capture_ && capture_ != window) {
        // Into the capturing window's coordinates, through the common screen.
        auto screen = [&](Window* x) {
            Point o{};
            for (; x; x = Find(x->parent_)) {
                o.x += x->bounds_.left;
                o.y += x->bounds_.top;
            }
            return o;
        };
        Window* c = Find(capture_);
        const Point from = screen(w), to = screen(c);
        p = {p.x + from.x - to.x, p.y + from.y - to.y};
        return c;
    }
    if (capture_) return w;
    for (bool descended = true; descended;) {
        descended = false;
        Window* top = nullptr;
        for (const auto& [h, child] : windows_)
            if (child->parent_ == w->handle_ && child->visible_ && child->bounds_.Contains(p)) top = child;
        if (top) {
            p = {p.x - top->bounds_.left, p.y - top->bounds_.top};
            w = top;
            descended = true;
        }
    }
    return w;
}

ShiftState HeadlessBackend::Shift() const { return keys_ | buttons_; }

namespace {

ShiftState ButtonBit(MouseButton button) {
    switch (button) {
    case MouseButton::Left: return ssLeft;
    case MouseButton::Right: return ssRight;
    case MouseButton::Middle: return ssMiddle;
    }
    return 0;
}

}  // namespace

void HeadlessBackend::MouseDown(uintptr_t window, MouseButton button, Point p) {
    Window* w = Target(window, p);
    if (!w) return;
    buttons_ |= ButtonBit(button);
    w->events_.NativeMouseDown(button, Shift(), p);
}

void HeadlessBackend::MouseMove(uintptr_t window, Point p) {
    Window* w = Target(window, p);
    if (!w) return;
    if (!capture_ && pointerIn_ != w->handle_) {
        if (Window* old = Find(pointerIn_)) old->events_.NativeMouseLeave();
        pointerIn_ = w->handle_;
    }
    w->events_.NativeMouseMove(Shift(), p);
}

void HeadlessBackend::MouseWheel(uintptr_t window, Point p, int delta) {
    Window* w = Target(window, p);
    if (!w) return;
    w->events_.NativeMouseWheel(delta, Shift(), p);
}

void HeadlessBackend::MouseUp(uintptr_t window, MouseButton button, Point p) {
    Window* w = Target(window, p);
    if (!w) return;
    buttons_ &= ~ButtonBit(button);
    w->events_.NativeMouseUp(button, Shift(), p);
}

void HeadlessBackend::MouseOut() {
    if (capture_) return;
    if (Window* old = Find(pointerIn_)) old->events_.NativeMouseLeave();
    pointerIn_ = 0;
}

void HeadlessBackend::SetFocusTo(uintptr_t handle) {
    if (handle == focus_) return;
    Window* old = Find(focus_);
    focus_ = handle;
    if (old) old->events_.NativeFocus(false);
    if (Window* w = Find(handle)) w->events_.NativeFocus(true);
}

void HeadlessBackend::KeyDown(Key key) {
    if (Window* w = Find(focus_)) w->events_.NativeKeyDown(key, keys_);
}

void HeadlessBackend::KeyPress(char character) {
    if (Window* w = Find(focus_)) w->events_.NativeKeyPress(character);
}

void HeadlessBackend::KeyUp(Key key) {
    if (Window* w = Find(focus_)) w->events_.NativeKeyUp(key, keys_);
}

unsigned HeadlessBackend::DialogCode(uintptr_t window) {
    Window* w = Find(window);
    return w ? w->events_.NativeDialogCode() : 0;
}

Cursor HeadlessBackend::CursorAt(uintptr_t window, Point p) {
    Window* w = Target(window, p);
    return w ? w->events_.NativeCursorAt(p) : Cursor::Arrow;
}

void HeadlessBackend::AdvanceClock(unsigned ms) {
    const uint64_t end = now_ + ms;
    while (true) {
        std::shared_ptr<TimerSlot> next;
        for (const auto& slot : timers_)
            if (slot->alive && slot->due <= end &&
                (!next || slot->due < next->due || (slot->due == next->due && slot->order < next->order)))
                next = slot;
        if (!next) break;
        now_ = next->due;
        next->due += next->interval;
        next->tick();
    }
    now_ = end;
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [](const auto& s) { return !s->alive; }),
                  timers_.end());
}

}  // namespace platform
