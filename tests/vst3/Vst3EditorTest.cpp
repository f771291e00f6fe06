// The VST3 editor view as a host embeds it: in a real host window (X11 under
// an Xvfb of its own, Win32 under wine), its size against the editor's at
// 100 and 200 per cent, the idle calls it asks of the host's run loop (a
// timer and a handler on its X connection); the user's edits as the host's
// begin, perform and end edit with the values the VST 2 build automates;
// and a size the user picks while it is open, asked of the host's frame,
// which may refuse.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "editor/EditorSizeChoice.h"
#include "editor/EditorTestPort.h"
#include "engine/ParamIndex.h"
#include "tests/support/PortUser.h"
#include "tests/vst3/Vst3Rig.h"
#include "vst3/Vst3ViewInterface.h"

// The window system last: Xlib's macros (None, Bool) must not meet the
// headers above.
#if defined(_WIN32)
#include <windows.h>
#else
#include <poll.h>

#include "tests/support/X11HostWindow.h"
#include <unistd.h>
#endif

// Includes the Windows headers too.
#include "tests/support/NoRememberedSize.h"

namespace {

using namespace trv4test;

#if defined(_WIN32)
constexpr const char* kNativeType = vst3::kPlatformTypeHWND;
constexpr const char* kOtherType = vst3::kPlatformTypeX11EmbedWindowID;
#else
constexpr const char* kNativeType = vst3::kPlatformTypeX11EmbedWindowID;
constexpr const char* kOtherType = vst3::kPlatformTypeHWND;
#endif

using Size = std::pair<int, int>;

Size sizeOf(const vst3::ViewRect& r) { return {r.width(), r.height()}; }

// The host's run loop as the frame answers it: what the view registered.
class RunLoop : public HostObject<vst3::IRunLoop> {
public:
    std::vector<std::pair<vst3::IEventHandler*, int>> handlers;
    std::vector<std::pair<vst3::ITimerHandler*, vst3::uint64>> timers;

