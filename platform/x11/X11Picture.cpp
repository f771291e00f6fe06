#include "platform/x11/X11Picture.h"

#include <cstring>

#include "platform/SystemError.h"

// Xlib last: its macros (Bool, None, True) must not meet our headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

X11Picture::X11Picture(Display* display, unsigned long window, int width, int height)
    : display_(display),
      window_(window),
      width_(width),
      height_(height),
      dib_(DibSection::Create(width, height)),
      rows_(static_cast<size_t>(width) * height * 4) {
    const int screen = DefaultScreen(display);
    gc_ = XCreateGC(display, window, 0, nullptr);
    image_ = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap, 0,
                          reinterpret_cast<char*>(rows_.data()), width, height, 32, width * 4);
    if (!gc_ || !image_) {
        if (gc_) XFreeGC(display, gc_);
        throw SystemError(0, "the X server refused a picture");
    }
}

X11Picture::~X11Picture() {
    image_->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image_);
    XFreeGC(display_, gc_);
}

void X11Picture::Show() {
    // The section's rows run bottom-up, the server's top-down.
    const size_t stride = static_cast<size_t>(width_) * 4;
    for (int row = 0; row < height_; ++row)
        std::memcpy(rows_.data() + row * stride, dib_->Bits() + static_cast<size_t>(height_ - 1 - row) * stride,
                    stride);
    Put();
}

void X11Picture::Put() {
    XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, static_cast<unsigned>(width_),
              static_cast<unsigned>(height_));
}

}  // namespace platform
