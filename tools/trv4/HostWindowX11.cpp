// trv4 edit's host window on Linux: a plain top-level X11 window on a
// display connection of trv4's own; the plug-in opens its own connection and
// makes its editor a child of this window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <csignal>

#include "tools/trv4/HostWindow.h"

namespace trv4tool {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

// Xlib's default handler ends the process. A host must outlive the errors a
// plug-in's editor provokes (its windows vanish with a destroyed parent), so
// every error is ignored; a plug-in chains to this handler for displays that
// are not its own.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

class X11HostWindow final : public HostWindow {
public:
    X11HostWindow(Display* display, ::Window window) : display_(display), window_(window) {
        deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteAtom_, 1);
    }

    ~X11HostWindow() override {
        if (!destroyed_) XDestroyWindow(display_, window_);
        XSync(display_, False);
        // A plug-in may have put its handler in front of ours and then been
        // unloaded: make ours the one that runs again.
        XSetErrorHandler(&ignoreXError);
        XCloseDisplay(display_);
    }

    void* handle() const override { return reinterpret_cast<void*>(static_cast<uintptr_t>(window_)); }

    void resize(int width, int height) override {
        if (destroyed_ || width <= 0 || height <= 0) return;
        fixSize(width, height);
        XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(display_, False);
    }

    bool pump() override {
        while (!destroyed_ && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == window_) destroyed_ = true;
            if (event.type == ClientMessage && event.xclient.window == window_ &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom_)
                closed_ = true;
        }
        return !closed_ && !destroyed_;
    }

    void screenOrigin(int& x, int& y) const override {
        x = y = 0;
        if (destroyed_) return;
        ::Window child = 0;
        XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    }

    void fixSize(int width, int height) {
        XSizeHints* hints = XAllocSizeHints();
        if (!hints) return;
        hints->flags = PMinSize | PMaxSize | USPosition;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display_, window_, hints);
        XFree(hints);
    }

private:
    Display* display_;
    ::Window window_;
    Atom deleteAtom_ = 0;
    bool closed_ = false;
    bool destroyed_ = false;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::open(const std::string& title, int left, int top, int width, int height,
                                             std::string& error) {
    XSetErrorHandler(&ignoreXError);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    const int screen = DefaultScreen(display);
    ::Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), left, top, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, title.c_str());
    XSelectInput(display, window, StructureNotifyMask);
    auto host = std::make_unique<X11HostWindow>(display, window);
    host->fixSize(width, height);
    XMapWindow(display, window);
    // Mapped before the plug-in sees it: its own connection must find the
    // window, and a child of an unmapped window would not show.
    XEvent event;
    for (int tries = 0; tries < 200 && !XCheckTypedWindowEvent(display, window, MapNotify, &event); ++tries) {
        XSync(display, False);
        usleep(10000);
    }
    return host;
}

void catchInterrupt() {
    struct sigaction action = {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() { return gInterrupted != 0; }

}  // namespace trv4tool