    vst3::tresult VST3_CALL registerEventHandler(vst3::IEventHandler* handler, int fd) override {
        handlers.emplace_back(handler, fd);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterEventHandler(vst3::IEventHandler* handler) override {
        return std::erase_if(handlers, [&](const auto& h) { return h.first == handler; }) ? vst3::kResultOk
                                                                                          : vst3::kInvalidArgument;
    }
    vst3::tresult VST3_CALL registerTimer(vst3::ITimerHandler* handler, vst3::uint64 ms) override {
        timers.emplace_back(handler, ms);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override {
        return std::erase_if(timers, [&](const auto& t) { return t.first == handler; }) ? vst3::kResultOk
                                                                                        : vst3::kInvalidArgument;
    }
};

// The host's frame: grants a resize by calling onSize in the same call, as
// the interface asks, or refuses it; answers the run loop when it has one.
class Frame : public vst3::IPlugFrame {
public:
    explicit Frame(RunLoop* loop = nullptr) : loop_(loop) {}
    std::vector<Size> requests;
    bool grant = false;

    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override {
        *obj = nullptr;
        if (vst3::IPlugFrame::iid == iid || vst3::FUnknown::iid == iid)
            *obj = static_cast<vst3::IPlugFrame*>(this);
        else if (vst3::IRunLoop::iid == iid && loop_)
            *obj = loop_;
        return *obj ? vst3::kResultOk : vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override {
        requests.push_back(sizeOf(*size));
        if (!grant) return vst3::kResultFalse;
        return view->onSize(size);
    }

private:
    RunLoop* loop_;
};

// The edits the host heard, in order: "begin 0", "perform 0", "end 0".
class EditLog : public RecordingHandler {
public:
    std::vector<std::string> calls;
    std::vector<double> values;  // of the performs
    vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override {
        calls.push_back("begin " + std::to_string(id));
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID id, double value) override {
        calls.push_back("perform " + std::to_string(id));
        values.push_back(value);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override {
        calls.push_back("end " + std::to_string(id));
        return vst3::kResultOk;
    }
};

// A top-level host window and the editor windows inside it.
#if defined(_WIN32)
class HostWindow {
public:
    HostWindow() {
        hwnd_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    bool exists() const { return hwnd_ != nullptr; }
    void* handle() const { return hwnd_; }
    // The sizes of the visible child windows.
    std::vector<Size> children() const {
        std::vector<Size> sizes;
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r{};
            if (IsWindowVisible(c) && GetWindowRect(c, &r)) sizes.emplace_back(r.right - r.left, r.bottom - r.top);
        }
        return sizes;
    }

private:
    HWND hwnd_ = nullptr;
};
#else
using HostWindow = trv4test::X11HostWindow;
#endif

class Vst3Editor : public Vst3Test {
protected:
    // No remembered size of the user's.
    void SetUp() override {
        Vst3Test::SetUp();
        noSize_ = std::make_unique<trv4test::NoRememberedSize>("vst3-editor");
    }
    void TearDown() override { noSize_.reset(); }
    static vst3::IPlugView* makeView(Vst3Instance& fx) {
        vst3::IPlugView* view = fx.controller->createView("editor");
        EXPECT_NE(view, nullptr);
        return view;
    }
    static Size size(vst3::IPlugView* view) {
        vst3::ViewRect r{-1, -1, -1, -1};
        EXPECT_EQ(view->getSize(&r), vst3::kResultOk);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        return sizeOf(r);
    }

    std::unique_ptr<trv4test::NoRememberedSize> noSize_;
};

// The editor's test port of a plug-in object, driven as a user would.
struct Port : trv4test::PortUser {
    // A right click on the chassis outside every control, then the size
    // menu's item index (100 % + 25 % a step).
    void pickSize(int index) {
        port.mouseDown(port.context, trv4::kPortRight, 4, 366);
        port.mouseUp(port.context, trv4::kPortRight, 4, 366);
        ASSERT_EQ(port.chooseMenuItem(port.context, index), 1);
    }
    bool shows(Size s) {
        std::vector<uint32_t> pixels(static_cast<size_t>(s.first) * s.second);
        return port.capture(port.context, pixels.data(), s.first, s.second) == 1;
    }
};

TEST_F(Vst3Editor, OpensInTheHostWindowAtItsSizeAndIdlesThroughTheRunLoop) {
    HostWindow host;
    ASSERT_TRUE(host.exists()) << "no window system";
    auto fx = std::make_unique<Vst3Instance>(module->factory());
    ASSERT_NE(fx->controller, nullptr);
    EXPECT_EQ(fx->controller->createView("other"), nullptr);
    vst3::IPlugView* view = makeView(*fx);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported(kNativeType), vst3::kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kOtherType), vst3::kResultFalse);
    EXPECT_EQ(view->canResize(), vst3::kResultFalse);
    EXPECT_EQ(size(view), Size(755, 370));
    vst3::ViewRect dragged{10, 20, 110, 120};
    EXPECT_EQ(view->checkSizeConstraint(&dragged), vst3::kResultOk);
    EXPECT_EQ(sizeOf(dragged), Size(755, 370));
    EXPECT_EQ(dragged.left, 10);

    RunLoop loop;
    Frame frame(&loop);
    ASSERT_EQ(view->setFrame(&frame), vst3::kResultOk);
    EXPECT_EQ(view->attached(host.handle(), kOtherType), vst3::kResultFalse);
    ASSERT_EQ(view->attached(host.handle(), kNativeType), vst3::kResultOk);
    EXPECT_EQ(host.children(), std::vector<Size>{Size(755, 370)});
    EXPECT_EQ(size(view), Size(755, 370));
    EXPECT_TRUE(frame.requests.empty());  // it opened at the size the frame has

    // A second view of the same effect stays empty while this one shows.
    vst3::IPlugView* second = makeView(*fx);
    EXPECT_EQ(second->attached(host.handle(), kNativeType), vst3::kResultFalse);
    second->release();

#if !defined(_WIN32)
    // A timer at about 30 Hz and a handler on the editor's own connection.
    ASSERT_EQ(loop.timers.size(), 1u);
    EXPECT_EQ(loop.timers[0].second, 33u);
    ASSERT_EQ(loop.handlers.size(), 1u);
    const int fd = loop.handlers[0].second;
    EXPECT_GE(fd, 0);
    EXPECT_NE(fd, ConnectionNumber(host.display()));
    // An exposure the host causes arrives there; the handler takes all
    // that came without waiting for more.
    host.exposeChild();
    pollfd ready{fd, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 2000), 1) << "no events on the editor's connection";
    loop.handlers[0].first->onFDIsSet(fd);
    EXPECT_EQ(poll(&ready, 1, 0), 0) << "events left unread";
    // So does the timer, for events Xlib had read ahead into its queue.
    host.exposeChild();
    ASSERT_EQ(poll(&ready, 1, 2000), 1);
    loop.timers[0].first->onTimer();
    EXPECT_EQ(poll(&ready, 1, 0), 0) << "events left unread";
#endif

    // The host's frame may go away before the view: the idle calls leave
    // its run loop then.
    ASSERT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_TRUE(host.children().empty());
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_TRUE(loop.handlers.empty());
    view->setFrame(nullptr);

    // The view keeps its effect alive after the host released the effect.
    fx.reset();
    EXPECT_EQ(size(view), Size(755, 370));
    view->release();
}

// The user's remembered 200 %: the view's size before and after it opens,
// also for a host whose frame has no run loop.
TEST_F(Vst3Editor, OpensAtTheUsersTwoHundredPerCentWithoutARunLoop) {
    HostWindow host;
    ASSERT_TRUE(host.exists()) << "no window system";
    ASSERT_TRUE(trv4::StoreEditorSize(200));
    Vst3Instance& fx = makeInstance();
    vst3::IPlugView* view = makeView(fx);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(size(view), Size(1510, 740));
    Frame frame;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(host.handle(), kNativeType), vst3::kResultOk);
    EXPECT_EQ(host.children(), std::vector<Size>{Size(1510, 740)});
    EXPECT_EQ(size(view), Size(1510, 740));
    EXPECT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_TRUE(host.children().empty());
    view->release();
}

// The host's content scale: on Windows the editor's size before it opens
// (the user's own choice would outrank it); elsewhere the editor's choice.
TEST_F(Vst3Editor, HostContentScaleSizesTheEditorOnWindowsOnly) {
    Vst3Instance& fx = makeInstance();
    vst3::IPlugView* view = makeView(fx);
    ASSERT_NE(view, nullptr);
    vst3::IPlugViewContentScaleSupport* scale = nullptr;
    ASSERT_EQ(view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.bytes, reinterpret_cast<void**>(&scale)),
              vst3::kResultOk);
#if defined(_WIN32)
    EXPECT_EQ(scale->setContentScaleFactor(0.0f), vst3::kResultFalse);
    EXPECT_EQ(scale->setContentScaleFactor(1.5f), vst3::kResultOk);
    EXPECT_EQ(size(view), Size(1133, 555));
#else
    EXPECT_EQ(scale->setContentScaleFactor(1.5f), vst3::kResultFalse);
    EXPECT_EQ(size(view), Size(755, 370));
#endif
    scale->release();
    view->release();
}

