// APluginEditor: the editor glue. It answers the host's editor requests
// (getRect, open, close, idle) for the plug-in object that owns it, owns the
// editor window while it is open and the window system's backend it runs
// on: the native one (Win32; X11 on its own display connection), or, once
// the editor test port was handed out, an in-process headless one that the
// port's calls drive (EditorPort.cpp).
//
// Lives as long as the plug-in object. Host user-interface thread only,
// except postUpdate (any thread: one atomic store). Nothing here throws
// towards the host: a window that cannot be made leaves open answering 0.
#pragma once

#include <memory>

#include "editor/EditorTestPort.h"
#include "vst/AEffEditor.h"

namespace platform {
class Backend;
class HeadlessBackend;
}  // namespace platform

namespace trv4 {

class APlugin;
class TPluginEditorWindow;

constexpr int kEditorWidth = 755;
constexpr int kEditorHeight = 370;

class APluginEditor : public vst::AEffEditor {
public:
    explicit APluginEditor(APlugin* plugin);
    ~APluginEditor() override;

    // Always the 755 x 370 rectangle, before and after open.
    vst::VstInt32 getRect(vst::ERect** rect) override;
    // Makes the window as a child of parentWindow (an HWND or an X window
    // id); 1 when it exists afterwards, 0 when it could not be made.
    vst::VstInt32 open(void* parentWindow) override;
    void close() override;
    // Pending parameter changes, then the meter, then the tempo; then the
    // window system's pending events (X11: this is where they are handled).
    void idle() override;
    void update() override;

    bool isOpen() const { return openFlag; }
    TPluginEditorWindow* window() const { return editorWindow.get(); }

    // Fills port (whose size the caller checked) and switches the next
    // windows to the headless backend.
    void handOutTestPort(EditorTestPort& port);

private:
    friend struct EditorPortAccess;

    APlugin* plugin;
    vst::ERect rect{};
    bool openFlag = false;
    std::unique_ptr<platform::HeadlessBackend> headless;  // once the port was handed out
    std::unique_ptr<platform::Backend> native;            // of the open window
    std::unique_ptr<TPluginEditorWindow> editorWindow;
    bool windowIsHeadless = false;
};

}  // namespace trv4
