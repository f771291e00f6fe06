// The binding of TPluginEditorWindow's controls to the parameters, both
// ways: knob turns, presses, wheel notches and switch presses become
// automated parameter changes; UpdateControls moves the controls to the
// mirror the glue filled. Window thread only.
#include <cmath>

#include "editor/EditorHost.h"
#include "editor/TPluginEditorWindow.h"
#include "engine/Nearest.h"
#include "toolkit/cDIBDial.h"

namespace trv4 {

namespace {

using platform::Component;

// What a Ctrl-press resets each parameter to.
constexpr float kResetValues[kNumParams] = {0.5f, 0.8f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                            0.0f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

constexpr int kWavePositions = 10;  // the wave knobs: 0..10, one step per wave
constexpr int kCoarsePositions = 100;
constexpr int kFinePositions = 1000;

// nearest(x) for a knob position: ties to even, out-of-range values (which
// no parameter value in 0..1 makes) counting as 0.
int NearestPosition(double x) { return static_cast<int>(nearestInt64(std::fabs(x) < 1e9 ? x : 0.0)); }

bool IsWave(int index) { return index == kWave1 || index == kWave2; }

bool ValidIndex(int index) { return index >= 0 && index < kNumParams; }

}  // namespace

void TPluginEditorWindow::Send(int index) {
    if (host_) host_->setParameterAutomated(index, mirror_[index]);
}

void TPluginEditorWindow::KnobControlChange(Component* sender) {
    if (updating_) return;
    auto* knob = dynamic_cast<toolkit::TDIBDial*>(sender);
    if (!knob || !ValidIndex(knob->Tag())) return;
    const int i = knob->Tag();
    const double position = knob->Position();
    // A Max of 0 (only a broken description makes one) gives an infinity or
    // not-a-number here, which the clamp below turns into 1 or 0.
    float value = static_cast<float>(IsWave(i) ? position / kWavePositions : position / knob->Max());
    if (value > 1.0f)
        value = 1.0f;
    else if (!(value >= 0.0f))
        value = 0.0f;
    mirror_[i] = value;
    UpdateEditBox(static_cast<int16_t>(i));
    Send(i);
}

void TPluginEditorWindow::Rescale(toolkit::TDIBDial& knob, bool fine) {
    const float r = static_cast<float>(knob.Position()) / static_cast<float>(knob.Max());
    knob.SetEnabled(false);
    updating_ = true;
    // Max before Position when growing, Position before Max when shrinking:
    // the Max setter pulls a larger position down.
    if (fine) {
        knob.SetMax(kFinePositions);
        knob.SetPosition(NearestPosition(static_cast<double>(r) * kFinePositions));
    } else {
        knob.SetPosition(NearestPosition(static_cast<double>(r) * kCoarsePositions));
        knob.SetMax(kCoarsePositions);
    }
    knob.SetEnabled(true);
    updating_ = false;
}

void TPluginEditorWindow::ControlMouseDown(Component* sender, platform::MouseButton, platform::ShiftState shift, int,
                                           int) {
    auto* knob = dynamic_cast<toolkit::TDIBDial*>(sender);
    if (!knob || !ValidIndex(knob->Tag())) return;
    // The drag that follows (and a Ctrl reset) is one gesture, ended at the release.
    if (host_) host_->beginEdit(knob->Tag());
    if (IsWave(knob->Tag())) return;
    if (shift & platform::ssCtrl)
        knob->SetPosition(NearestPosition(static_cast<double>(knob->Max()) * kResetValues[knob->Tag()]));
    Rescale(*knob, (shift & platform::ssShift) != 0);
}

void TPluginEditorWindow::ControlMouseUp(Component* sender, platform::MouseButton, platform::ShiftState, int, int) {
    auto* knob = dynamic_cast<toolkit::TDIBDial*>(sender);
    if (knob && ValidIndex(knob->Tag()) && host_) host_->endEdit(knob->Tag());
}

void TPluginEditorWindow::KnobMouseWheel(Component* sender, int notches, platform::ShiftState shift, bool& handled) {
    auto* knob = dynamic_cast<toolkit::TDIBDial*>(sender);
    if (!knob || !ValidIndex(knob->Tag())) return;
    handled = true;
    if (!knob->Enabled()) return;
    if (!IsWave(knob->Tag())) {
        const int positions = (shift & platform::ssShift) ? kFinePositions : kCoarsePositions;
        if (knob->Max() != positions) Rescale(*knob, positions == kFinePositions);
    }
    // Fires OnChange, so the value reaches the plug-in as a drag's does;
    // each notch is a gesture of its own.
    if (host_) host_->beginEdit(knob->Tag());
    knob->SetPosition(knob->Position() + notches);
    if (host_) host_->endEdit(knob->Tag());
}

void TPluginEditorWindow::ButtonClick(Component* sender, platform::MouseButton, platform::ShiftState, int, int) {
    auto* picture = dynamic_cast<platform::Image*>(sender);
    if (!picture) return;
    const int tag = picture->Tag();
    if (tag < 1 || tag > 8) return;
    SwitchPair& pair = switches_[static_cast<size_t>((tag - 1) / 2)];
    const bool wasOn = (tag % 2) == 1;
    (wasOn ? pair.on : pair.off)->SetVisible(false);
    (wasOn ? pair.off : pair.on)->SetVisible(true);
    mirror_[pair.index] = wasOn ? 0.0f : 1.0f;
    if (pair.index == kSync) {
        UpdateEditBox(kRate1);
        UpdateEditBox(kRate2);
    }
    if (host_) host_->beginEdit(pair.index);
    Send(pair.index);
    if (host_) host_->endEdit(pair.index);
}

void TPluginEditorWindow::UpdateWave(int index) {
    toolkit::TDIBDial& knob = *knobs_[index];
    auto& pictures = index == kWave1 ? waves1_ : waves2_;
    const int newWave = NearestPosition(static_cast<double>(mirror_[index]) * kWavePositions);
    const int oldWave = NearestPosition(static_cast<double>(shown_[index]) * kWavePositions);
    knob.SetPosition(newWave);
    if (index == kWave2 && oldWave == 0) {
        // Modulator 2 stops following modulator 1: its rate comes back.
        knobs_[kRate2]->SetEnabled(true);
        knobs_[kRate2]->SetOpacity(255);
        readouts_[kRate2]->SetVisible(true);
    }
    if (oldWave >= 1 && oldWave <= 10) pictures[static_cast<size_t>(oldWave)]->SetVisible(false);
    if (index == kWave2 && newWave == 0) {
        knobs_[kRate2]->SetEnabled(false);
        knobs_[kRate2]->SetOpacity(0);
        readouts_[kRate2]->SetVisible(false);
    }
    if (newWave >= 1 && newWave <= 10) pictures[static_cast<size_t>(newWave)]->SetVisible(true);
}

void TPluginEditorWindow::UpdateSwitch(SwitchPair& pair) {
    const int64_t v = nearestInt64(mirror_[pair.index]);
    bool switched = false;
    if (v == 0 && pair.on->Visible()) {
        pair.on->SetVisible(false);
        pair.off->SetVisible(true);
        switched = true;
    } else if (v == 1 && !pair.on->Visible()) {
        pair.on->SetVisible(true);
        pair.off->SetVisible(false);
        switched = true;
    }
    if (switched && pair.index == kSync) {
        UpdateEditBox(kRate1);
        UpdateEditBox(kRate2);
    }
}

void TPluginEditorWindow::UpdateControls() {
    updating_ = true;
    for (int i : kKnobOrder) {
        if (shown_[i] == mirror_[i]) continue;
        if (IsWave(i)) {
            UpdateWave(i);
        } else {
            knobs_[i]->SetPosition(NearestPosition(static_cast<double>(mirror_[i]) * knobs_[i]->Max()));
            UpdateEditBox(static_cast<int16_t>(i));
        }
        shown_[i] = mirror_[i];
    }
    updating_ = false;
    for (SwitchPair& pair : switches_) UpdateSwitch(pair);
}

}  // namespace trv4
