// The read-out texts and the meter cover of TPluginEditorWindow: the
// numbers come from the pure functions of ReadoutText.h and MeterScale.h,
// this file only decides which label or picture they go to. Window thread
// only.
#include "editor/MeterScale.h"
#include "editor/ReadoutText.h"
#include "editor/TPluginEditorWindow.h"

namespace trv4 {

void TPluginEditorWindow::UpdateEditBox(int16_t index) {
    if (index < 0 || index >= kNumParams || !readouts_[index]) return;
    platform::Label& label = *readouts_[index];
    // A synced rate shows its note value, uncut.
    if ((index == kRate1 || index == kRate2) && mirror_[kSync] > 0.5f) {
        GetTempoCode(mirror_[index]);
        label.SetCaption(tempoCode_);
        return;
    }
    float value;
    if (!ReadoutValue(index, mirror_[index], value)) return;
    label.SetCaption(FixedReadout(value).text);
}

void TPluginEditorWindow::GetTempoCode(float rate) { tempoCode_ = TempoCode(rate, hostTempo_).text; }

void TPluginEditorWindow::UpdateMeter() {
    meterSegmentCount_ = trv4::MeterSegmentCount(meterLevel_);
    // A steady level costs no repaint: the cover moves only with the count.
    if (meterSegmentCount_ != lastSegmentCount_) meter_->SetHeight(MeterCoverHeight(meterSegmentCount_));
    lastSegmentCount_ = meterSegmentCount_;
}

}  // namespace trv4
