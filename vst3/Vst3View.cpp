#include "vst3/Vst3View.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "editor/EditorFactory.h"
#include "vst3/Vst3Effect.h"

namespace trv4 {

namespace {

#if defined(_WIN32)
constexpr const char* kNativeType = vst3::kPlatformTypeHWND;

// The views whose thread timers run, by timer id: a thread timer's
// procedure gets only the id. User-interface thread only, like the views.
std::vector<std::pair<UINT_PTR, Vst3View*>>& timedViews() {
    static std::vector<std::pair<UINT_PTR, Vst3View*>> views;
    return views;
}

void CALLBACK timerTick(HWND, UINT, UINT_PTR id, DWORD) {
    for (const auto& [timer, view] : timedViews())
        if (timer == id) return view->onTimer();
}
#else
constexpr const char* kNativeType = vst3::kPlatformTypeX11EmbedWindowID;
#endif

bool isNativeType(vst3::FIDString type) { return type && std::strcmp(type, kNativeType) == 0; }

}  // namespace

Vst3View::Vst3View(Vst3Effect& effect) : effect_(effect), glue_(effect.editorGlue()) { effect_.addRef(); }

Vst3View::~Vst3View() {
    // A host that releases the view without removed() first: the window
    // and the idle calls go with it all the same.
    if (attached_) removed();
    setFrame(nullptr);
    effect_.release();
}

vst3::tresult VST3_CALL Vst3View::queryInterface(const char* iid, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    void* found = nullptr;
    if (vst3::FUnknown::iid == iid || vst3::IPlugView::iid == iid)
        found = static_cast<vst3::IPlugView*>(this);
    else if (vst3::IPlugViewContentScaleSupport::iid == iid)
        found = static_cast<vst3::IPlugViewContentScaleSupport*>(this);
    else if (vst3::IEventHandler::iid == iid)
        found = static_cast<vst3::IEventHandler*>(this);
    else if (vst3::ITimerHandler::iid == iid)
        found = static_cast<vst3::ITimerHandler*>(this);
    *obj = found;
    if (!found) return vst3::kNoInterface;
    addRef();
    return vst3::kResultOk;
}

vst3::uint32 VST3_CALL Vst3View::addRef() { return ++refCount_; }

vst3::uint32 VST3_CALL Vst3View::release() {
    const vst3::uint32 left = --refCount_;
    if (left == 0) delete this;
    return left;
}

vst3::tresult VST3_CALL Vst3View::isPlatformTypeSupported(vst3::FIDString type) {
    return isNativeType(type) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3View::attached(void* parent, vst3::FIDString type) {
    if (!isNativeType(type)) return vst3::kResultFalse;
    if (attached_) return vst3::kResultFalse;
    // One open editor an effect: a second view stays empty.
    if (!effect_.attachView(this)) return vst3::kResultFalse;
    int width = 0, height = 0;
    currentSize(width, height);
    if (!glue_.open(parent)) {
        effect_.detachView(this);
        return vst3::kResultFalse;
    }
    attached_ = true;
    // The window opens at the density of the host's screen, which may not
    // be the main screen's that getSize answered before: the frame is told.
    int openWidth = 0, openHeight = 0;
    if (currentSize(openWidth, openHeight) && (openWidth != width || openHeight != height))
        requestSize(openWidth, openHeight);
    startIdle();
    // The first idle at once: the window's requests leave for the server
    // and it shows at its size without waiting for a timer (the only idle
    // a host without a run loop gives).
    idle();
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3View::removed() {
    if (!attached_) return vst3::kResultFalse;
    stopIdle();
    glue_.close();
    effect_.detachView(this);
    attached_ = false;
    return vst3::kResultOk;
}

// Input reaches the editor through its own window; the host's copies of it
// are left to the host.
vst3::tresult VST3_CALL Vst3View::onWheel(float) { return vst3::kResultFalse; }

vst3::tresult VST3_CALL Vst3View::onKeyDown(vst3::char16, vst3::int16, vst3::int16) { return vst3::kResultFalse; }

vst3::tresult VST3_CALL Vst3View::onKeyUp(vst3::char16, vst3::int16, vst3::int16) { return vst3::kResultFalse; }

bool Vst3View::currentSize(int& width, int& height) const {
    vst::ERect* rect = nullptr;
    if (!glue_.getRect(&rect) || !rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

vst3::tresult VST3_CALL Vst3View::getSize(vst3::ViewRect* size) {
    int width = 0, height = 0;
    if (!size || !currentSize(width, height)) return vst3::kInvalidArgument;
    *size = {0, 0, width, height};
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3View::onSize(vst3::ViewRect* newSize) {
    if (!newSize) return vst3::kInvalidArgument;
    // The size asked for, granted within resizeView: the glue resizes the
    // window once the request returns.
    if (requesting_ && newSize->width() == requestedWidth_ && newSize->height() == requestedHeight_) {
        granted_ = true;
        return vst3::kResultOk;
    }
    // Otherwise only the size the editor has fits it.
    int width = 0, height = 0;
    return currentSize(width, height) && newSize->width() == width && newSize->height() == height ? vst3::kResultOk
                                                                                                  : vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3View::onFocus(vst3::TBool) { return vst3::kResultOk; }

vst3::tresult VST3_CALL Vst3View::setFrame(vst3::IPlugFrame* frame) {
    if (frame == frame_) return vst3::kResultOk;
    // The run loop belongs to the frame: the idle calls move with it.
    const bool idling = attached_;
    if (idling) stopIdle();
    if (runLoop_) runLoop_->release();
    runLoop_ = nullptr;
    if (frame) frame->addRef();
    if (frame_) frame_->release();
    frame_ = frame;
#if !defined(_WIN32)
    void* loop = nullptr;
    if (frame_ && frame_->queryInterface(vst3::IRunLoop::iid.bytes, &loop) == vst3::kResultOk)
        runLoop_ = static_cast<vst3::IRunLoop*>(loop);
#endif
    if (idling) startIdle();
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3View::canResize() { return vst3::kResultFalse; }

vst3::tresult VST3_CALL Vst3View::checkSizeConstraint(vst3::ViewRect* rect) {
    int width = 0, height = 0;
    if (!rect || !currentSize(width, height)) return vst3::kInvalidArgument;
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3View::setContentScaleFactor(float factor) {
#if defined(_WIN32)
    // The host knows the density of the screen its window is on: before the
    // window opens that is the editor's size hint, below the user's own
    // choice. An open window keeps its size and takes only the factor it
    // already has.
    if (glue_.vendorSpecific(kSizeHintIndex, kSizeHintValue, nullptr, factor) == 1) return vst3::kResultOk;
    return attached_ && std::isfinite(factor) && glue_.scalePercent() == std::lround(factor * 100.0f)
               ? vst3::kResultOk
               : vst3::kResultFalse;
#else
    // Linux hosts pass their own idea of the screen; the editor's choice
    // (the user's size, the screen's density) stands.
    (void)factor;
    return vst3::kResultFalse;
#endif
}

void VST3_CALL Vst3View::onFDIsSet(int) { idle(); }

void VST3_CALL Vst3View::onTimer() { idle(); }

void Vst3View::idle() {
    if (attached_) glue_.idle();
}

bool Vst3View::requestSize(int width, int height) {
    if (!attached_ || !frame_ || requesting_ || width <= 0 || height <= 0) return false;
    requesting_ = true;
    requestedWidth_ = width;
    requestedHeight_ = height;
    granted_ = false;
    vst3::ViewRect wanted{0, 0, width, height};
    const vst3::tresult answer = frame_->resizeView(this, &wanted);
    requesting_ = false;
    // Hosts that resize their window later and call onSize then still
    // answer the request itself with success.
    return granted_ || answer == vst3::kResultOk;
}

void Vst3View::startIdle() {
#if defined(_WIN32)
    if (ownTimer_) return;
    ownTimer_ = SetTimer(nullptr, 0, static_cast<UINT>(kIdlePeriodMs), timerTick);
    if (ownTimer_) timedViews().emplace_back(ownTimer_, this);
#else
    if (!runLoop_) return;  // a host without a run loop: the editor shows, unidled
    if (!timerOn_) timerOn_ = runLoop_->registerTimer(this, kIdlePeriodMs) == vst3::kResultOk;
    const int fd = glue_.eventSource();
    if (!handlerOn_ && fd >= 0) handlerOn_ = runLoop_->registerEventHandler(this, fd) == vst3::kResultOk;
#endif
}

void Vst3View::stopIdle() {
#if defined(_WIN32)
    if (!ownTimer_) return;
    KillTimer(nullptr, ownTimer_);
    auto& views = timedViews();
    for (auto it = views.begin(); it != views.end(); ++it)
        if (it->first == ownTimer_) {
            views.erase(it);
            break;
        }
    ownTimer_ = 0;
#else
    if (runLoop_ && timerOn_) runLoop_->unregisterTimer(this);
    if (runLoop_ && handlerOn_) runLoop_->unregisterEventHandler(this);
    timerOn_ = false;
    handlerOn_ = false;
#endif
}

}  // namespace trv4
