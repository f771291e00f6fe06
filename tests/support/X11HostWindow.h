// A host's top-level X11 window on a connection of its own, for tests that
// embed an editor in it: the editor windows inside it, and the exposure the
// server sends a window when one over it goes away.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace trv4test {

class X11HostWindow {
public:
    X11HostWindow() : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, 800, 600, 0, 0,
                                      BlackPixel(display_, screen));
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~X11HostWindow() {
        if (display_) XCloseDisplay(display_);
    }
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    bool exists() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    ::Window window() const { return window_; }
    void* handle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window_)); }

    // Sends the first child window an exposure of its whole 100 per cent
    // area; whoever draws the child receives it.
    void exposeChild() const {
        ::Window root = 0, up = 0, *list = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, window_, &root, &up, &list, &count)) return;
        if (count > 0) {
            XEvent e{};
            e.xexpose.type = Expose;
            e.xexpose.window = list[0];
            e.xexpose.width = 755;
            e.xexpose.height = 370;
            XSendEvent(display_, list[0], False, ExposureMask, &e);
        }
        if (list) XFree(list);
        XFlush(display_);
    }

    // The sizes of the viewable child windows.
    std::vector<std::pair<int, int>> children() const {
        XSync(display_, False);
        ::Window root = 0, up = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<std::pair<int, int>> sizes;
        if (!XQueryTree(display_, window_, &root, &up, &list, &count)) return sizes;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(display_, list[i], &a) && a.map_state == IsViewable)
                sizes.emplace_back(a.width, a.height);
        }
        if (list) XFree(list);
        return sizes;
    }

private:
    Display* display_ = nullptr;
    ::Window window_ = 0;
};

}  // namespace trv4test
