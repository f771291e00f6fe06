#include "plugin/ParameterDisplay.h"

#include <cmath>

#include "plugin/NumberFormat.h"
#include "text/TextWriter.h"

namespace trv4 {

float displayValue(const ParameterLaw& law, float x) {
    const auto power = [](double base, double p) { return std::exp(p * std::log(base)); };
    return static_cast<float>(lawValue<double>(law, x, power));
}

void formatParameterDisplay(int index, float x, unsigned wave1, unsigned wave2, char* text) {
    TextWriter out(text, static_cast<int>(kDisplayTextCapacity));
    if (index < 0 || index >= kNumParams) return;
    const ParameterLaw& law = kParameterLaws[index];
    switch (law.law) {
    case Law::kExponential:
    case Law::kLinear:
        out.put(num(displayValue(law, x)).text);
        out.put(law.unit);
        break;
    case Law::kWave1: out.putDecimal(wave1); break;
    case Law::kWave2: out.putDecimal(wave2); break;
    case Law::kSwitch: out.put(x > 0.5f ? "ON" : "OFF"); break;
    case Law::kNone: break;
    }
}

}  // namespace trv4
