// TPluginEditorWindow: the plug-in's 755 x 370 editor form. It is read from
// its stored description (editor/PluginEditorWindow.form with the skin's
// pictures, embedded in the binary at build time), owns every control on it
// and binds them to the 21 parameters both ways: a knob turn or switch press
// becomes an automated parameter change of the plug-in, and the parameter
// mirror that the glue fills moves knobs, read-outs, switches and wave
// pictures. It keeps the read-out texts (EditorReadouts.cpp) and the meter
// cover (same file) in line, and starts the logo, manual and about actions.
//
// The handlers are split by concern: construction and lookup here
// (TPluginEditorWindow.cpp), the binding in EditorBinding.cpp, read-outs and
// meter in EditorReadouts.cpp.
//
// Window thread only (the host's user-interface thread). It reaches the
// plug-in only through EditorHost::setParameterAutomated; the glue copies
// parameter values, meter level and tempo in.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ParamIndex.h"
#include "platform/Form.h"
#include "platform/Image.h"
#include "platform/Label.h"

namespace toolkit {
class TDIBDial;
class TDIBContainer;
struct TDIBPopupMenu;
}  // namespace toolkit

namespace trv4 {

class EditorHost;

class TPluginEditorWindow : public platform::Form {
public:
    // Reads the description into a new child window of parent and runs
    // FormCreate. Raises platform::FormError (or the toolkit's errors) for a
    // description that does not make this window, and std::runtime_error
    // when a control the binding needs is missing.
    TPluginEditorWindow(platform::Backend& backend, uintptr_t parent, std::string_view description);
    ~TPluginEditorWindow() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes the classes the description names known to the reader (idempotent).
    static void RegisterClasses();

    // The plug-in the controls send to; null sends nothing.
    void SetHost(EditorHost* host) { host_ = host; }

    // --- State the glue copies in ----------------------------------------
    void SetMirror(int index, float value) { mirror_[index] = value; }
    double HostTempo() const { return hostTempo_; }
    void SetHostTempo(double bpm) { hostTempo_ = bpm; }
    void SetMeterLevel(float level) { meterLevel_ = level; }

    // --- Handlers bound by name in the description -------------------------
    void FormCreate(platform::Component* sender);
    void FormPaint(platform::Component* sender);
    void KnobControlChange(platform::Component* sender);
    void ControlMouseDown(platform::Component* sender, platform::MouseButton button, platform::ShiftState shift, int x,
                          int y);
    // Ends the gesture ControlMouseDown began (bound in code).
    void ControlMouseUp(platform::Component* sender, platform::MouseButton button, platform::ShiftState shift, int x,
                        int y);
    void ButtonClick(platform::Component* sender, platform::MouseButton button, platform::ShiftState shift, int x,
                     int y);
    void LogoClick(platform::Component* sender);
    void UsersManualClick(platform::Component* sender);
    void AboutClick(platform::Component* sender);
    // A wheel notch over a knob (bound in code): one wave on the wave knobs,
    // 1/100 of the range on the others (1/1000 with Shift, rescaling the
    // knob as a Shift press does); reaches the plug-in like a drag.
    void KnobMouseWheel(platform::Component* sender, int notches, platform::ShiftState shift, bool& handled);

    // Shows the window at percent (100 ... 200) of its size: the pictures
    // are drawn again by the skin code at that size and the windows resized;
    // places, input and behaviour stay in logical (100 %) pixels
    // (EditorScale.cpp).
    void SetScalePercent(int percent);
    int ScalePercent() const { return PaintScale().percent; }
    // The size menu: a right click on the panel outside the controls shows
    // "Size: 100%" ... "Size: 200%" (the current size checked); picking an
    // item calls OnSizeChosen with its per cent, and the glue decides
    // (EditorSizeMenu.cpp).
    std::function<void(int percent)> OnSizeChosen;
    // The host's window moved to a screen of another density (dots per
    // inch, 96 at 100 %).
    std::function<void(int dpi)> OnDpiChanged;
    void DpiChanged(int dpi) override;

    // Brings every control in line with the mirror (see EditorBinding.cpp).
    void UpdateControls();
    // Writes read-out `index`'s text into its label; nothing for indices
    // without one.
    void UpdateEditBox(int16_t index);
    // Leaves the note value of a synced rate in the tempo-code text.
    void GetTempoCode(float rate);
    // Sets the meter cover's height from the meter level, when the lit
    // segment count changed.
    void UpdateMeter();

    // The controls, for the glue, the test port and the tests.
    toolkit::TDIBDial* Knob(int index) const { return knobs_[index]; }
    platform::Label* Readout(int index) const { return readouts_[index]; }
    platform::Image* MeterCover() const { return meter_; }

private:
    // The parameters that have a knob (all but the switches and the spare),
    // in the order UpdateControls moves them.
    static constexpr int kKnobOrder[] = {kHiCut, kDelay, kLevel,  kMix, kWave1,      kRate1,    kDepth, kAM,
                                         kWave2, kRate2, kOffset, kPan, kHostOffset, kFeedback, kHigh,  kLow};

    struct SwitchPair {
        platform::Image* on;
        platform::Image* off;
        int index;  // the parameter
    };

    void RegisterMethods();
    void FindControls();
    // Gives the chassis the size menu.
    void AttachSizeMenu();
    void ShowSizeMenu(platform::Component* sender, toolkit::TDIBPopupMenu& menu, int x, int y);
    // Rescales a continuous knob to 100 (or 1000 in fine mode) positions,
    // keeping its value.
    void Rescale(toolkit::TDIBDial& knob, bool fine);
    void Send(int index);
    void UpdateWave(int index);
    void UpdateSwitch(SwitchPair& pair);

    EditorHost* host_ = nullptr;
    std::string tempoCode_;
    double hostTempo_ = 0;
    float meterLevel_ = 1e-20f;
    int8_t meterSegmentCount_ = 0;
    int8_t lastSegmentCount_ = 0;
    bool updating_ = false;
    std::array<float, kNumParams> mirror_{};
    std::array<float, kNumParams> shown_{};

    std::array<toolkit::TDIBDial*, kNumParams> knobs_{};
    std::array<platform::Label*, kNumParams> readouts_{};
    std::array<SwitchPair, 4> switches_{};
    std::array<platform::Image*, 11> waves1_{};  // 1..10
    std::array<platform::Image*, 11> waves2_{};
    platform::Image* meter_ = nullptr;
    std::unique_ptr<toolkit::TDIBPopupMenu> sizeMenu_;
};

}  // namespace trv4
