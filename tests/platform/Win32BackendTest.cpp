// The Win32 backend under wine: window messages reaching the controls,
// message-window timers, and the registry reading of the settings service.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/Form.h"
#include "platform/Image.h"
#include "platform/SystemError.h"

namespace platform {
namespace {

void Pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
}

TEST(Win32Backend, WindowMessagesReachTheControlUnderThePointer) {
    auto backend = CreateNativeBackend();
    std::unique_ptr<Form> window;
    try {
        window = std::make_unique<Form>(*backend, 0);
    } catch (const SystemError& e) {
        // A wine server started without an X display opens no windows; the
        // test command runs the cross-built tests under Xvfb.
        GTEST_SKIP() << "no display for windows: " << e.what();
    }
    Form& form = *window;
    form.SetBounds(0, 0, 100, 60);
    auto* area = new Image(&form);
    area->SetParent(&form);
    area->SetBounds(50, 10, 30, 30);
    ShiftState shift = 0;
    int clicks = 0;
    area->OnMouseDown.Set([&](Component*, MouseButton, ShiftState s, int x, int y) { shift = s; });
    area->OnClick.Set([&](Component*) { ++clicks; });
    HWND hwnd = reinterpret_cast<HWND>(form.Handle());
    ASSERT_TRUE(IsWindow(hwnd));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(60, 20));
    SendMessageA(hwnd, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(61, 21));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // on the form
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(shift, ssShift | ssLeft);
    EXPECT_EQ(SendMessageA(hwnd, WM_ERASEBKGND, 0, 0), 1) << "background erase suppressed";
    Pump(50);
}

TEST(Win32Backend, MessageWindowTimerTicksUntilFreed) {
    auto backend = CreateNativeBackend();
    int ticks = 0;
    auto timer = backend->CreateTimer(20, [&] { ++ticks; });
    Pump(300);
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, 16);
    timer.reset();
    const int stopped = ticks;
    Pump(100);
    EXPECT_EQ(ticks, stopped);
}

class Registry : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\TRV4 Platform Test";
    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char path[] = "C:\\Docs\\Manual.pdf";
        RegSetValueExA(key, "Manual", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
        RegSetValueExA(key, "Empty", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        const DWORD number = 3;
        RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey); }
};

TEST_F(Registry, ReadsStringValuesAndRefusesOtherTypes) {
    auto backend = CreateNativeBackend();
    Services& system = backend->System();
    std::string text = "stale";
    EXPECT_TRUE(system.ReadSetting("\\Software\\TRV4 Platform Test", "Manual", text));
    EXPECT_EQ(text, "C:\\Docs\\Manual.pdf");
    EXPECT_TRUE(system.ReadSetting("\\Software\\TRV4 Platform Test", "Empty", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(system.ReadSetting("\\Software\\TRV4 Platform Test", "Missing", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(system.ReadSetting("\\Software\\TRV4 No Such Key", "Manual", text));
    EXPECT_EQ(text, "");
    try {
        system.ReadSetting("\\Software\\TRV4 Platform Test", "Count", text);
        ADD_FAILURE() << "a number was read as text";
    } catch (const SettingError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Count'");
    }
}

}  // namespace
}  // namespace platform
