// EditorPort: the plug-in's end of the editor test port (EditorTestPort.h).
// It owns the headless backend that the editor's windows are built on once
// the port was handed out, knows the window open on it, if any, and fills
// the port record whose calls drive them. The glue owns it from the first
// request on, so the records outlive a window. User-interface thread only.
#pragma once

#include "editor/EditorTestPort.h"
#include "platform/headless/HeadlessBackend.h"

namespace trv4 {

class TPluginEditorWindow;

class EditorPort {
public:
    platform::HeadlessBackend& Backend() { return backend_; }
    // The window open on Backend(), or none: set by the glue as it opens
    // and closes a window there.
    TPluginEditorWindow* Window() const { return window_; }
    void SetWindow(TPluginEditorWindow* window) { window_ = window; }

    // Fills port's context and calls (the caller checked its size).
    void Fill(EditorTestPort& port);

private:
    platform::HeadlessBackend backend_;
    TPluginEditorWindow* window_ = nullptr;
};

}  // namespace trv4
