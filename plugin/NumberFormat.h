// The general number format of the host display texts: 3 significant
// digits, halves rounded away from zero, trailing zeros dropped, fixed
// notation from 0.0001 up to 999, scientific notation with an exponent of at
// least 3 digits outside it ("2E+004", "2.38E-007"), decimal point '.'.
//
// Rounded on the exact decimal value of the float32 (text/ExactDecimal.h):
// the result never depends on the process locale (the host owns it) nor on
// the runtime's printf rounding. Pure function, any thread; no allocation.
#pragma once

namespace trv4 {

// "-1.23E-045" is the longest text of a finite float32: 10 characters.
struct NumberText {
    static constexpr int kCapacity = 12;
    char text[kCapacity];
    int length;
};

// num(v) of the display texts. Infinities give "INF" / "-INF", not-a-number
// "NAN"; the parameter laws never produce them.
NumberText num(float v);

}  // namespace trv4
