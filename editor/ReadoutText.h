// The texts of the editor's numeric read-outs, as pure functions: the
// 5-character fixed number format, the value each read-out shows in its own
// unit, and the note value of a synced rate. No locale: the digits come
// from the float32's exact decimal value (text/ExactDecimal.h), so the text
// is the same in every host process. Any thread; no allocation.
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

// The value read-out `index` shows for parameter value p: its law in
// engine/ParameterLaws.h, computed in extended precision (long double) and
// stored as float32; false for the parameters without a number (the waves,
// the switches, the spare) and for indices beyond them.
bool ReadoutValue(int index, float p, float& value);

// The note value of a synced rate (Rate 1 or Rate 2) at the host tempo in beats per
// minute: "--------" while the tempo is 0, else "N/1" or "1/N", the length
// of one modulator cycle in whole notes.
ReadoutText TempoCode(float rate, double hostTempo);

}  // namespace trv4
