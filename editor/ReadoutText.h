// The texts of the editor's numeric read-outs, as pure functions: the
// 5-character fixed number format, the value each read-out shows in its own
// unit, and the note value of a synced rate. No locale and no C library
// formatting: the digits come from the float32's exact binary value, so the
// text is the same in every host process. Any thread; no allocation.
#pragma once

#include <cstdint>

namespace trv4 {

// A read-out text: at most 10 characters (the note values), NUL-terminated.
struct ReadoutText {
    static constexpr int kCapacity = 12;
    char text[kCapacity];
    int length;
};

// The fixed format: |v| rounded to 3 decimals or 5 significant digits,
// whichever keeps fewer (halves away from zero), written with exactly three
// digits after the point, "-" before negative values, at least one digit
// before the point; then cut to 5 characters, a point in the fifth place
// becoming a blank ("2000 ", "-100 "). A value that rounds to zero shows no
// sign. Infinities and not-a-number (which the laws never produce) give
// "-----".
ReadoutText FixedReadout(float v);

// The value read-out `index` shows for parameter value p, in its unit,
// computed in extended precision and stored as float32; false for indices
// without a number read-out (3, 7, 15..18, 20 and beyond).
bool ReadoutValue(int index, float p, float& value);

// The note value of a synced rate (p4 or p8) at the host tempo in beats per
// minute: "--------" while the tempo is 0, else "N/1" or "1/N", the length
// of one modulator cycle in whole notes.
ReadoutText TempoCode(float rate, double hostTempo);

}  // namespace trv4
