// The gui extension: the VST 2 build's editor, embedded in the host's window
// (X11 on Linux, Win32 on Windows), idled from the host's timer at about
// 30 Hz and, on Linux where the host watches file descriptors, as soon as
// events arrive on the editor's X connection. The size is what the editor
// glue reports, at the editor's own size step; the host's scale counts as
// its size hint, below the user's own choice and above the screen's
// density, and a size change while open asks the host for room. Main thread
// only.
#include <cmath>
#include <cstring>

#include "clap/ClapPlugin.h"
#include "editor/EditorFactory.h"

namespace trv4clap {

namespace {

#if defined(_WIN32)
constexpr const char* kNativeApi = clap::kWindowApiWin32;
#else
constexpr const char* kNativeApi = clap::kWindowApiX11;
#endif

constexpr uint32_t kIdlePeriodMs = 33;

bool CLAP_CALL onGuiApiSupported(const clap::plugin*, const char* api, bool floating) {
    return api && !floating && !std::strcmp(api, kNativeApi);
}

bool CLAP_CALL onGuiPreferredApi(const clap::plugin*, const char** api, bool* floating) {
    if (api) *api = kNativeApi;
    if (floating) *floating = false;
    return true;
}

bool CLAP_CALL onGuiCreate(const clap::plugin* p, const char* api, bool floating) {
    return ClapPlugin::from(p)->guiCreate(api, floating);
}
void CLAP_CALL onGuiDestroy(const clap::plugin* p) { ClapPlugin::from(p)->guiDestroy(); }
bool CLAP_CALL onGuiSetScale(const clap::plugin* p, double scale) { return ClapPlugin::from(p)->guiSetScale(scale); }
bool CLAP_CALL onGuiGetSize(const clap::plugin* p, uint32_t* width, uint32_t* height) {
    return width && height && ClapPlugin::from(p)->guiSize(*width, *height);
}
bool CLAP_CALL onGuiCanResize(const clap::plugin*) { return false; }
bool CLAP_CALL onGuiResizeHints(const clap::plugin*, clap::gui_resize_hints*) { return false; }
bool CLAP_CALL onGuiAdjustSize(const clap::plugin* p, uint32_t* width, uint32_t* height) {
    return width && height && ClapPlugin::from(p)->guiSize(*width, *height);
}
bool CLAP_CALL onGuiSetSize(const clap::plugin* p, uint32_t width, uint32_t height) {
    uint32_t w = 0, h = 0;
    return ClapPlugin::from(p)->guiSize(w, h) && w == width && h == height;
}
bool CLAP_CALL onGuiSetParent(const clap::plugin* p, const clap::window* window) {
    return window && ClapPlugin::from(p)->guiSetParent(*window);
}
bool CLAP_CALL onGuiSetTransient(const clap::plugin*, const clap::window*) { return false; }
void CLAP_CALL onGuiSuggestTitle(const clap::plugin*, const char*) {}
bool CLAP_CALL onGuiShow(const clap::plugin* p) { return ClapPlugin::from(p)->guiShow(); }
bool CLAP_CALL onGuiHide(const clap::plugin* p) { return ClapPlugin::from(p)->guiHide(); }

void CLAP_CALL timerTick(const clap::plugin* p, clap::id) { ClapPlugin::from(p)->guiIdle(); }
void CLAP_CALL fdReady(const clap::plugin* p, int, uint32_t) { ClapPlugin::from(p)->guiIdle(); }

}  // namespace

const clap::plugin_gui ClapPlugin::kGui{onGuiApiSupported, onGuiPreferredApi, onGuiCreate,    onGuiDestroy,
                                        onGuiSetScale,     onGuiGetSize,      onGuiCanResize, onGuiResizeHints,
                                        onGuiAdjustSize,   onGuiSetSize,      onGuiSetParent, onGuiSetTransient,
                                        onGuiSuggestTitle, onGuiShow,         onGuiHide};
const clap::plugin_timer_support ClapPlugin::kTimer{timerTick};
const clap::plugin_posix_fd_support ClapPlugin::kPosixFd{fdReady};

bool ClapPlugin::guiCreate(const char* api, bool floating) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (guiCreated_ || !glue_ || !onGuiApiSupported(&record_, api, floating)) return false;
    guiCreated_ = true;
    return true;
}

void ClapPlugin::guiDestroy() {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (timerId_ != clap::kInvalidId && hostTimer_ && hostTimer_->unregister_timer)
        hostTimer_->unregister_timer(host_, timerId_);
    timerId_ = clap::kInvalidId;
    if (eventFd_ >= 0 && hostFd_ && hostFd_->unregister_fd) hostFd_->unregister_fd(host_, eventFd_);
    eventFd_ = -1;
    if (guiOpen_ && glue_) glue_->close();
    guiOpen_ = false;
    guiCreated_ = false;
}

bool ClapPlugin::guiSize(uint32_t& width, uint32_t& height) const {
    vst::ERect* rect = nullptr;
    if (!glue_ || !glue_->getRect(&rect) || !rect) return false;
    width = static_cast<uint32_t>(rect->right - rect->left);
    height = static_cast<uint32_t>(rect->bottom - rect->top);
    return true;
}

bool ClapPlugin::guiSetScale(double scale) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (!glue_) return false;
    if (glue_->vendorSpecific(trv4::kSizeHintIndex, trv4::kSizeHintValue, nullptr, static_cast<float>(scale)) == 1)
        return true;
    // An open window keeps its size: the factor is taken when it is the one
    // the window has.
    return guiOpen_ && std::isfinite(scale) && glue_->scalePercent() == std::lround(scale * 100);
}

bool ClapPlugin::requestEditorSize(int width, int height) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    return hostGui_ && hostGui_->request_resize && width > 0 && height > 0 &&
           hostGui_->request_resize(host_, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

bool ClapPlugin::guiSetParent(const clap::window& window) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (!guiCreated_ || guiOpen_ || !window.api || std::strcmp(window.api, kNativeApi) != 0) return false;
#if defined(_WIN32)
    void* parent = window.win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window.x11));
#endif
    if (!glue_->open(parent)) return false;
    guiOpen_ = true;
    if (hostTimer_ && hostTimer_->register_timer && !hostTimer_->register_timer(host_, kIdlePeriodMs, &timerId_))
        timerId_ = clap::kInvalidId;
    // The timer stays: Xlib may have read events off the socket into its
    // queue already, where only the next idle finds them.
    const int fd = glue_->eventSource();
    if (fd >= 0 && hostFd_ && hostFd_->register_fd && hostFd_->register_fd(host_, fd, clap::kFdRead)) eventFd_ = fd;
    return true;
}

bool ClapPlugin::guiShow() { return guiOpen_; }

bool ClapPlugin::guiHide() { return guiOpen_; }

void ClapPlugin::guiIdle() {
    TRV4_CLAP_MAIN_THREAD(threads_);
    if (guiOpen_ && glue_) glue_->idle();
}

}  // namespace trv4clap