// A drag and a wheel notch in the editor reach the host as one edit each:
// begin, the values, end, for the parameter's id; the values are those the
// VST 2 build automates for the same input, and the controller reads the
// last one back. The host's own change reaches the editor at its idle.
TEST_F(Vst3Editor, DragAndWheelReachTheHostAsEditsWithTheVst2Values) {
    Vst3Instance& fx = makeInstance();
    EditLog log;
    ASSERT_EQ(fx.controller->setComponentHandler(&log), vst3::kResultOk);
    Port vst3Port;
    ASSERT_EQ(fx.port->fillEditorTestPort(&vst3Port.port), 1);
    vst3::IPlugView* view = makeView(fx);
    ASSERT_NE(view, nullptr);
    RunLoop loop;
    Frame frame(&loop);
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(nullptr, kNativeType), vst3::kResultOk);  // the port's own screen

    // The VST 2 plug-in object with its editor, given the same input.
    trv4host::Effect& reference = makeReference(44100, 1);
    Port vst2Port;
    ASSERT_EQ(reference.dispatch(vst::effVendorSpecific, trv4::kTestPortIndex, trv4::kTestPortValue, &vst2Port.port),
              1);
    ASSERT_EQ(reference.dispatch(vst::effEditOpen), 1);
    reference.dispatch(vst::effEditIdle);  // its controls show the values, as the view's do from attached on

    const auto expectEdit = [&](int param) {
        const std::string id = std::to_string(param);
        ASSERT_GE(log.calls.size(), 3u);
        EXPECT_EQ(log.calls.front(), "begin " + id);
        EXPECT_EQ(log.calls.back(), "end " + id);
        for (size_t i = 1; i + 1 < log.calls.size(); ++i) EXPECT_EQ(log.calls[i], "perform " + id) << i;
        ASSERT_EQ(log.values.size(), host.automation.size());
        for (size_t i = 0; i < log.values.size(); ++i) {
            EXPECT_EQ(host.automation[i].index, param);
            EXPECT_EQ(log.values[i], host.automation[i].value) << i;
        }
        EXPECT_EQ(fx.controller->getParamNormalized(static_cast<vst3::ParamID>(param)), log.values.back());
        log.calls.clear();
        log.values.clear();
        host.automation.clear();
    };

    const double before = fx.controller->getParamNormalized(trv4::kDelay);
    vst3Port.drag("DelayCoarseControl", 12);
    vst2Port.drag("DelayCoarseControl", 12);
    expectEdit(trv4::kDelay);
    EXPECT_NE(fx.controller->getParamNormalized(trv4::kDelay), before);

    vst3Port.wheel("OutputLevelControl", -1);
    vst2Port.wheel("OutputLevelControl", -1);
    expectEdit(trv4::kLevel);

    // The host's own change shows at the next idle, and is not echoed.
    ASSERT_EQ(fx.controller->setParamNormalized(trv4::kDelay, 1.0), vst3::kResultOk);
    EXPECT_NE(vst3Port.info("DelayCoarseControl").position, vst3Port.info("DelayCoarseControl").max);
