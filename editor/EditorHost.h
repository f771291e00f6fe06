// EditorHost: all the editor may ask of the plug-in it belongs to. The
// plug-in object implements it; the editor glue and window hold it by
// reference and see neither the plug-in class, nor its engine, nor the
// plug-in format it was loaded through. Every answer is a value: nothing here
// hands out state that the audio thread writes.
//
// Called on the host's user-interface thread. The reads are single relaxed
// atomic loads, so they may race with a block being processed and see the
// value from before or after it, never a torn one.
#pragma once

namespace trv4 {

class EditorHost {
public:
    // The stored value (0..1) of parameter index, 0 <= index < kNumParams.
    virtual float parameterValue(int index) const = 0;
    // A change the user made: stored as a host's own setParameter stores it
    // (clamped, written into the current program, the editor marked for an
    // update), then reported to the host as automation.
    virtual void setParameterAutomated(int index, float value) = 0;
    // A gesture on the control of parameter index: begun at a press or
    // before a wheel notch, ended at the release or after the notch; the
    // changes made in between belong to it. Hosts that record automation
    // group them; the VST 2 plug-in tells its host nothing.
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;
    // The output level the meter shows (linear peak), as last published by
    // the audio thread.
    virtual float meterLevel() const = 0;
    // The host's tempo in beats per minute as last read by the audio
    // thread; 0 until the host reported one.
    virtual double hostTempo() const = 0;
    // The open editor would like to be width x height physical pixels (its
    // size changed while open): true when the host made room for it (VST 2:
    // audioMasterSizeWindow answered 1). The editor keeps its old size on
    // false. Host user-interface thread.
    virtual bool requestEditorSize(int width, int height) { return false; }

protected:
    ~EditorHost() = default;
};

}  // namespace trv4
