// The CLAP editor in a real X11 host window (on an Xvfb of its own): besides
// the host's timer, the editor's X connection is registered with the host's
// posix-fd-support while the window stands, and the host's idle step drains
// what arrives on it.
#include <memory>

#include "tests/clap/ClapRig.h"

// Xlib last: its macros (None, Bool) must not meet the headers above.
#include <poll.h>

#include "tests/support/X11HostWindow.h"

namespace {

using trv4test::ClapRig;

using XHost = trv4test::X11HostWindow;

TEST(ClapEditorWindow, TheXConnectionIsWatchedWhileTheWindowStands) {
    XHost x;
    ASSERT_NE(x.display(), nullptr) << "no X display";
    ClapRig rig;
    const clap::plugin_gui* gui = rig->gui();
    const clap::plugin& p = rig->plugin();
    ASSERT_TRUE(gui->create(&p, clap::kWindowApiX11, false));
    EXPECT_TRUE(rig->fds.empty());
    clap::window window{};
    window.api = clap::kWindowApiX11;
    window.x11 = x.window();
    ASSERT_TRUE(gui->set_parent(&p, &window));
    EXPECT_EQ(rig->timers.size(), 1u);
    ASSERT_EQ(rig->fds.size(), 1u);
    const int fd = rig->fds[0];
    EXPECT_NE(fd, ConnectionNumber(x.display()));

    // The plug-in's handler takes all that came, without waiting for more.
    auto* fdSupport = static_cast<const clap::plugin_posix_fd_support*>(rig->extension(clap::kExtPosixFdSupport));
    ASSERT_NE(fdSupport, nullptr);
    rig->idle();
    x.exposeChild();
    pollfd ready{fd, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 2000), 1) << "no events on the editor's connection";
    fdSupport->on_fd(&p, fd, clap::kFdRead);
    EXPECT_EQ(poll(&ready, 1, 0), 0) << "events left unread";
    // Our host's idle step finds them too.
    x.exposeChild();
    ASSERT_EQ(poll(&ready, 1, 2000), 1);
    rig->idle();
    EXPECT_EQ(poll(&ready, 1, 0), 0) << "events left unread";

    gui->destroy(&p);
    EXPECT_TRUE(rig->fds.empty());
    EXPECT_TRUE(rig->timers.empty());
    EXPECT_TRUE(rig->threadFaults.empty());
}

}  // namespace
