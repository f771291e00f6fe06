// The popup menu of the X11 backend: a small override-redirect window of our
// own at the pointer, one line per item (the checked one marked), the item
// under the pointer lit, magnified with the window it belongs to. Like the message box it holds no loop of its own:
// its events arrive through X11Backend::ProcessEvents. It grabs the pointer
// and keyboard while it stands, so a click outside it or Escape dismisses
// it; a release on an item picks that item. Window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/PixelScale.h"

struct _XDisplay;
union _XEvent;

namespace platform {

class X11Picture;

class X11PopupMenu {
public:
    // at: client coordinates of owner (one of our windows); scale: the
    // owner's magnification. Raises SystemError when the server refuses a
    // window.
    X11PopupMenu(_XDisplay* display, unsigned long owner, Point at, const std::vector<std::string>& items, int checked,
                 PixelScale scale = {});
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    unsigned long Window() const { return window_; }
    bool Closed() const { return closed_; }
    // The item picked when it closed; -1 when it was dismissed.
    int Picked() const { return picked_; }
    void Handle(_XEvent& event);

private:
    // The item at a point of the window, or -1.
    int ItemAt(int x, int y) const;
    void Draw();
    void Close(int picked);

    _XDisplay* display_;
    std::vector<std::string> items_;
    int checked_;
    PixelScale scale_;
    unsigned long window_ = 0;
    std::unique_ptr<X11Picture> picture_;
    int width_ = 0, height_ = 0, itemHeight_ = 0;
    int lit_ = -1;
    int picked_ = -1;
    bool closed_ = false;
};

}  // namespace platform
