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

    // The 755 x 370 rectangle magnified to the editor's size: the open
    // window's, or the one the next window opens at.
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
    int scalePercent() const override;
    bool setScalePercent(int percent) override;
    int eventSource() const override;
    // The user's pick from the size menu: remembered for every later
    // editor (EditorSizeChoice.h), then made the size as setScalePercent
    // does.
    bool chooseScalePercent(int percent);

    // The open window, for tests that look inside it.
    TPluginEditorWindow* window() const { return editorWindow.get(); }

private:
    // The size the next window opens at, the first source that has one:
    // this editor's own choice, the user's stored one, the host's hint, the
    // system's density of parent (none for the port's windows, which are
    // on no screen), 100 %.
    int nextScale(uintptr_t parent) const;
    // Resizes the open window to step, once the host made room; false when
    // it refused (the old size is kept).
    bool resizeOpen(int step);
    // The density of the host's window changed: followed unless a choice or
    // a hint fixed the size.
    void followDensity(int dpi);

    EditorHost& host;
    vst::ERect rect{};
    bool openFlag = false;
    int scale = 100;                            // per cent; the open window's
    int chosen = 0;                             // setScalePercent's or the menu's step; 0: none
    int hinted = 0;                             // the host's 'PreS' step; 0: none
    mutable int mainScreen = -1;                // the main screen's step (0: unknown); -1: not asked yet
    std::unique_ptr<EditorPort> port;           // once it was handed out
    std::unique_ptr<platform::Backend> native;  // of the open window
    std::unique_ptr<TPluginEditorWindow> editorWindow;
};

}  // namespace trv4
