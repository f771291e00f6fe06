// The calls of the editor test port (EditorTestPort.h): plain C entry points
// that drive the window on the port's headless backend. Each answers 0 when
// there is nothing to drive, and never lets an exception out (the caller is
// another module). User-interface thread only.
#include "editor/EditorPort.h"

#include <algorithm>
#include <cstring>

#include "editor/TPluginEditorWindow.h"
#include "toolkit/cDIBDial.h"

namespace trv4 {

namespace {

// The context every call gets back is the EditorPort that filled the record.
EditorPort& Port(void* context) { return *static_cast<EditorPort*>(context); }

template <typename F>
int Guarded(F step) {
    try {
        return step();
    } catch (...) {
        // No memory, or a window that failed mid-step: the caller's tool
        // sees 0 and reports it; an exception must not cross the module.
        return 0;
    }
}

platform::MouseButton Button(int button) {
    if (button == kPortRight) return platform::MouseButton::Right;
    if (button == kPortMiddle) return platform::MouseButton::Middle;
    return platform::MouseButton::Left;
}

void CopyText(char* out, int size, const std::string& text) {
    if (!out || size <= 0) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

// Input on the form's window, in its client coordinates: the port's calls
// take logical (100 %) pixels, the window system physical ones.
platform::Point Physical(const TPluginEditorWindow& w, int x, int y) {
    const platform::PixelScale s = w.PaintScale();
    return {s.ToPhysical(x), s.ToPhysical(y)};
}

template <typename F>
int WithWindow(void* context, F step) {
    return Guarded([&] {
        TPluginEditorWindow* window = Port(context).Window();
        if (!window) return 0;
        step(Port(context).Backend(), *window);
        return 1;
    });
}

int MouseDown(void* context, int button, int x, int y) {
    return WithWindow(context, [&](platform::HeadlessBackend& b, TPluginEditorWindow& w) {
        b.MouseDown(w.Handle(), Button(button), Physical(w, x, y));
    });
}

int MouseMove(void* context, int x, int y) {
    return WithWindow(context, [&](platform::HeadlessBackend& b, TPluginEditorWindow& w) {
        b.MouseMove(w.Handle(), Physical(w, x, y));
    });
}

int MouseUp(void* context, int button, int x, int y) {
    return WithWindow(context, [&](platform::HeadlessBackend& b, TPluginEditorWindow& w) {
        b.MouseUp(w.Handle(), Button(button), Physical(w, x, y));
    });
}

// The wheel goes where the window system sends it: to the window under the
// point, which hands it to its control there.
int MouseWheel(void* context, int x, int y, int delta) {
    return WithWindow(context, [&](platform::HeadlessBackend& b, TPluginEditorWindow& w) {
        b.MouseWheel(w.Handle(), Physical(w, x, y), delta);
    });
}

int SetKeys(void* context, unsigned shiftState) {
    return WithWindow(context, [&](platform::HeadlessBackend& b, TPluginEditorWindow&) {
        b.SetKeyboardState(shiftState & (platform::ssShift | platform::ssAlt | platform::ssCtrl));
    });
}

int AdvanceClock(void* context, unsigned milliseconds) {
    return WithWindow(context,
                      [&](platform::HeadlessBackend& b, TPluginEditorWindow&) { b.AdvanceClock(milliseconds); });
}

int CursorAt(void* context, int x, int y) {
    return Guarded([&] {
        TPluginEditorWindow* w = Port(context).Window();
        if (!w) return 0;
        switch (Port(context).Backend().CursorAt(w->Handle(), Physical(*w, x, y))) {
        case platform::Cursor::Arrow: return static_cast<int>(kPortCursorArrow);
        case platform::Cursor::HandPoint: return static_cast<int>(kPortCursorHandPoint);
        default: return static_cast<int>(kPortCursorDefault);
        }
    });
}

int Capture(void* context, uint32_t* pixels, int width, int height) {
    return Guarded([&] {
        TPluginEditorWindow* w = Port(context).Window();
        if (!w || !pixels) return 0;
        const platform::HeadlessBackend::Pixels shot = Port(context).Backend().CapturePixels(w->Handle());
        if (shot.words.empty() || shot.width != width || shot.height != height) return 0;
        std::copy(shot.words.begin(), shot.words.end(), pixels);
        return 1;
    });
}

int ControlInfo(void* context, const char* name, EditorControlInfo* out) {
    return Guarded([&] {
        TPluginEditorWindow* w = Port(context).Window();
        if (!w || !name || !out) return 0;
        auto* control = w->Find<platform::Control>(name);
        if (!control) return 0;
        EditorControlInfo info{};
        info.visible = control->Visible();
        info.enabled = control->Enabled();
        info.left = control->Left();
        info.top = control->Top();
        info.width = control->Width();
        info.height = control->Height();
        info.opacity = 255;
        if (auto* dial = dynamic_cast<toolkit::TDIBDial*>(control)) {
            info.position = dial->Position();
            info.min = dial->Min();
            info.max = dial->Max();
        }
        if (auto* skinned = dynamic_cast<toolkit::TCustomDIBControl*>(control)) info.opacity = skinned->Opacity();
        if (auto* label = dynamic_cast<platform::Label*>(control))
            CopyText(info.caption, sizeof info.caption, label->Caption());
        *out = info;
        return 1;
    });
}

int ShellCallRecord(void* context, int index, char* verb, int verbSize, char* file, int fileSize) {
    return Guarded([&] {
        const platform::HeadlessBackend& b = Port(context).Backend();
        if (index < 0 || static_cast<size_t>(index) >= b.shellCalls.size()) return 0;
        CopyText(verb, verbSize, b.shellCalls[static_cast<size_t>(index)].verb);
        CopyText(file, fileSize, b.shellCalls[static_cast<size_t>(index)].file);
        return 1;
    });
}

int MessageBoxRecord(void* context, int index, char* caption, int captionSize, char* text, int textSize) {
    return Guarded([&] {
        const platform::HeadlessBackend& b = Port(context).Backend();
        if (index < 0 || static_cast<size_t>(index) >= b.messageBoxes.size()) return 0;
        CopyText(caption, captionSize, b.messageBoxes[static_cast<size_t>(index)].caption);
        CopyText(text, textSize, b.messageBoxes[static_cast<size_t>(index)].text);
        return 1;
    });
}

int SetSetting(void* context, const char* key, const char* name, const char* text) {
    return Guarded([&] {
        platform::HeadlessBackend& b = Port(context).Backend();
        if (!key || !name) return 0;
        const std::string entry = std::string(key) + "\\" + name;
        if (text)
            b.settings[entry] = text;
        else
            b.settings.erase(entry);
        return 1;
    });
}

int MenuItem(void* context, int index, char* caption, int captionSize) {
    return Guarded([&] {
        const platform::HeadlessBackend& b = Port(context).Backend();
        if (b.popupMenus.empty() || index < 0 || static_cast<size_t>(index) >= b.popupMenus.back().items.size())
            return 0;
        CopyText(caption, captionSize, b.popupMenus.back().items[static_cast<size_t>(index)]);
        return 1;
    });
}

int ChooseMenuItem(void* context, int index) {
    return Guarded([&] { return Port(context).Backend().ChooseMenuItem(index) ? 1 : 0; });
}

}  // namespace

void EditorPort::Fill(EditorTestPort& port) {
    port.context = this;
    port.mouseDown = MouseDown;
    port.mouseMove = MouseMove;
    port.mouseUp = MouseUp;
    port.mouseWheel = MouseWheel;
    port.setKeys = SetKeys;
    port.advanceClock = AdvanceClock;
    port.cursorAt = CursorAt;
    port.capture = Capture;
    port.controlInfo = ControlInfo;
    port.shellCall = ShellCallRecord;
    port.messageBox = MessageBoxRecord;
    port.setSetting = SetSetting;
    port.menuItem = MenuItem;
    port.chooseMenuItem = ChooseMenuItem;
}

}  // namespace trv4
