#include "editor/APluginEditor.h"

#include "editor/EditorDescription.h"
#include "editor/EditorHost.h"
#include "editor/EditorPort.h"
#include "editor/EditorScaleSteps.h"
#include "editor/EditorSizeChoice.h"
#include "editor/TPluginEditorWindow.h"
#include "platform/SystemScale.h"

namespace trv4 {

namespace {

vst::ERect ScaledRect(int percent) {
    const platform::PixelScale s{percent};
    return {0, 0, static_cast<int16_t>(s.ToPhysical(kEditorHeight)), static_cast<int16_t>(s.ToPhysical(kEditorWidth))};
}

}  // namespace

std::unique_ptr<EditorGlue> createPluginEditor(EditorHost& host, vst::AudioEffect* effect) {
    return std::make_unique<APluginEditor>(host, effect);
}

APluginEditor::APluginEditor(EditorHost& host, vst::AudioEffect* effect) : EditorGlue(effect), host(host) {}

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
    // for the glue's life and changes only with the editor's size.
    rect = ScaledRect(scalePercent());
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
        scale = nextScale(reinterpret_cast<uintptr_t>(parentWindow));
        editorWindow->SetBounds(0, 0, kEditorWidth, kEditorHeight);
        editorWindow->SetScalePercent(scale);
        editorWindow->SetHost(&host);
        editorWindow->OnSizeChosen = [this](int percent) { chooseScalePercent(percent); };
        editorWindow->OnDpiChanged = [this](int dpi) { followDensity(dpi); };
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

int APluginEditor::eventSource() const { return editorWindow && native ? native->EventSource() : -1; }

int APluginEditor::scalePercent() const { return editorWindow ? scale : nextScale(0); }

int APluginEditor::nextScale(uintptr_t parent) const {
    for (int step : {chosen, StoredEditorSize(), hinted})
        if (step) return step;
    if (port) return 100;
    // Asked once before open (a display connection each time), anew with
    // the host's window at open.
    if (parent) {
        const int system = SystemEditorSize(parent);
        return system ? system : 100;
    }
    if (mainScreen < 0) mainScreen = SystemEditorSize(0);
    return mainScreen ? mainScreen : 100;
}

bool APluginEditor::resizeOpen(int step) {
    if (step == scale) return true;
    const vst::ERect want = ScaledRect(step);
    if (!host.requestEditorSize(want.right, want.bottom)) return false;
    try {
        editorWindow->SetScalePercent(step);
    } catch (...) {
        // No memory for the larger pictures: the window stays as it was
        // drawn; the host's frame is already the new size.
        return false;
    }
    scale = step;
    rect = ScaledRect(scale);
    return true;
}

bool APluginEditor::setScalePercent(int percent) {
    const int step = ScaleStepOf(percent / 100.0);
    if (!step) return false;
    if (editorWindow && !resizeOpen(step)) return false;
    chosen = step;
    rect = ScaledRect(step);
    return true;
}

bool APluginEditor::chooseScalePercent(int percent) {
    const int step = ScaleStepOf(percent / 100.0);
    if (!step) return false;
    // Remembered even when this host keeps the frame as it is: the next
    // editor opens at the choice.
    StoreEditorSize(step);
    return setScalePercent(step);
}

void APluginEditor::followDensity(int dpi) {
    if (!editorWindow || chosen || StoredEditorSize() || hinted) return;
    if (const int step = ScaleStepOf(platform::DpiFactor(dpi))) resizeOpen(step);
}

vst::VstIntPtr APluginEditor::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) {
    if (index == kSizeHintIndex && value == kSizeHintValue) {
        // Hosts send it before effEditOpen; garbage leaves the size alone.
        const int step = ScaleStepOf(opt);
        if (!step || editorWindow) return 0;
        hinted = step;
        rect = ScaledRect(scalePercent());
        return 1;
    }
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
