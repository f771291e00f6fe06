// The editor's test port: how a tool of ours (trv4 snapshot, trv4 validate,
// the tests) drives the editor of a loaded plug-in module without a window
// system. It is reached only through effVendorSpecific with both magic
// numbers below and a port record whose size field matches, so no host can
// reach it by accident. Once a plug-in object has handed out its port, its
// next effEditOpen builds the window on an in-process headless backend
// (parent window 0 allowed) instead of the native one; the port's calls then
// drive that window. Everything here is plain C data and C function
// pointers, so the record crosses the module boundary whatever compiled the
// caller.
//
// User-interface thread only (the thread that calls effEditOpen/effEditIdle).
#pragma once

#include <cstdint>

namespace trv4 {

// effVendorSpecific: index = kTestPortIndex, value = kTestPortValue,
// ptr = EditorTestPort* with size = sizeof(EditorTestPort); answers 1 and
// fills the record, or 0 and leaves it alone.
constexpr int32_t kTestPortIndex = 0x54723468;   // 'T' 'r' '4' 'h'
constexpr intptr_t kTestPortValue = 0x48656164;  // 'H' 'e' 'a' 'd'

// Mouse buttons of the port's calls.
enum : int { kPortLeft = 0, kPortRight = 1, kPortMiddle = 2 };
// Shift-state bits of setKeys (the platform's ShiftState values).
enum : unsigned { kPortShift = 1, kPortAlt = 2, kPortCtrl = 4 };
// Cursor answers of cursorAt.
enum : int { kPortCursorDefault = 0, kPortCursorArrow = 1, kPortCursorHandPoint = 2 };

// A control of the editor window as a test sees it.
struct EditorControlInfo {
    int32_t visible, enabled;
    int32_t left, top, width, height;
    int32_t position, min, max;  // dials only, else 0
    int32_t opacity;             // toolkit controls only, else 255
    char caption[32];            // labels only, else empty
};

struct EditorTestPort {
    uint32_t size;  // set by the caller to sizeof(EditorTestPort)
    void* context;  // the plug-in's; passed back to every call

    // Input in the editor window's client coordinates, in logical pixels
    // (those of the 100 % size, whatever size the editor has). Every call
    // first requires an open editor and answers 0 (does nothing) without one.
    int (*mouseDown)(void* context, int button, int x, int y);
    int (*mouseMove)(void* context, int x, int y);
    int (*mouseUp)(void* context, int button, int x, int y);
    // delta in Windows units: 120 per notch, positive away from the user.
    int (*mouseWheel)(void* context, int x, int y, int delta);
    // The keyboard state later input sees (kPortShift | kPortCtrl ...).
    int (*setKeys)(void* context, unsigned shiftState);
    // Moves the headless clock on; due timers fire (press auto-repeat).
    int (*advanceClock)(void* context, unsigned milliseconds);
    int (*cursorAt)(void* context, int x, int y);

    // Paints what is pending and copies the window's client area, top-down
    // 0x00RRGGBB, into pixels (width * height entries); answers 1 when the
    // window exists and its size (physical pixels, effEditGetRect's) is
    // width x height.
    int (*capture)(void* context, uint32_t* pixels, int width, int height);
    // The named control (component name of the form); 0 when there is none.
    int (*controlInfo)(void* context, const char* name, EditorControlInfo* out);

    // What the window asked of the system: shell calls (verb and file) and
    // message boxes (caption and text), oldest first. Answers 0 past the
    // end; texts are cut to the buffer size and always terminated.
    int (*shellCall)(void* context, int index, char* verb, int verbSize, char* file, int fileSize);
    int (*messageBox)(void* context, int index, char* caption, int captionSize, char* text, int textSize);
    // The machine-wide setting the headless backend answers (key, value
    // name, text); a null text removes it.
    int (*setSetting)(void* context, const char* key, const char* name, const char* text);

    // The last popup menu the window showed: item index's caption (0 past
    // the end or without one); chooseMenuItem picks an item of the menu
    // while it stands (1), as a user's click does.
    int (*menuItem)(void* context, int index, char* caption, int captionSize);
    int (*chooseMenuItem)(void* context, int index);
};

}  // namespace trv4
