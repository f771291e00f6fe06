#include "vst/AEffEditor.h"

namespace vst {

AEffEditor::AEffEditor(AudioEffect* effect) : effect(effect) {}

AEffEditor::~AEffEditor() = default;

VstInt32 AEffEditor::getRect(ERect** rect) {
    *rect = nullptr;
    return 0;
}

VstInt32 AEffEditor::open(void* parentWindow) {
    systemWindow = parentWindow;
    return 0;
}

void AEffEditor::close() {}

void AEffEditor::idle() {
    if (updateFlag.exchange(false, std::memory_order_relaxed)) update();
}

void AEffEditor::update() {}

void AEffEditor::postUpdate() { updateFlag.store(true, std::memory_order_relaxed); }

VstInt32 AEffEditor::onKeyDown(VstKeyCode&) { return -1; }

VstInt32 AEffEditor::onKeyUp(VstKeyCode&) { return -1; }

VstInt32 AEffEditor::setKnobMode(VstInt32) { return 0; }

bool AEffEditor::onWheel(float) { return false; }

}  // namespace vst
