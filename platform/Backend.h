// What a window system provides to the framework: native windows with their
// messages, timers, keyboard state and the system services. One backend per
// window system: Win32 (the Windows DLLs), X11 (the Linux .so) and headless
// (tests and picture rendering).
//
// A backend object serves the windows it created; the Win32 one relies on
// the host's message loop, the X11 one on ProcessEvents from the host's idle
// calls, the headless one on the test. Window thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "platform/Input.h"
#include "platform/PixelScale.h"

namespace platform {

// The receiver of one native window's messages (a windowed control).
// Coordinates are in the window's client area. The backends never let an
// exception out of these calls reach the system.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // paintRect: the update rectangle of the begin-paint; with carriesDC the
    // message brought its own context and paintRect is its clip box.
    virtual void NativePaint(DeviceContext& dc, const Rect& paintRect, bool carriesDC) = 0;
    virtual void NativeMouseDown(MouseButton button, ShiftState shift, Point p) = 0;
    virtual void NativeMouseMove(ShiftState shift, Point p) = 0;
    virtual void NativeMouseUp(MouseButton button, ShiftState shift, Point p) = 0;
    // The pointer left the window (not sent while the window holds the capture).
    virtual void NativeMouseLeave() = 0;
    // The mouse wheel with the pointer at p: delta in Windows units (120 per
    // notch, positive away from the user).
    virtual void NativeMouseWheel(int delta, ShiftState shift, Point p) {}
    virtual void NativeKeyDown(Key key, ShiftState shift) = 0;
    virtual void NativeKeyPress(char character) = 0;
    virtual void NativeKeyUp(Key key, ShiftState shift) = 0;
    virtual unsigned NativeDialogCode() = 0;
    virtual Cursor NativeCursorAt(Point p) = 0;
    virtual void NativeFocus(bool gained) = 0;
    // The window moved to a screen of another density (Windows:
    // WM_DPICHANGED_AFTERPARENT): dpi dots per inch, 96 at 100 %.
    virtual void NativeDpiChanged(int dpi) {}
};

class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // HWND or X11 window id: the parent handle for windows inside this one.
    virtual uintptr_t Handle() const = 0;
    virtual void SetBounds(const Rect& bounds) = 0;  // in the parent's client area
    virtual void Show(bool visible) = 0;
    // Adds the rectangle (client coordinates) to the update region; erase
    // asks for a background erase, which every window of ours suppresses.
    virtual void Invalidate(const Rect& rect, bool erase) = 0;
    virtual void Validate(const Rect& rect) = 0;
    // Paints a pending update region now.
    virtual void Update() = 0;
    virtual void SetFocus() = 0;
    virtual bool Focused() const = 0;
    virtual void SetCapture(bool capture) = 0;
};

// A running system timer; destroying it stops it.
class NativeTimer {
public:
    virtual ~NativeTimer() = default;
};

class Services {
public:
    virtual ~Services() = default;
    // Opens a web address or a document with its associated program; verb is
    // empty for the default action or "open". Failures are not reported.
    virtual void OpenDocument(uintptr_t owner, const std::string& verb, const std::string& file) = 0;
    // A string value under a key of the machine-wide settings (the registry's
    // HKEY_LOCAL_MACHINE on Windows; INI files elsewhere). False when the key
    // cannot be opened; a missing value reads as empty. A value that is not
    // text raises SettingError "Invalid data type for 'name'".
    virtual bool ReadSetting(const std::string& key, const std::string& name, std::string& text) = 0;
    // A message box with one OK button. Win32: modal, returns when it is
    // closed. X11: returns at once; the box stands until closed, driven by
    // the backend's ProcessEvents (a Linux host's idle must not block).
    // Headless: recorded.
    virtual void ShowMessage(uintptr_t owner, const std::string& caption, const std::string& text) = 0;
    virtual uint64_t PerformanceCounter() = 0;
    virtual uint64_t PerformanceFrequency() = 0;
    virtual uint32_t TickCount() = 0;  // milliseconds
};

class SettingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Backend {
public:
    virtual ~Backend() = default;
    // A visible, borderless child window of parent (a host's window handle
    // or another native window's Handle()).
    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(uintptr_t parent, const Rect& bounds,
                                                             WindowEvents& events) = 0;
    // Calls tick every intervalMs milliseconds (at least 1) from the window
    // thread. Raises SystemError when the system has no timer to give.
    virtual std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, std::function<void()> tick) = 0;
    // Shift, Ctrl and Alt as they are now.
    virtual ShiftState KeyboardState() = 0;
    // Handles pending window events and due timers (X11: from the host's
    // idle calls); nothing to do where the system delivers them itself.
    virtual void ProcessEvents() = 0;
    // The file descriptor this backend's events arrive on (X11: its display
    // connection), for hosts that wait on it and idle us when it is
    // readable; -1 where the system delivers events itself or there is none.
    virtual int EventSource() const { return -1; }
    virtual Services& System() = 0;
    // A popup menu of captions at p (client coordinates of owner, one of our
    // windows, physical pixels), item checked (-1: none) marked. chosen gets
    // the index of the item the user picks, on the window thread; a menu
    // dismissed calls nothing. scale: the owner's magnification, which a
    // menu drawn by us takes too. Win32: the system's menu (sized for the
    // host's DPI), modal, returns when the menu closes. X11: returns at
    // once; the menu is driven by ProcessEvents. Headless: recorded, tests
    // pick an item.
    virtual void ShowPopupMenu(uintptr_t owner, Point p, const std::vector<std::string>& items, int checked,
                               PixelScale scale, std::function<void(int)> chosen) = 0;
};

// The backend of the window system this binary was built for (defined by
// trv4_platform_win32 and trv4_platform_x11). The X11 one opens its own
// display connection and raises SystemError when it cannot.
std::unique_ptr<Backend> CreateNativeBackend();

}  // namespace platform
