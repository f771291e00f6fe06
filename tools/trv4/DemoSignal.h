// The built-in demo signal of `trv4 render` without an input file: about
// seven seconds of plucked notes (Karplus-Strong strings) over a soft pad,
// made by code at the render's sample rate, so that a new user hears the
// effect at once. Deterministic: the same rate always gives the same samples.
#pragma once

#include <memory>
#include <vector>

#include "tools/trv4/AudioFile.h"

namespace trv4tool {

// Interleaved stereo frames, peak at -6 dBFS.
std::vector<float> makeDemoSignal(int sampleRate);

// The demo as an input file.
std::unique_ptr<AudioReader> openDemoReader(int sampleRate);

}  // namespace trv4tool
