// The window trv4 edit gives a plug-in's editor: a top-level window of the
// host with a fixed client size, whose native handle (an X11 window id on
// Linux, an HWND on Windows) is the parent passed with effEditOpen. Also
// catches Ctrl-C, so that the edit loop can close the editor before it ends.
//
// Main thread only (the host's user-interface thread), except the Ctrl-C
// flag, which the system sets from wherever it delivers the signal.
#pragma once

#include <memory>
#include <string>

namespace trv4tool {

class HostWindow {
public:
    // A visible window of width x height client pixels at (left, top) of the
    // screen (a window manager may place it elsewhere). Null with a one-line
    // reason when there is no window system to open it on.
    static std::unique_ptr<HostWindow> open(const std::string& title, int left, int top, int width, int height,
                                            std::string& error);
    virtual ~HostWindow() = default;

    // What effEditOpen gets as its parent.
    virtual void* handle() const = 0;
    virtual void resize(int width, int height) = 0;
    // Handles every pending event of the window (and, on Windows, of the
    // thread, so the editor's own windows get theirs). False once the user
    // has closed the window or something destroyed it.
    virtual bool pump() = 0;
    // The screen position of the client area's top-left pixel.
    virtual void screenOrigin(int& x, int& y) const = 0;
};

// From now on Ctrl-C (and SIGTERM on Linux) only sets the flag below.
void catchInterrupt();
bool interrupted();

}  // namespace trv4tool
