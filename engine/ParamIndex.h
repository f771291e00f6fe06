// Indices of the 21 parameters, shared by the engine, the shell and the editor.
#pragma once

namespace trv4 {

enum ParamIndex : int {
    kDelay = 0,   // 0.05 ms * 12000^p
    kLevel,       // -16 dB + 20 p dB
    kMix,         // wet share
    kWave1,       // nearest(10 p)
    kRate1,       // 0.02 Hz * 1000^p
    kDepth,       // share of the base delay
    kAM,          // amplitude modulation depth by lfo1
    kWave2,       // nearest(10 p), 0 = follow modulator 1
    kRate2,       // 0.02 Hz * 1000^p
    kOffset,      // phase of modulator 2, 0..360 degrees
    kPan,         // auto-pan depth by lfo2
    kHostOffset,  // phase against the song position, 0..360 degrees
    kFeedback,    // (p - 0.5) * 1.98
    kHigh,        // 200 Hz * 100^p
    kLow,         // 20 Hz * 100^p
    kMono,        // on above 0.5
    kMinus20dB,   // on above 0.5 (continuous attenuation law)
    kSpread,      // share of lfo2 in the right tap's sweep
    kSync,        // on above 0.5
    kHiCut,       // 2 kHz * 10^p, off at exactly 1.0
    kSpare,       // stored, never read
    kNumParams
};

static_assert(kNumParams == 21);

}  // namespace trv4
