// The one process-wide pseudo-random generator, uniform on [0, 1). Every
// effect object of the process shares it; each construction reseeds it from
// the high-resolution clock. Draws are made on the audio thread: dither first,
// then modulator 1, then modulator 2 at each sample step.
#pragma once

namespace trv4 {

void seedRandomFromClock();
double nextRandom();

}  // namespace trv4
