// The VST3 editor interfaces as modules and hosts exchange them: the view a
// controller creates, the frame the host gives it to ask for another size,
// the host's content scale, and on Linux the host's run loop (timers and
// file descriptors on the host's user-interface thread). Written from the
// published interface description; virtual tables in declaration order.
#pragma once

#include "vst3/Vst3Interface.h"

namespace vst3 {

// A view's rectangle in the parent's pixels.
struct ViewRect {
    int32 left = 0;
    int32 top = 0;
    int32 right = 0;
    int32 bottom = 0;
    int32 width() const { return right - left; }
    int32 height() const { return bottom - top; }
};

// The kinds of parent window attached() passes.
inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

class IPlugFrame;

// The plug-in's editor, as the host embeds it: created by the controller,
// attached to a parent window, sized, removed, released.
class IPlugView : public FUnknown {
public:
    virtual tresult VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult VST3_CALL removed() = 0;
    virtual tresult VST3_CALL onWheel(float distance) = 0;
    virtual tresult VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult VST3_CALL getSize(ViewRect* size) = 0;
    virtual tresult VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult VST3_CALL onFocus(TBool state) = 0;
    virtual tresult VST3_CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult VST3_CALL canResize() = 0;
    virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;
    static constexpr Uid iid = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
};

// The host's side of a view: the view asks for a new size here, and the host
// answers (in the same call, when it agrees) with onSize.
class IPlugFrame : public FUnknown {
public:
    virtual tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
    static constexpr Uid iid = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
};

// The host's scale of the view's content (1.0 = 100 per cent), on the
// platforms where the host, not the view, knows the screen's density.
class IPlugViewContentScaleSupport : public FUnknown {
public:
    virtual tresult VST3_CALL setContentScaleFactor(float factor) = 0;
    static constexpr Uid iid = makeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
};

// Linux: the host's run loop, which the frame also answers. A view registers
// a handler for a file descriptor (called on the host's user-interface thread
// when it is readable) and timers (called every interval until removed).
class IEventHandler : public FUnknown {
public:
    virtual void VST3_CALL onFDIsSet(int fd) = 0;
    static constexpr Uid iid = makeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
};

class ITimerHandler : public FUnknown {
public:
    virtual void VST3_CALL onTimer() = 0;
    static constexpr Uid iid = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
};

class IRunLoop : public FUnknown {
public:
    virtual tresult VST3_CALL registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult VST3_CALL registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
    virtual tresult VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;
    static constexpr Uid iid = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
};

static_assert(sizeof(ViewRect) == 16);

}  // namespace vst3
