#include "editor/APluginEditor.h"

#include "editor/EditorDescription.h"
#include "editor/TPluginEditorWindow.h"
#include "platform/headless/HeadlessBackend.h"
#include "plugin/uPlugin.h"

namespace trv4 {

APluginEditor::APluginEditor(APlugin* plugin) : AEffEditor(plugin), plugin(plugin) {
    rect = {0, 0, kEditorHeight, kEditorWidth};
}

APluginEditor::~APluginEditor() {
    if (editorWindow) {
        plugin->setEditorClosed(true);
        editorWindow.reset();
        systemWindow = nullptr;
    }
    native.reset();
    headless.reset();
}

vst::VstInt32 APluginEditor::getRect(vst::ERect** out) {
    // Hosts may read it before open and keep the pointer: it stays valid
    // and unchanged for the glue's life.
    rect = {0, 0, kEditorHeight, kEditorWidth};
    *out = &rect;
    return 1;
}

vst::VstInt32 APluginEditor::open(void* parentWindow) {
    if (openFlag) return 1;
    // A host window to live in is required, except off-screen for the port.
    if (!parentWindow && !headless) return 0;
    try {
        platform::Backend* backend = headless.get();
        if (!backend) {
            native = platform::CreateNativeBackend();
            backend = native.get();
        }
        editorWindow = std::make_unique<TPluginEditorWindow>(*backend, reinterpret_cast<uintptr_t>(parentWindow),
                                                             EditorDescription());
        editorWindow->SetBounds(0, 0, kEditorWidth, kEditorHeight);
        editorWindow->SetPlugin(plugin);
        windowIsHeadless = backend == headless.get();
    } catch (...) {
        // No display, no window from the system, a broken description:
        // the host gets no editor, and no exception.
        editorWindow.reset();
        native.reset();
        return 0;
    }
    openFlag = true;
    systemWindow = parentWindow;
    plugin->setEditorClosed(false);
    postUpdate();
    return 1;
}

void APluginEditor::close() {
    if (!openFlag) return;
    openFlag = false;
    plugin->setEditorClosed(true);
    try {
        editorWindow.reset();
        native.reset();
    } catch (...) {
        // Freeing a window raises nothing we could act on.
    }
}

void APluginEditor::idle() {
    if (plugin->editorClosed() || !editorWindow) {
        // Nothing to bring up to date; open posts a fresh update anyway, so
        // a mark left from before carries nothing and is dropped.
        updateFlag.store(false, std::memory_order_relaxed);
        return;
    }
    try {
        if (updateFlag.exchange(false, std::memory_order_relaxed)) update();
        TPluginEditorWindow& w = *editorWindow;
        const Engine& engine = plugin->engineState();
        w.SetMeterLevel(engine.meterLevel());
        w.UpdateMeter();
        // A torn read of the tempo costs at most one extra refresh.
        const double tempo = engine.hostTempo();
        if (tempo != w.HostTempo()) {
            w.SetHostTempo(tempo);
            w.UpdateEditBox(kRate1);
            w.UpdateEditBox(kRate2);
        }
        w.GetBackend()->ProcessEvents();
    } catch (...) {
        // An idle step that fails leaves the window as it is; the next one
        // tries again.
    }
}

void APluginEditor::update() {
    if (plugin->editorClosed() || !editorWindow) return;
    try {
        for (int i = 0; i < kNumParams; ++i) editorWindow->SetMirror(i, plugin->parameterValue(i));
        editorWindow->UpdateControls();
    } catch (...) {
    }
}

}  // namespace trv4
