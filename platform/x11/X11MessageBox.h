// The information box of the X11 backend: a small top-level window of our
// own with the text in lines (each carriage return or line feed starts a
// new one) and an OK button, drawn once with the built-in face.
//
// It does not hold the thread. A Linux host calls the editor only from its
// own event loop (idle, mouse); a box with a loop of its own inside one of
// those calls would stop the host's windows from repainting for as long as
// it stands. So the box lives in the backend, its events arrive through
// X11Backend::ProcessEvents (the editor's idle), and it closes on OK,
// Enter, Escape, Space or the window manager's close button
// (WM_DELETE_WINDOW). Window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"

struct _XDisplay;
union _XEvent;

namespace platform {

class X11Picture;

class X11MessageBox {
public:
    // owner: a window of ours or the host's; the box stays above its
    // top-level window. Raises SystemError when the server refuses a window.
    X11MessageBox(_XDisplay* display, unsigned long owner, const std::string& caption, const std::string& text);
    ~X11MessageBox();
    X11MessageBox(const X11MessageBox&) = delete;
    X11MessageBox& operator=(const X11MessageBox&) = delete;

    unsigned long Window() const { return window_; }
    const std::string& Caption() const { return caption_; }
    const std::string& Text() const { return text_; }
    bool Closed() const { return closed_; }
    // Brings the box to the front (a second request for the same box).
    void Raise();
    // One event for Window().
    void Handle(_XEvent& event);

private:
    _XDisplay* display_;
    std::string caption_, text_;
    unsigned long window_ = 0;
    unsigned long closeAtom_ = 0;
    std::unique_ptr<X11Picture> picture_;
    int width_ = 0, height_ = 0;
    Rect button_;
    bool pressedOnButton_ = false;
    bool closed_ = false;
};

}  // namespace platform
