// The Win32 side of the wine window check (scripts/platform-wine-window.sh):
// puts the test form into a host window at (40, 30) of the screen, writes
// "ready" with the form's screen origin, handles messages until the script
// writes "done", then writes the clicks and wheel turns that arrived and
// the headless rendering of the same form for the script to compare with
// the screen. The form holds the focus, so the wheel messages come to it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/HeadlessBackend.h"
#include "tests/support/CapturePng.h"
#include "WindowScene.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Records the wheel deltas that reach it (it paints nothing).
class WheelProbe : public platform::Control {
public:
    using Control::Control;
    bool MouseWheel(int delta, platform::ShiftState, int x, int y) override {
        deltas.push_back(ClientRect().Contains({x, y}) ? delta : 0);
        return true;
    }
    std::vector<int> deltas;
};

void Pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "HostWindow";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "HostWindow", "Host", WS_POPUP | WS_VISIBLE, 40, 30, 300, 200, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!host) return 3;

    auto backend = platform::CreateNativeBackend();
    auto scene = platform::testing::BuildScene(*backend, reinterpret_cast<uintptr_t>(host));
    auto* wheel = new WheelProbe(scene->form.get());  // at (95, 70) of the form
    wheel->SetParent(scene->form.get());
    wheel->SetBounds(95, 70, 40, 40);
    scene->form->SetFocus();
    Pump(500);
    POINT origin{0, 0};
    ClientToScreen(reinterpret_cast<HWND>(scene->form->Handle()), &origin);
    {
        std::ofstream ready(dir + "\\ready.tmp");
        ready << origin.x << " " << origin.y << "\n";
    }
    MoveFileA((dir + "\\ready.tmp").c_str(), (dir + "\\ready").c_str());

    for (int waited = 0; !Exists(dir + "\\done") && waited < 60000; waited += 50) Pump(50);

    std::ofstream clicks(dir + "\\clicks");
    for (const std::string& name : scene->clicks) clicks << name << "\n";
    clicks.close();
    std::ofstream turns(dir + "\\wheel");
    for (int delta : wheel->deltas) turns << delta << "\n";
    turns.close();

    platform::HeadlessBackend headless;
    auto reference = platform::testing::BuildScene(headless, 0);
    const bool written = trv4test::writeCapturePng(headless, reference->form->Handle(), dir + "\\headless.png");
    scene.reset();
    DestroyWindow(host);
    return written ? 0 : 4;
}
