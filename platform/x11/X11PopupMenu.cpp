#include "platform/x11/X11PopupMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Colors.h"
#include "platform/DibSection.h"
#include "platform/Label.h"
#include "platform/SystemError.h"
#include "platform/x11/X11Picture.h"

// Xlib last: its macros (Bool, None, True) must not meet our headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// The sizes at 100 %.
constexpr int kFontHeight = 12;
constexpr int kMarkWidth = 22;  // the check mark's column
constexpr int kMarkSize = 6;
constexpr int kTextPad = 8, kRightPad = 24;
constexpr int kBorder = 1;

int Scaled(PixelScale scale, int v) { return static_cast<int>(std::lround(scale.Length(v))); }

Font MenuFont(PixelScale scale) { return Font{"Arial", -Scaled(scale, kFontHeight), clBlack}; }

}  // namespace

X11PopupMenu::X11PopupMenu(Display* display, unsigned long owner, Point at, const std::vector<std::string>& items,
                           int checked, PixelScale scale)
    : display_(display), items_(items), checked_(checked), scale_(scale) {
    const Font font = MenuFont(scale_);
    itemHeight_ = MeasureText("Ag", font).height + Scaled(scale_, kTextPad);
    int textWidth = 0;
    for (const std::string& item : items_) textWidth = std::max(textWidth, MeasureText(item, font).width);
    width_ = Scaled(scale_, kMarkWidth) + textWidth + Scaled(scale_, kRightPad);
    height_ = static_cast<int>(items_.size()) * itemHeight_ + 2 * kBorder;

    const int screen = DefaultScreen(display);
    const ::Window root = RootWindow(display, screen);
    int x = at.x, y = at.y;
    ::Window child = 0;
    XTranslateCoordinates(display, owner, root, at.x, at.y, &x, &y, &child);
    // Kept on the screen.
    x = std::max(0, std::min(x, DisplayWidth(display, screen) - width_));
    y = std::max(0, std::min(y, DisplayHeight(display, screen) - height_));

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    window_ = XCreateWindow(display, root, x, y, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                            CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    if (!window_) throw SystemError(0, "the X server refused a window");
    XSelectInput(
        display, window_,
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | StructureNotifyMask);
    picture_ = std::make_unique<X11Picture>(display, window_, width_, height_);
    Draw();
    XMapRaised(display, window_);
    // Every click and key comes here while the menu stands; where the grab
    // is refused (another client holds one) the menu still works by its own
    // events and Escape.
    XGrabPointer(display, window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, 0, 0, CurrentTime);
    XGrabKeyboard(display, window_, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XFlush(display);
}

X11PopupMenu::~X11PopupMenu() {
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
    picture_.reset();
    XDestroyWindow(display_, window_);
    XFlush(display_);
}

int X11PopupMenu::ItemAt(int x, int y) const {
    if (x < 0 || x >= width_ || y < kBorder || y >= height_ - kBorder) return -1;
    return (y - kBorder) / itemHeight_;
}

void X11PopupMenu::Draw() {
    DeviceContext& dc = picture_->DC();
    dc.FillRect({0, 0, width_, height_}, RGBColor(112, 112, 112));
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const Rect line{kBorder, kBorder + i * itemHeight_, width_ - kBorder, kBorder + (i + 1) * itemHeight_};
        const bool lit = i == lit_;
        dc.FillRect(line, lit ? RGBColor(51, 102, 170) : RGBColor(240, 240, 240));
        Font font = MenuFont(scale_);
        font.color = lit ? clWhite : clBlack;
        const int textTop = line.top + (itemHeight_ - MeasureText("Ag", font).height) / 2;
        const int markWidth = Scaled(scale_, kMarkWidth);
        if (i == checked_) {
            const int s = Scaled(scale_, kMarkSize), cx = line.left + markWidth / 2, cy = line.top + itemHeight_ / 2;
            dc.FillRect({cx - s / 2, cy - s / 2, cx + s / 2, cy + s / 2},
                        lit ? RGBColor(255, 255, 255) : RGBColor(0, 0, 0));
        }
        dc.DrawString(line.left + markWidth, textTop, items_[static_cast<size_t>(i)], font);
    }
    picture_->Show();
}

void X11PopupMenu::Close(int picked) {
    if (closed_) return;
    closed_ = true;
    picked_ = picked;
    XUnmapWindow(display_, window_);
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
    XFlush(display_);
}

void X11PopupMenu::Handle(XEvent& e) {
    if (closed_) return;
    switch (e.type) {
    case Expose: picture_->Put(); break;
    case MotionNotify: {
        const int item = ItemAt(e.xmotion.x, e.xmotion.y);
        if (item != lit_) {
            lit_ = item;
            Draw();
        }
        break;
    }
    case ButtonPress:
        if (ItemAt(e.xbutton.x, e.xbutton.y) < 0) Close(-1);
        break;
    case ButtonRelease:
        if (const int item = ItemAt(e.xbutton.x, e.xbutton.y); item >= 0) Close(item);
        break;
    case KeyPress:
        if (XLookupKeysym(&e.xkey, 0) == XK_Escape) Close(-1);
        break;
    case DestroyNotify: closed_ = true; break;
    default: break;
    }
}

}  // namespace platform
