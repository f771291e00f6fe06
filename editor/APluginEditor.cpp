#include "editor/APluginEditor.h"

#include "editor/EditorDescription.h"
#include "editor/EditorHost.h"
#include "editor/EditorPort.h"
#include "editor/TPluginEditorWindow.h"

namespace trv4 {

std::unique_ptr<EditorGlue> createPluginEditor(EditorHost& host, vst::AudioEffect* effect) {
    return std::make_unique<APluginEditor>(host, effect);
}

APluginEditor::APluginEditor(EditorHost& host, vst::AudioEffect* effect) : EditorGlue(effect), host(host) {
    rect = {0, 0, kEditorHeight, kEditorWidth};
}

APluginEditor::~APluginEditor() {
    if (editorWindow) {
        if (port) port->SetWindow(nullptr);
        editorWindow.reset();
        systemWindow = nullptr;
    }
    native.reset();
    port.reset();
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
    if (!parentWindow && !port) return 0;
    try {
        platform::Backend* backend = port ? &port->Backend() : nullptr;
        if (!backend) {
            native = platform::CreateNativeBackend();
            backend = native.get();
        }
        editorWindow = std::make_unique<TPluginEditorWindow>(*backend, reinterpret_cast<uintptr_t>(parentWindow),
                                                             EditorDescription());
        editorWindow->SetBounds(0, 0, kEditorWidth, kEditorHeight);
        editorWindow->SetHost(&host);
        if (port) port->SetWindow(editorWindow.get());
    } catch (...) {
        // No display, no window from the system, a broken description:
        // the host gets no editor, and no exception.
        editorWindow.reset();
        native.reset();
        return 0;
    }
    openFlag = true;
    systemWindow = parentWindow;
    postUpdate();
    return 1;
}

void APluginEditor::close() {
    if (!openFlag) return;
    openFlag = false;
    if (port) port->SetWindow(nullptr);
    try {
        editorWindow.reset();
        native.reset();
    } catch (...) {
        // Freeing a window raises nothing we could act on.
    }
}

void APluginEditor::idle() {
    if (!editorWindow) {
        // Nothing to bring up to date; open posts a fresh update anyway, so
        // a mark left from before carries nothing and is dropped.
        updateFlag.store(false, std::memory_order_relaxed);
        return;
    }
    try {
        if (updateFlag.exchange(false, std::memory_order_relaxed)) update();
        TPluginEditorWindow& w = *editorWindow;
        w.SetMeterLevel(host.meterLevel());
        w.UpdateMeter();
        const double tempo = host.hostTempo();
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
    if (!editorWindow) return;
    try {
        for (int i = 0; i < kNumParams; ++i) editorWindow->SetMirror(i, host.parameterValue(i));
        editorWindow->UpdateControls();
    } catch (...) {
        // The controls keep what they showed; the next posted update brings
        // them in line.
    }
}

vst::VstIntPtr APluginEditor::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr) {
    // Only our own tools know both magic numbers and the record's size.
    if (index != kTestPortIndex || value != kTestPortValue || !ptr) return 0;
    auto* record = static_cast<EditorTestPort*>(ptr);
    if (record->size != sizeof(EditorTestPort)) return 0;
    try {
        // Kept for the glue's life, so the records outlive a window; the
        // window open now (if any) stays on its own backend until it closes.
        if (!port) port = std::make_unique<EditorPort>();
        port->Fill(*record);
    } catch (...) {
        // No memory for the headless backend: the tool is told there is no
        // port, the host sees nothing.
        return 0;
    }
    return 1;
}

}  // namespace trv4
