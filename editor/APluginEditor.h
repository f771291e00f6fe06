// APluginEditor: the editor glue. It answers the host's editor requests
// (getRect, open, close, idle) for the plug-in object that owns it, owns the
// editor window while it is open and the window system's backend it runs
// on: the native one (Win32; X11 on its own display connection), or, once
// the editor test port was handed out, the port's in-process headless one,
// which the port's calls drive (EditorPort.h). Everything it reads of the
// plug-in, and the changes it sends, go through EditorHost.
//
// Lives as long as the plug-in object. Host user-interface thread only,
// except postUpdate (any thread: one atomic store). Nothing here throws
// towards the host: a window that cannot be made leaves open answering 0.
#pragma once

#include <memory>

#include "editor/EditorFactory.h"

namespace platform {
class Backend;
}  // namespace platform

namespace trv4 {

class EditorHost;
class EditorPort;
class TPluginEditorWindow;

constexpr int kEditorWidth = 755;
constexpr int kEditorHeight = 370;

class APluginEditor : public EditorGlue {
public:
    APluginEditor(EditorHost& host, vst::AudioEffect* effect);
    ~APluginEditor() override;

    // The 755 x 370 rectangle magnified to the editor's size, before and
    // after open.
    vst::VstInt32 getRect(vst::ERect** rect) override;
    // Makes the window as a child of parentWindow (an HWND or an X window
    // id); 1 when it exists afterwards, 0 when it could not be made.
    vst::VstInt32 open(void* parentWindow) override;
    void close() override;
    // Pending parameter changes, then the meter, then the tempo; then the
    // window system's pending events (X11: this is where they are handled).
    void idle() override;
    void update() override;
    // The test port: fills the record and switches the next windows to the
    // port's headless backend. The host's size hint: sets the size the next
    // window opens at.
    vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) override;
    int scalePercent() const override { return scale; }
    bool setScalePercent(int percent) override;

    // The open window, for tests that look inside it.
    TPluginEditorWindow* window() const { return editorWindow.get(); }

private:
    EditorHost& host;
    vst::ERect rect{};
    bool openFlag = false;
    int scale = 100;  // per cent; the open window's, or the next one's
    std::unique_ptr<EditorPort> port;                // once it was handed out
    std::unique_ptr<platform::Backend> native;       // of the open window
    std::unique_ptr<TPluginEditorWindow> editorWindow;
};

}  // namespace trv4
