// What the Linux services do for the editor's actions, in a real process
// and a real X server: xdg-open started detached with the file as its one
// argument, and the information box that stands beside the editor while
// the backend's idle processing goes on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/LinuxServices.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11MessageBox.h"
#include "WindowScene.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits (up to five seconds) for a file that a detached program writes.
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// An environment variable set for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(LinuxServices, XdgOpenGetsTheFileAsItsOneArgumentDetachedFromTheHost) {
    const std::string dir = ::testing::TempDir() + "trv4-xdg-open-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    const std::string log = dir + "/log";
    {
        // Records its arguments, its open descriptors, where its standard
        // streams go and whether it leads a session of its own.
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\n"
               << "out=$(readlink /proc/$$/fd/1)\n"
               << "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done\n"
               << "  echo fds $(ls /proc/$$/fd | sort -n | tr '\\n' ' ')\n"
               << "  echo out $out\n"
               << "  echo sid $(ps -o sid= -p $$) pid $$ ppid $PPID\n"
               << "} > '" << log << ".part'\n"
               << "mv '" << log << ".part' '" << log << "'\n";
    }
    chmod((dir + "/xdg-open").c_str(), 0755);
    ScopedEnv path("PATH", dir + ":/usr/bin:/bin");

    // A descriptor the host owns, open across exec: the program must not
    // hold it.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(dup2(pipeEnds[1], 47), 47);

    LinuxServices services(nullptr);
    const std::string file = "/tmp/a b/\"quoted\" $(touch x); 'it''s'.html";
    services.OpenDocument(0, "open", file);

    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1) << "a child was left for the host to reap";
    EXPECT_EQ(errno, ECHILD);
    ASSERT_TRUE(WaitForFile(log));
    std::istringstream lines(ReadFile(log));
    std::string count, argument, fds, out, session;
    std::getline(lines, count);
    std::getline(lines, argument);
    std::getline(lines, fds);
    std::getline(lines, out);
    std::getline(lines, session);
    EXPECT_EQ(count, "1");
    EXPECT_EQ(argument, "[" + file + "]");
    EXPECT_EQ(fds.find(" 47 "), std::string::npos) << fds;
    EXPECT_EQ(out, "out /dev/null");
    std::istringstream ids(session);
    std::string word, sid, pid;
    ids >> word >> sid >> word >> pid;
    EXPECT_NE(sid, std::to_string(getsid(0))) << "the program runs in a session of its own: " << session;

    // A relative name that looks like an option stays a file.
    std::remove(log.c_str());
    services.OpenDocument(0, "open", "-manual.html");
    ASSERT_TRUE(WaitForFile(log));
    EXPECT_NE(ReadFile(log).find("[./-manual.html]"), std::string::npos);

    close(47);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    std::remove(log.c_str());
    std::remove((dir + "/xdg-open").c_str());
    rmdir(dir.c_str());
}

TEST(LinuxServices, SettingsFollowTheXdgSearchOrder) {
    const std::string dir = ::testing::TempDir() + "trv4-xdg-dirs-" + std::to_string(getpid());
    for (const char* sub : {"", "/home", "/a", "/b", "/b/Test Vendor", "/a/Test Vendor"})
        mkdir((dir + sub).c_str(), 0755);
    std::ofstream(dir + "/b/Test Vendor/TRV-4.ini") << "Manual=/from/b\n";
    ScopedEnv home("XDG_CONFIG_HOME", dir + "/home");
    ScopedEnv system("XDG_CONFIG_DIRS", "relative/ignored:" + dir + "/a:" + dir + "/b");
    EXPECT_EQ(LinuxServices::SettingsDirectories(), (std::vector<std::string>{dir + "/home", dir + "/a", dir + "/b"}));

    LinuxServices services(nullptr);
    std::string text;
    EXPECT_TRUE(services.ReadSetting("\\Software\\Test Vendor\\TRV-4", "Manual", text));
    EXPECT_EQ(text, "/from/b") << "the first file that exists answers, wherever it is in the list";
    std::ofstream(dir + "/a/Test Vendor/TRV-4.ini") << "[TRV-4]\nManual = /from/a \n";
    EXPECT_TRUE(services.ReadSetting("\\Software\\Test Vendor\\TRV-4", "Manual", text));
    EXPECT_EQ(text, "/from/a");
    std::system(("rm -rf '" + dir + "'").c_str());
}

// Runs the backend's idle processing for a while, as a host's idle calls do.
void Idle(Backend& backend, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        backend.ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

// Whether the window is still mapped on the server, asked on a connection
// of the test's own.
bool Mapped(Display* display, ::Window window) {
    XWindowAttributes attributes{};
    XSync(display, False);
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// The window's pixels as the server holds them.
std::vector<uint32_t> Pixels(Display* display, ::Window window) {
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, testing::kSceneWidth, testing::kSceneHeight, AllPlanes, ZPixmap);
    std::vector<uint32_t> pixels;
    if (!image) return pixels;
    for (int y = 0; y < testing::kSceneHeight; ++y)
        for (int x = 0; x < testing::kSceneWidth; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)));
    XDestroyImage(image);
    return pixels;
}

TEST(X11MessageBox, StandsWhileTheIdleGoesOnAndClosesByOkOrTheWindowManager) {
    Display* tester = XOpenDisplay(nullptr);
    ASSERT_NE(tester, nullptr) << "no X display";
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    X11Backend backend;
    auto scene = testing::BuildScene(backend, 0);
    Idle(backend, 100);

    backend.System().ShowMessage(scene->form->Handle(), "Information", "TRV-4  by X\r\rVersion: 1.21");
    backend.System().ShowMessage(scene->form->Handle(), "Information", "TRV-4  by X\r\rVersion: 1.21");
    ASSERT_EQ(backend.MessageBoxes().size(), 1u) << "the same box twice is raised, not opened again";
    const ::Window box = backend.MessageBoxes()[0]->Window();
    Idle(backend, 200);
    EXPECT_TRUE(Mapped(tester, box));

    // Our windows keep painting while the box stands: the label's new
    // caption reaches the screen.
    const std::vector<uint32_t> shown = Pixels(tester, scene->form->Handle());
    scene->label->SetCaption("changed");
    Idle(backend, 150);
    EXPECT_NE(Pixels(tester, scene->form->Handle()), shown);
    EXPECT_TRUE(Mapped(tester, box));

    // OK: the button's centre, from the text's two lines (see the layout).
    XWindowAttributes attributes{};
    XGetWindowAttributes(tester, box, &attributes);
    const std::string click = "xdotool mousemove --window " + std::to_string(box) + " " +
                              std::to_string(attributes.width / 2) + " " + std::to_string(attributes.height - 28) +
                              " click 1";
    ASSERT_EQ(std::system(click.c_str()), 0);
    Idle(backend, 200);
    EXPECT_TRUE(backend.MessageBoxes().empty());
    EXPECT_FALSE(Mapped(tester, box));

    // The window manager's close button.
    backend.System().ShowMessage(0, "Error", "failed");
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    const ::Window second = backend.MessageBoxes()[0]->Window();
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = second;
    close.xclient.message_type = XInternAtom(tester, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(tester, "WM_DELETE_WINDOW", False));
    XSendEvent(tester, second, False, NoEventMask, &close);
    XFlush(tester);
    Idle(backend, 200);
    EXPECT_TRUE(backend.MessageBoxes().empty());

    // A box that stands when the backend goes is closed with it.
    backend.System().ShowMessage(0, "Information", "left open");
    scene.reset();
    XCloseDisplay(tester);
}

}  // namespace
}  // namespace platform
