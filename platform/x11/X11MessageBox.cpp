#include "platform/x11/X11MessageBox.h"

#include <algorithm>
#include <cstring>

#include "platform/Colors.h"
#include "platform/DibSection.h"
#include "platform/Label.h"
#include "platform/SystemError.h"
#include "platform/x11/X11Picture.h"

// Xlib last: its macros (Bool, None, True) must not meet our headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace platform {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// The child of the root that holds window (the window itself when it is
// one): what window managers expect in WM_TRANSIENT_FOR.
::Window TopLevelOf(Display* display, ::Window window) {
    for (int depth = 0; window && depth < 64; ++depth) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root || !parent) return window;
        window = parent;
    }
    return 0;
}

}  // namespace

X11MessageBox::X11MessageBox(Display* display, unsigned long owner, const std::string& caption, const std::string& text)
    : display_(display), caption_(caption), text_(text) {
    const Font font{"Arial", -12, clBlack};
    const std::vector<std::string> lines = Lines(text);
    const int lineHeight = MeasureText("Ag", font).height;
    int textWidth = 0;
    for (const std::string& l : lines) textWidth = std::max(textWidth, MeasureText(l, font).width);
    width_ = std::max(220, textWidth + 48);
    height_ = static_cast<int>(lines.size()) * lineHeight + 76;
    button_ = {width_ / 2 - 38, height_ - 40, width_ / 2 + 37, height_ - 17};

    const int screen = DefaultScreen(display);
    const int x = (DisplayWidth(display, screen) - width_) / 2, y = (DisplayHeight(display, screen) - height_) / 3;
    window_ = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width_),
                                  static_cast<unsigned>(height_), 0, 0, 0);
    if (!window_) throw SystemError(0, "the X server refused a window");
    XSelectInput(display, window_,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
    XStoreName(display, window_, caption.c_str());
    if (const ::Window top = owner ? TopLevelOf(display, owner) : 0) XSetTransientForHint(display, window_, top);
    Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    closeAtom_ = closeAtom;
    XSetWMProtocols(display, window_, &closeAtom, 1);
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window_, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width_;
    hints.min_height = hints.max_height = height_;
    XSetWMNormalHints(display, window_, &hints);
    // Drawn once, then copied on each expose.
    picture_ = std::make_unique<X11Picture>(display, window_, width_, height_);
    DeviceContext& dc = picture_->DC();
    dc.FillRect({0, 0, width_, height_}, RGBColor(240, 240, 240));
    for (size_t i = 0; i < lines.size(); ++i) dc.DrawString(24, 20 + static_cast<int>(i) * lineHeight, lines[i], font);
    dc.FillRect(button_, RGBColor(112, 112, 112));
    dc.FillRect({button_.left + 1, button_.top + 1, button_.right - 1, button_.bottom - 1}, RGBColor(225, 225, 225));
    const Size ok = MeasureText("OK", font);
    dc.DrawString(button_.left + (button_.Width() - ok.width) / 2, button_.top + (button_.Height() - ok.height) / 2,
                  "OK", font);
    picture_->Show();

    XMapRaised(display, window_);
    XFlush(display);
}

X11MessageBox::~X11MessageBox() {
    picture_.reset();
    XDestroyWindow(display_, window_);
    XFlush(display_);
}

void X11MessageBox::Raise() {
    XMapRaised(display_, window_);
    XFlush(display_);
}

void X11MessageBox::Handle(XEvent& e) {
    switch (e.type) {
    case Expose: picture_->Put(); break;
    case ButtonPress:
        pressedOnButton_ = e.xbutton.button == Button1 && button_.Contains({e.xbutton.x, e.xbutton.y});
        break;
    case ButtonRelease:
        if (e.xbutton.button == Button1) {
            closed_ = closed_ || (pressedOnButton_ && button_.Contains({e.xbutton.x, e.xbutton.y}));
            pressedOnButton_ = false;
        }
        break;
    case KeyPress: {
        const KeySym sym = XLookupKeysym(&e.xkey, 0);
        if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space) closed_ = true;
        break;
    }
    case ClientMessage:
        if (static_cast<unsigned long>(e.xclient.data.l[0]) == closeAtom_) closed_ = true;
        break;
    case DestroyNotify: closed_ = true; break;
    default: break;
    }
}

}  // namespace platform
