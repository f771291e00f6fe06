// The modal information box of the X11 backend: a small top-level window of
// our own with the text in lines (each carriage return or line feed starts
// a new one) and an OK button, drawn with the built-in face.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "platform/DibSection.h"
#include "platform/Label.h"
#include "platform/x11/LinuxServices.h"

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

}  // namespace

void RunMessageBox(Display* display, unsigned long owner, const std::string& caption, const std::string& text) {
    const Font font{"Arial", -12, clBlack};
    const std::vector<std::string> lines = Lines(text);
    const int lineHeight = MeasureText("Ag", font).height;
    int textWidth = 0;
    for (const std::string& l : lines) textWidth = std::max(textWidth, MeasureText(l, font).width);
    const int width = std::max(220, textWidth + 48), height = static_cast<int>(lines.size()) * lineHeight + 76;
    const Rect button{width / 2 - 38, height - 40, width / 2 + 37, height - 17};

    const int screen = DefaultScreen(display);
    const int x = (DisplayWidth(display, screen) - width) / 2, y = (DisplayHeight(display, screen) - height) / 3;
    ::Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
                                          static_cast<unsigned>(height), 0, 0, 0);
    XSelectInput(display, window, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
    XStoreName(display, window, caption.c_str());
    if (owner) XSetTransientForHint(display, window, static_cast<::Window>(owner));
    Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &closeAtom, 1);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    GC gc = XCreateGC(display, window, 0, nullptr);

    // Draw once into a buffer, then copy it on each expose.
    auto picture = DibSection::Create(width, height);
    DeviceContext& dc = picture->DC();
    dc.FillRect({0, 0, width, height}, RGBColor(240, 240, 240));
    for (size_t i = 0; i < lines.size(); ++i) dc.DrawString(24, 20 + static_cast<int>(i) * lineHeight, lines[i], font);
    dc.FillRect(button, RGBColor(112, 112, 112));
    dc.FillRect({button.left + 1, button.top + 1, button.right - 1, button.bottom - 1}, RGBColor(225, 225, 225));
    const Size ok = MeasureText("OK", font);
    dc.DrawString(button.left + (button.Width() - ok.width) / 2, button.top + (button.Height() - ok.height) / 2, "OK", font);
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row)
        std::memcpy(rows.data() + static_cast<size_t>(row) * width * 4,
                    picture->Bits() + static_cast<size_t>(height - 1 - row) * width * 4, static_cast<size_t>(width) * 4);
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap, 0,
                                 reinterpret_cast<char*>(rows.data()), width, height, 32, width * 4);

    XMapRaised(display, window);
    XFlush(display);
    bool pressedOnButton = false;
    for (bool done = false; !done;) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.xany.window != window) continue;  // modal: our other windows wait
        switch (e.type) {
        case Expose:
            XPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
            break;
        case ButtonPress: pressedOnButton = button.Contains({e.xbutton.x, e.xbutton.y}); break;
        case ButtonRelease: done = pressedOnButton && button.Contains({e.xbutton.x, e.xbutton.y}); break;
        case KeyPress: {
            const KeySym sym = XLookupKeysym(&e.xkey, 0);
            done = sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space;
            break;
        }
        case ClientMessage: done = static_cast<Atom>(e.xclient.data.l[0]) == closeAtom; break;
        case DestroyNotify: done = true; break;
        default: break;
        }
    }
    image->data = nullptr;
    XDestroyImage(image);
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XFlush(display);
}

}  // namespace platform