#if defined(_WIN32)
    // The view's own thread timer, from the host's message loop.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(5);
    }
#else
    ASSERT_EQ(loop.timers.size(), 1u);
    loop.timers[0].first->onTimer();
#endif
    EXPECT_EQ(vst3Port.info("DelayCoarseControl").position, vst3Port.info("DelayCoarseControl").max);
    EXPECT_TRUE(log.calls.empty());

    reference.dispatch(vst::effEditClose);
    view->removed();
    view->release();
    fx.controller->setComponentHandler(nullptr);
}

// A size picked from the editor's menu while it is open is asked of the
// frame: refused, the view and the window keep the old size; granted
// (onSize within resizeView), both take the new one.
TEST_F(Vst3Editor, ASizePickedWhileOpenIsAskedOfTheFrame) {
    Vst3Instance& fx = makeInstance();
    Port port;
    ASSERT_EQ(fx.port->fillEditorTestPort(&port.port), 1);
    vst3::IPlugView* view = makeView(fx);
    ASSERT_NE(view, nullptr);
    Frame frame;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(nullptr, kNativeType), vst3::kResultOk);
    ASSERT_EQ(size(view), Size(755, 370));

    port.pickSize(4);  // 200 %, refused
    EXPECT_EQ(frame.requests, std::vector<Size>{Size(1510, 740)});
    EXPECT_EQ(size(view), Size(755, 370));
    EXPECT_TRUE(port.shows(Size(755, 370)));

    frame.grant = true;
    port.pickSize(4);
    EXPECT_EQ(frame.requests.size(), 2u);
    EXPECT_EQ(size(view), Size(1510, 740));
    EXPECT_TRUE(port.shows(Size(1510, 740)));
    vst3::ViewRect r{};
    EXPECT_EQ(view->checkSizeConstraint(&r), vst3::kResultOk);
    EXPECT_EQ(sizeOf(r), Size(1510, 740));
    // A size the editor does not have is not taken from the host.
    vst3::ViewRect other{0, 0, 800, 400};
    EXPECT_EQ(view->onSize(&other), vst3::kResultFalse);
    EXPECT_EQ(size(view), Size(1510, 740));

    view->removed();
    view->release();
}

}  // namespace
