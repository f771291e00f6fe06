// Vst3View: the editor as a VST3 host embeds it. The controller makes one for
// each createView("editor"); the host attaches it to its window (an X11
// window id on Linux, an HWND on Windows), sizes its frame from getSize, and
// removes and releases it when the user closes the editor. Behind it is the
// effect's editor glue, the same editor the VST 2 and CLAP builds show.
//
// Sizes: the glue's rectangle, at the editor's size step. The host's content
// scale (Windows) is the editor's size hint before the window opens; on
// Linux the editor picks its own size (the user's choice, the screen's
// density). A size the user picks while the window is open is asked of the
// host's frame (resizeView); the host grants it with onSize, and a refusal
// keeps the old size. The user cannot drag the frame to other sizes.
//
// Idle: on Linux through the host's run loop, which the frame answers: a
// timer at about 30 Hz, and a handler on the editor's X connection that runs
// as soon as events arrive. On Windows, where the host gives views no idle
// calls, a thread timer of the view's own. Neither ever waits.
//
// The view keeps the effect alive while it exists. User-interface thread
// only.
#pragma once

#include <atomic>
#include <cstdint>

#include "vst3/Vst3ViewInterface.h"

namespace trv4 {

class EditorGlue;
class Vst3Effect;

class Vst3View final : public vst3::IPlugView,
                       public vst3::IPlugViewContentScaleSupport,
                       public vst3::IEventHandler,
                       public vst3::ITimerHandler {
public:
    // The idle period: about 30 Hz, as the VST 2 hosts' idle calls come.
    static constexpr vst3::uint64 kIdlePeriodMs = 33;

    explicit Vst3View(Vst3Effect& effect);
    ~Vst3View();
    Vst3View(const Vst3View&) = delete;
    Vst3View& operator=(const Vst3View&) = delete;

    // FUnknown
    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override;
    vst3::uint32 VST3_CALL release() override;

    // IPlugView
    vst3::tresult VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult VST3_CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult VST3_CALL removed() override;
    vst3::tresult VST3_CALL onWheel(float distance) override;
    vst3::tresult VST3_CALL onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_CALL onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult VST3_CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult VST3_CALL onFocus(vst3::TBool state) override;
    vst3::tresult VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult VST3_CALL canResize() override;
    vst3::tresult VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;

    // IPlugViewContentScaleSupport
    vst3::tresult VST3_CALL setContentScaleFactor(float factor) override;

    // IEventHandler, ITimerHandler: the host's run loop idles the editor.
    void VST3_CALL onFDIsSet(int fd) override;
    void VST3_CALL onTimer() override;

    // The open editor would like to be width x height: asks the host's
    // frame, true when it made room (answered resizeView with success or
    // granted the size through onSize in the same call).
    bool requestSize(int width, int height);

private:
    // Starts and stops the idle calls of the open editor.
    void startIdle();
    void stopIdle();
    void idle();
    // The glue's rectangle as width and height.
    bool currentSize(int& width, int& height) const;

    std::atomic<vst3::uint32> refCount_{1};
    Vst3Effect& effect_;
    EditorGlue& glue_;
    vst3::IPlugFrame* frame_ = nullptr;
    vst3::IRunLoop* runLoop_ = nullptr;
    bool attached_ = false;
    bool timerOn_ = false;    // registered with runLoop_
    bool handlerOn_ = false;  // registered with runLoop_
    uintptr_t ownTimer_ = 0;  // Windows: the thread timer's id
    // A size asked of the frame and not yet answered, and whether the host
    // granted it through onSize.
    bool requesting_ = false;
    int requestedWidth_ = 0;
    int requestedHeight_ = 0;
    bool granted_ = false;
};

}  // namespace trv4
