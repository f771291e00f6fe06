// Vst3Effect: the editor's side. The controller makes views of the editor;
// the editor reads the plug-in's values and sends the user's edits here,
// which the host hears through its component handler as an edit begun,
// values, and the edit ended, around each drag, press or wheel notch. The
// value is the VST 2 value, the parameter id the parameter's index.
// User-interface thread.
#include <cstring>

#include "editor/EditorFactory.h"
#include "editor/EditorTestPort.h"
#include "plugin/uPlugin.h"
#include "vst3/Vst3Effect.h"
#include "vst3/Vst3View.h"

namespace trv4 {

vst3::IPlugView* VST3_CALL Vst3Effect::createView(vst3::FIDString name) {
    if (!name || std::strcmp(name, "editor") != 0) return nullptr;
    try {
        return new Vst3View(*this);
    } catch (...) {
        // Out of memory: the host shows no editor.
        return nullptr;
    }
}

bool Vst3Effect::attachView(Vst3View* view) {
    if (view_ && view_ != view) return false;
    view_ = view;
    return true;
}

void Vst3Effect::detachView(Vst3View* view) {
    if (view_ == view) view_ = nullptr;
}

vst3::TBool VST3_CALL Vst3Effect::fillEditorTestPort(void* port) {
    return port && glue_->vendorSpecific(kTestPortIndex, kTestPortValue, port, 0.0f) == 1 ? 1 : 0;
}

float Vst3Effect::parameterValue(int index) const { return plugin_->parameterValue(index); }

void Vst3Effect::setParameterAutomated(int index, float value) {
    plugin_->setParameter(index, value);
    // The value as stored (clamped), which is what the host reads back.
    if (handler_ && index >= 0 && index < kNumParams)
        handler_->performEdit(static_cast<vst3::ParamID>(index), plugin_->getParameter(index));
}

void Vst3Effect::beginEdit(int index) {
    if (handler_ && index >= 0 && index < kNumParams) handler_->beginEdit(static_cast<vst3::ParamID>(index));
}

void Vst3Effect::endEdit(int index) {
    if (handler_ && index >= 0 && index < kNumParams) handler_->endEdit(static_cast<vst3::ParamID>(index));
}

float Vst3Effect::meterLevel() const { return plugin_->meterLevel(); }

double Vst3Effect::hostTempo() const { return plugin_->hostTempo(); }

bool Vst3Effect::requestEditorSize(int width, int height) { return view_ && view_->requestSize(width, height); }

}  // namespace trv4
