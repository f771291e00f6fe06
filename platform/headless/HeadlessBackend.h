// The in-process backend: off-screen windows with pixel buffers, input that
// tests inject, a clock that tests advance, and shell calls, settings and
// message boxes recorded instead of performed. Used by the tests, the editor
// test port and the tools that take pictures of a form.
//
// Input goes where a window system would send it: to the window holding the
// capture, else to the innermost visible window under the point; points are
// in the client coordinates of the window named (usually the form's).
// Paint requests collect until PaintPending (or ProcessEvents, or a
// window's Update) paints them.
//
// One thread only: the test's.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/PolledTimer.h"
#include "platform/DibSection.h"

namespace platform {

class HeadlessBackend : public Backend {
public:
    struct Invalidation {
        Rect rect;
        bool erase;
    };
    struct ShellCall {
        uintptr_t owner;
        std::string verb;
        std::string file;
    };
    struct MessageRecord {
        uintptr_t owner;
        std::string caption;
        std::string text;
    };
    struct PopupMenuRecord {
        uintptr_t owner;
        Point at;
        std::vector<std::string> items;
        int checked;
        PixelScale scale;
    };
    class Window;

    HeadlessBackend();
    ~HeadlessBackend() override;

    std::unique_ptr<NativeWindow> CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                     WindowEvents& events) override;
    std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, std::function<void()> tick) override;
    ShiftState KeyboardState() override { return keys_; }
    void ProcessEvents() override { PaintPending(); }
    Services& System() override;
    void ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked, PixelScale scale,
                       std::function<void(int)> chosen) override;

    // Windows by handle (handles are small numbers from 1 on).
    Window* Find(uintptr_t handle) const;
    size_t WindowCount() const { return windows_.size(); }
    // The update rectangle a window would paint next (empty: none).
    Rect PendingUpdate(uintptr_t handle) const;
    // Every Invalidate call on the window since the last Take.
    std::vector<Invalidation> TakeInvalidations(uintptr_t handle);
    // The paint rectangles of the window's paints since the last Take.
    std::vector<Rect> TakePaints(uintptr_t handle);
    void PaintPending();
    // The window's client area with its visible child windows, as a screen
    // shows it.
    std::unique_ptr<DibSection> Capture(uintptr_t handle);
    // Capture as width * height words 0x00RRGGBB, top row first (the form
    // the test port hands out and PNG writers take); empty for a window
    // that does not exist.
    struct Pixels {
        int width = 0, height = 0;
        std::vector<uint32_t> words;
    };
    Pixels CapturePixels(uintptr_t handle);

    void SetKeyboardState(ShiftState keys) { keys_ = keys; }
    void MouseDown(uintptr_t window, MouseButton button, Point p);
    void MouseMove(uintptr_t window, Point p);
    void MouseUp(uintptr_t window, MouseButton button, Point p);
    // The wheel turned by delta (120 per notch, positive away from the user)
    // with the pointer at p.
    void MouseWheel(uintptr_t window, Point p, int delta);
    // The pointer leaves all our windows.
    void MouseOut();
    // Keys go to the focused window.
    void KeyDown(Key key);
    void KeyPress(char character);
    void KeyUp(Key key);
    unsigned DialogCode(uintptr_t window);
    // What a set-cursor request at p would show.
    Cursor CursorAt(uintptr_t window, Point p);
    uintptr_t FocusedWindow() const { return focus_; }
    uintptr_t CaptureWindow() const { return capture_; }

    // Fires the timers that fall due, in time order, as the clock moves on.
    void AdvanceClock(unsigned ms);
    uint64_t Now() const { return now_; }

    // Picks item index of the menu that stands (the last one shown, until
    // an item is picked or its window goes): false without one or for an
    // index past its end.
    bool ChooseMenuItem(int index);
    // Every menu shown, oldest first.
    std::vector<PopupMenuRecord> popupMenus;
    std::vector<ShellCall> shellCalls;
    std::vector<MessageRecord> messageBoxes;
    // "key\name" -> value; a key counts as present when any of its values is.
    std::map<std::string, std::string> settings;

private:
    friend class Window;
    using TimerSlot = PolledTimerSlot;
    class SystemServices;

    // The window that gets a pointer event at p of window, with p made local.
    Window* Target(uintptr_t window, Point& p);
    void SetFocusTo(uintptr_t handle);
    ShiftState Shift() const;

    std::map<uintptr_t, Window*> windows_;
    uintptr_t nextHandle_ = 1;
    uintptr_t focus_ = 0;
    uintptr_t capture_ = 0;
    uintptr_t pointerIn_ = 0;
    ShiftState keys_ = 0;
    ShiftState buttons_ = 0;
    uint64_t now_ = 0;
    std::vector<std::shared_ptr<TimerSlot>> timers_;
    std::unique_ptr<SystemServices> system_;
    std::function<void(int)> menuChosen_;
    size_t menuItems_ = 0;
    uintptr_t menuOwner_ = 0;
};

}  // namespace platform
