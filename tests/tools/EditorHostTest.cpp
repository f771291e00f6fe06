// The Linux module's editor in real X11 host windows (under Xvfb), with the
// calls and mistakes hosts make: the rectangle asked for before and right
// after open, twenty opens and closes, idle after close, and the host
// destroying its window before effEditClose; the screen density the X
// resource database gives choosing the editor's size. The host here has its
// own display connection and X error handler, as real hosts do.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/ModulePath.h"
#include "tools/host/PluginHost.h"

namespace {

int gHostErrors = 0;
int countHostError(Display*, XErrorEvent*) {
    ++gHostErrors;
    return 0;
}

class XHost {
public:
    XHost() {
        XSetErrorHandler(&countHostError);
        display_ = XOpenDisplay(nullptr);
    }
    ~XHost() {
        if (display_) XCloseDisplay(display_);
    }
    Display* display() const { return display_; }

    ::Window newWindow() {
        const int screen = DefaultScreen(display_);
        ::Window w = XCreateSimpleWindow(display_, RootWindow(display_, screen), 40, 30, 755, 370, 0, 0,
                                         BlackPixel(display_, screen));
        XMapWindow(display_, w);
        XSync(display_, False);
        return w;
    }

    // The parent's child windows that are mapped and viewable, and the
    // geometry of the last one.
    int viewableChildren(::Window parent, XWindowAttributes* last = nullptr) {
        XSync(display_, False);
        ::Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, parent, &root, &up, &children, &count)) return -1;
        int viewable = 0;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable) {
                ++viewable;
                if (last) *last = attributes;
            }
        }
        if (children) XFree(children);
        return viewable;
    }

private:
    Display* display_ = nullptr;
};

class EditorInHostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(x.display(), nullptr) << "no X display";
        std::string error;
        module = trv4host::PluginModule::Load(trv4test::modulePath(), error);
        ASSERT_TRUE(module) << error;
        effect = std::make_unique<trv4host::Effect>(host.instantiate(module->entry()));
        ASSERT_NE(effect->record(), nullptr);
        effect->dispatch(vst::effOpen);
    }

    // effEditGetRect as "width x height at left,top".
    std::string rect() const {
        vst::ERect* r = nullptr;
        effect->dispatch(vst::effEditGetRect, 0, 0, &r);
        if (!r) return "none";
        return std::to_string(r->right - r->left) + " x " + std::to_string(r->bottom - r->top) + " at " +
               std::to_string(r->left) + "," + std::to_string(r->top);
    }
    intptr_t open(::Window parent) const {
        return effect->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
    }
    void idle(int times) const {
        for (int i = 0; i < times; ++i) effect->dispatch(vst::effEditIdle);
    }

    XHost x;
    trv4host::Host host;
    std::unique_ptr<trv4host::PluginModule> module;
    std::unique_ptr<trv4host::Effect> effect;
};

TEST_F(EditorInHostWindow, RectBeforeAndAfterOpenAndTwentyOpensAndClosesLeaveNoWindowBehind) {
    const ::Window parent = x.newWindow();
    EXPECT_EQ(rect(), "755 x 370 at 0,0") << "before the first open";
    ASSERT_EQ(open(parent), 1);
    EXPECT_EQ(rect(), "755 x 370 at 0,0") << "right after open";
    idle(3);
    XWindowAttributes child{};
    EXPECT_EQ(x.viewableChildren(parent, &child), 1);
    EXPECT_EQ(std::to_string(child.width) + " x " + std::to_string(child.height) + " at " + std::to_string(child.x) +
                  "," + std::to_string(child.y),
              "755 x 370 at 0,0");
    effect->dispatch(vst::effEditClose);
    EXPECT_EQ(x.viewableChildren(parent), 0);
    // Idle and a parameter change after close reach no window.
    effect->setParameter(1, 0.25f);
    idle(5);
    EXPECT_EQ(x.viewableChildren(parent), 0);

    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(open(parent), 1) << "round " << round;
        idle(2);
        ASSERT_EQ(x.viewableChildren(parent), 1) << "round " << round;
        effect->dispatch(vst::effEditClose);
        ASSERT_EQ(x.viewableChildren(parent), 0) << "round " << round;
        idle(1);
    }
    EXPECT_EQ(rect(), "755 x 370 at 0,0") << "after close";
    EXPECT_EQ(gHostErrors, 0) << "the editor's windows never touch the host's connection";
}

TEST_F(EditorInHostWindow, SurvivesTheHostDestroyingItsWindowBeforeCloseAndOpensAgain) {
    const ::Window doomed = x.newWindow();
    ASSERT_EQ(open(doomed), 1);
    idle(3);
    XDestroyWindow(x.display(), doomed);  // the editor's window goes with it
    XSync(x.display(), False);
    effect->setParameter(1, 0.75f);  // the next idle updates controls of a dead window
    idle(5);
    effect->dispatch(vst::effEditClose);  // BadWindow on the plug-in's side, ignored
    idle(2);

    const ::Window parent = x.newWindow();
    ASSERT_EQ(open(parent), 1);
    idle(3);
    EXPECT_EQ(x.viewableChildren(parent), 1) << "a new editor after the lost one";
    effect->dispatch(vst::effEditClose);

    // Unloaded, the plug-in must leave the host's X errors to the host: a
    // handler of its own left behind would point into the freed library.
    effect->close();
    module.reset();
    const int before = gHostErrors;
    XMapWindow(x.display(), parent + 0x100000);  // no such window: BadWindow
    XSync(x.display(), False);
    EXPECT_EQ(gHostErrors, before + 1);
}

// Xft.dpi 144 in the root window's resource database (as a desktop with
// 150 per cent text sets it), no GDK_SCALE or QT_SCALE_FACTOR, and no size
// of the user's own (a settings folder of the test's): the editor measures
// 150 per cent before open and its window does once open.
TEST_F(EditorInHostWindow, XftDpiInTheResourceDatabaseChoosesTheSize) {
    const std::filesystem::path config = std::filesystem::temp_directory_path() / "trv4-host-xft-dpi";
    std::filesystem::remove_all(config);
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("GDK_SCALE");
    unsetenv("QT_SCALE_FACTOR");
    const ::Window root = DefaultRootWindow(x.display());
    const std::string resources = "Xft.antialias:\t1\nXft.dpi:\t144\n";
    XChangeProperty(x.display(), root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
    XSync(x.display(), False);

    // A new instance: the glue asks the system once, before its first open.
    effect = std::make_unique<trv4host::Effect>(host.instantiate(module->entry()));
    effect->dispatch(vst::effOpen);
    EXPECT_EQ(rect(), "1133 x 555 at 0,0") << "before open";
    const ::Window parent = x.newWindow();
    ASSERT_EQ(open(parent), 1);
    idle(3);
    XWindowAttributes child{};
    EXPECT_EQ(x.viewableChildren(parent, &child), 1);
    EXPECT_EQ(std::to_string(child.width) + " x " + std::to_string(child.height), "1133 x 555");
    EXPECT_EQ(rect(), "1133 x 555 at 0,0") << "after open";
    effect->dispatch(vst::effEditClose);

    XDeleteProperty(x.display(), root, XA_RESOURCE_MANAGER);
    XSync(x.display(), False);
    std::filesystem::remove_all(config);
}

}  // namespace
