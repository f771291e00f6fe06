// Indices of the 21 parameters, shared by the engine, the shell and the
// editor. Their names, value laws and units are the rows of kParameterLaws
// (engine/ParameterLaws.h), in this order.
#pragma once

namespace trv4 {

enum ParamIndex : int {
    kDelay = 0,
    kLevel,
    kMix,
    kWave1,
    kRate1,
    kDepth,
    kAM,
    kWave2,
    kRate2,
    kOffset,
    kPan,
    kHostOffset,
    kFeedback,
    kHigh,
    kLow,
    kMono,
    kMinus20dB,
    kSpread,
    kSync,
    kHiCut,
    kSpare,
    kNumParams
};

static_assert(kNumParams == 21);

}  // namespace trv4
