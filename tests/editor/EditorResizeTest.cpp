// A size picked from the panel's menu while the editor is open: the glue
// asks the host for the new frame (audioMasterSizeWindow); a host that
// grants it gets the window drawn anew at that size, one that refuses keeps
// the window as it was. The plug-in object is made in-process with a host
// callback of the test's own; the editor runs on the test port's headless
// backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

#include "editor/APluginEditor.h"
#include "editor/EditorTestPort.h"
#include "editor/TPluginEditorWindow.h"
#include "platform/headless/HeadlessBackend.h"
#include "plugin/uPlugin.h"

namespace trv4 {
namespace {

bool gGrant = false;
std::vector<std::pair<int, int>> gRequests;  // width, height of each audioMasterSizeWindow

vst::VstIntPtr VST_CALL SizingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                   void*, float) {
    if (opcode == vst::audioMasterVersion) return 2400;
    if (opcode != vst::audioMasterSizeWindow) return 0;
    gRequests.emplace_back(index, static_cast<int>(value));
    return gGrant ? 1 : 0;
}

class EditorResizeTest : public ::testing::Test {
protected:
    // The menu's choice is stored for later editors: in a settings folder of
    // the test's own (Linux) or the test user's registry (Windows).
    void SetUp() override {
        ForgetChoice();
#ifndef _WIN32
        config = std::filesystem::temp_directory_path() /
                 ("trv4-resize-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(config);
        std::filesystem::create_directories(config);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
#endif
        gRequests.clear();
        glue = static_cast<APluginEditor*>(plugin->getEditor());
        port.size = sizeof port;
        ASSERT_EQ(plugin->vendorSpecific(kTestPortIndex, kTestPortValue, &port, 0), 1);
    }
    void TearDown() override {
        glue->close();
        ForgetChoice();
#ifndef _WIN32
        std::filesystem::remove_all(config);
#endif
    }
    static void ForgetChoice() {
#ifdef _WIN32
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Tolvmark Audio\\TRV-4", "EditorSize");
#endif
    }

    // A right click on the chassis outside every control, then menu item
    // index (Size: 100% + 25% x index) picked.
    void PickSize(int index) {
        port.mouseDown(port.context, kPortRight, 4, 366);
        port.mouseUp(port.context, kPortRight, 4, 366);
        ASSERT_EQ(port.chooseMenuItem(port.context, index), 1);
        glue->idle();
    }
    std::pair<int, int> Rect() {
        vst::ERect* r = nullptr;
        glue->getRect(&r);
        return {r->right - r->left, r->bottom - r->top};
    }
    // The window's pixels when it measures width x height; empty otherwise.
    std::vector<uint32_t> Capture(int width, int height) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        if (port.capture(port.context, pixels.data(), width, height) != 1) pixels.clear();
        return pixels;
    }

    std::unique_ptr<APlugin> plugin = std::make_unique<APlugin>(SizingHost);
    APluginEditor* glue = nullptr;
    EditorTestPort port{};
    std::filesystem::path config;
};

TEST_F(EditorResizeTest, AGrantedSizeRedrawsTheOpenWindowARefusedOneKeepsIt) {
    ASSERT_EQ(glue->open(nullptr), 1);
    glue->idle();
    ASSERT_EQ(Rect(), std::make_pair(755, 370));

    gGrant = true;
    PickSize(2);  // 150 %
    ASSERT_EQ(gRequests, (std::vector<std::pair<int, int>>{{1133, 555}}));
    EXPECT_EQ(Rect(), std::make_pair(1133, 555));
    EXPECT_TRUE(Capture(755, 370).empty()) << "the window still measures 755 x 370";
    const std::vector<uint32_t> resized = Capture(1133, 555);
    ASSERT_FALSE(resized.empty()) << "the window does not measure 1133 x 555";

    // The same pixels as an editor opened at 150 % from the start: every
    // picture was drawn anew for the size, none left at 100 %.
    glue->close();
    ASSERT_EQ(glue->open(nullptr), 1);
    glue->idle();
    EXPECT_TRUE(Capture(1133, 555) == resized);

    gGrant = false;
    PickSize(4);  // 200 %: refused
    // The menu itself came magnified with the window it was opened from.
    const auto& menus = static_cast<platform::HeadlessBackend*>(glue->window()->GetBackend())->popupMenus;
    ASSERT_FALSE(menus.empty());
    EXPECT_EQ(menus.back().scale.percent, 150);
    ASSERT_EQ(gRequests.size(), 2u);
    EXPECT_EQ(gRequests.back(), std::make_pair(1510, 740));
    EXPECT_EQ(Rect(), std::make_pair(1133, 555));
    EXPECT_TRUE(Capture(1133, 555) == resized) << "the refused size changed the window";
}

}  // namespace
}  // namespace trv4
