// The X11 backend: our own display connection (hosts drive Linux editors
// only through idle calls, so ProcessEvents, called from there, drains the
// connection's queue, fires due timers and paints). Windows are plain child
// windows of the host's window (no XEmbed) with a pixel back buffer each;
// paints draw into the buffer and copy the update rectangle to the window.
// X errors on our connection (a host window already gone) are ignored
// instead of ending the process. Message boxes (X11MessageBox) and the popup
// menu (X11PopupMenu) belong to the backend too and are driven by the same
// ProcessEvents.
//
// Window thread only. Free every window (form) before the backend.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/PolledTimer.h"

// Xlib's types, without its macros (Bool, True, None) in our headers.
struct _XDisplay;
union _XEvent;

namespace platform {

class X11MessageBox;
class X11PopupMenu;
class X11Window;

class X11Backend : public Backend {
public:
    // Raises SystemError when the display cannot be opened.
    X11Backend();
    ~X11Backend() override;

    std::unique_ptr<NativeWindow> CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                     WindowEvents& events) override;
    std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, std::function<void()> tick) override;
    ShiftState KeyboardState() override;
    void ProcessEvents() override;
    // The display connection's socket.
    int EventSource() const override;
    Services& System() override;
    // Replaces a menu that still stands.
    void ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked, PixelScale scale,
                       std::function<void(int)> chosen) override;

    _XDisplay* Connection() const { return display_; }
    // Paints every window with a pending update now.
    void PaintPending();
    // Opens an information box and returns at once; a box with the same
    // caption and text that still stands is raised instead.
    void OpenMessageBox(uintptr_t owner, const std::string& caption, const std::string& text);
    // The boxes that stand (closed ones go at the end of ProcessEvents).
    const std::vector<std::unique_ptr<X11MessageBox>>& MessageBoxes() const { return boxes_; }

private:
    friend class X11Window;
    using TimerSlot = PolledTimerSlot;

    void Dispatch(_XEvent& event);

    _XDisplay* display_ = nullptr;
    std::map<unsigned long, X11Window*> windows_;
    std::vector<std::shared_ptr<TimerSlot>> timers_;
    std::vector<std::unique_ptr<X11MessageBox>> boxes_;
    std::unique_ptr<X11PopupMenu> menu_;
    std::function<void(int)> menuChosen_;
    std::unique_ptr<Services> services_;
    unsigned long arrow_ = 0;  // cursors
    unsigned long hand_ = 0;
};

}  // namespace platform
