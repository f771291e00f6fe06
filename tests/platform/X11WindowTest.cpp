// The X11 backend in a real X server (Xvfb): our window inside a host
// window, clicks from xdotool reaching the right control, and the screen
// showing what the headless backend renders for the same form.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/headless/HeadlessBackend.h"
#include "platform/x11/X11Backend.h"
#include "tests/support/CapturePng.h"
#include "WindowScene.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

using testing::BuildScene;
using testing::kSceneHeight;
using testing::kSceneWidth;

// The host's side: its own connection and a top-level window at (40, 30).
class Host {
public:
    Host() {
        display_ = XOpenDisplay(nullptr);
        if (!display_) return;
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 40, 30, 300, 200, 0, 0,
                                      WhitePixel(display_, screen));
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~Host() {
        if (!display_) return;
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    bool Ok() const { return display_ != nullptr; }
    ::Window Id() const { return window_; }
    // The screen's pixels over the host window's top-left w x h, as 0x00RRGGBB.
    std::vector<uint32_t> Screenshot(int w, int h) {
        XSync(display_, False);
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), 40, 30, w, h, AllPlanes, ZPixmap);
        std::vector<uint32_t> pixels;
        if (!image) return pixels;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

private:
    Display* display_ = nullptr;
    ::Window window_ = 0;
};

// Runs the backend's idle processing for a while, as a host's idle calls do.
void Idle(Backend& backend, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        backend.ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

int Click(::Window host, int x, int y) {
    const std::string command = "xdotool mousemove --window " + std::to_string(host) + " " + std::to_string(x) + " " +
                                std::to_string(y) + " click 1";
    return std::system(command.c_str());
}

TEST(X11Window, ClicksReachTheRightControlAndTheScreenShowsTheHeadlessPicture) {
    Host host;
    ASSERT_TRUE(host.Ok()) << "no X display (DISPLAY=" << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") << ")";
    X11Backend backend;
    auto scene = BuildScene(backend, host.Id());
    Idle(backend, 300);

    ASSERT_EQ(Click(host.Id(), 50, 80), 0) << "xdotool failed";
    Idle(backend, 200);
    ASSERT_EQ(Click(host.Id(), 160, 60), 0);
    Idle(backend, 200);
    ASSERT_EQ(Click(host.Id(), 120, 30), 0);  // on the form, no control
    Idle(backend, 200);
    EXPECT_EQ(scene->clicks, (std::vector<std::string>{"Left", "Right"}));

    // Move the pointer away so that nothing covers the picture, then compare.
    ASSERT_EQ(std::system("xdotool mousemove 0 0"), 0);
    scene->form->Invalidate();
    Idle(backend, 200);
    const std::vector<uint32_t> screen = host.Screenshot(kSceneWidth, kSceneHeight);
    ASSERT_EQ(screen.size(), static_cast<size_t>(kSceneWidth * kSceneHeight));

    HeadlessBackend headless;
    auto reference = BuildScene(headless, 0);
    auto picture = headless.Capture(reference->form->Handle());
    int differing = 0, labelInk = 0;
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x) {
            uint32_t word;
            std::memcpy(&word, picture->Bits() + (static_cast<size_t>(kSceneHeight - 1 - y) * kSceneWidth + x) * 4, 4);
            word &= 0xFFFFFF;
            if (word != screen[static_cast<size_t>(y) * kSceneWidth + x]) ++differing;
            if (reference->label->BoundsRect().Contains({x, y}) && word != 0) ++labelInk;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(labelInk, 20) << "the label's text is part of the comparison";
    if (const char* out = std::getenv("TRV4_SCREENSHOT_DIR"))
        trv4test::writeCapturePng(headless, reference->form->Handle(), std::string(out) + "/platform-x11-headless.png");
}

// A windowless control that records the wheel deltas it gets.
class WheelProbe : public Control {
public:
    using Control::Control;
    bool MouseWheel(int delta, ShiftState, int x, int y) override {
        deltas.push_back(delta);
        inside = inside && ClientRect().Contains({x, y});
        return true;
    }
    std::vector<int> deltas;
    bool inside = true;
};

TEST(X11Window, WheelButtonsReachTheControlUnderThePointer) {
    Host host;
    ASSERT_TRUE(host.Ok());
    X11Backend backend;
    auto scene = BuildScene(backend, host.Id());
    auto* probe = new WheelProbe(scene->form.get());
    probe->SetParent(scene->form.get());
    probe->SetBounds(100, 10, 40, 30);
    Idle(backend, 300);
    const std::string at = "xdotool mousemove --window " + std::to_string(host.Id()) + " ";
    // Buttons 4 and 5 are the vertical wheel; 6 and 7 (horizontal) and a
    // turn over no control go nowhere.
    ASSERT_EQ(std::system((at + "120 25 click 4 click 4 click 5 click 6 click 7").c_str()), 0);
    Idle(backend, 200);
    ASSERT_EQ(std::system((at + "200 20 click 4").c_str()), 0);
    Idle(backend, 200);
    EXPECT_EQ(probe->deltas, (std::vector<int>{120, 120, -120}));
    EXPECT_TRUE(probe->inside);
    EXPECT_TRUE(scene->clicks.empty());
}

TEST(X11Window, SurvivesTheHostDestroyingItsWindowFirst) {
    X11Backend backend;
    auto host = std::make_unique<Host>();
    ASSERT_TRUE(host->Ok());
    auto scene = BuildScene(backend, host->Id());
    Idle(backend, 50);
    host.reset();  // the host's window, and ours inside it, are gone
    scene->label->SetCaption("still here");
    Idle(backend, 50);
    scene.reset();  // XDestroyWindow on a dead window: BadWindow, ignored
    Idle(backend, 20);
    SUCCEED();
}

}  // namespace
}  // namespace platform

#include <sys/stat.h>

#include <fstream>

#include "platform/x11/LinuxServices.h"

namespace platform {
namespace {

TEST(LinuxServices, SettingsComeFromTheKeysIniFileUnderTheConfigDirectory) {
    const std::string dir = ::testing::TempDir() + "trv4-settings";
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/Test Vendor").c_str(), 0755);
    EXPECT_EQ(LinuxServices::SettingsFile(dir, "\\Software\\Test Vendor\\TRV-4"), dir + "/Test Vendor/TRV-4.ini");
    EXPECT_EQ(LinuxServices::SettingsFile(dir, "\\Software\\..\\..\\etc\\passwd"), dir + "/etc/passwd.ini")
        << "no way out of the directory";
    {
        std::ofstream ini(dir + "/Test Vendor/TRV-4.ini");
        ini << "; written by the installer\n[Software\\Test Vendor\\TRV-4]\nManual = "
               "/usr/share/doc/trv4/manual.pdf\nEmpty=\n";
    }
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    LinuxServices services(nullptr);
    std::string text = "stale";
    EXPECT_TRUE(services.ReadSetting("\\Software\\Test Vendor\\TRV-4", "Manual", text));
    EXPECT_EQ(text, "/usr/share/doc/trv4/manual.pdf");
    EXPECT_TRUE(services.ReadSetting("\\Software\\Test Vendor\\TRV-4", "Empty", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(services.ReadSetting("\\Software\\Test Vendor\\TRV-4", "Missing", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(services.ReadSetting("\\Software\\Test Vendor\\No Such Product", "Manual", text));
    EXPECT_EQ(text, "");
    saved ? setenv("XDG_CONFIG_HOME", previous.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    std::remove((dir + "/Test Vendor/TRV-4.ini").c_str());
}

}  // namespace
}  // namespace platform
