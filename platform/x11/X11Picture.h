// A picture drawn with our device context and shown in one X window of our
// own (the message box, the popup menu): the DIB section to draw in, its
// rows turned top-down for the server, and the copy on each expose.
// Window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/DibSection.h"

struct _XDisplay;
struct _XGC;
struct _XImage;

namespace platform {

class X11Picture {
public:
    // Raises SystemError when the server has no room for it.
    X11Picture(_XDisplay* display, unsigned long window, int width, int height);
    ~X11Picture();
    X11Picture(const X11Picture&) = delete;
    X11Picture& operator=(const X11Picture&) = delete;

    DeviceContext& DC() { return dib_->DC(); }
    // Takes what was drawn and copies it to the window.
    void Show();
    // Copies the last picture taken to the window again (an expose).
    void Put();

private:
    _XDisplay* display_;
    unsigned long window_;
    int width_, height_;
    std::unique_ptr<DibSection> dib_;
    std::vector<uint8_t> rows_;
    _XGC* gc_ = nullptr;
    _XImage* image_ = nullptr;
};

}  // namespace platform
