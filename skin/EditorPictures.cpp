#include "skin/EditorPictures.h"

#include <charconv>

#include "skin/SkinPictures.h"

namespace trv4skin {

namespace {

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (n == name) return true;
    return false;
}

// n of "LWFn" or "RWFn" (1..10), else 0.
int WaveNumber(std::string_view name) {
    if (name.size() < 4 || !(name.starts_with("LWF") || name.starts_with("RWF"))) return 0;
    int n = 0;
    const auto [end, error] = std::from_chars(name.data() + 3, name.data() + name.size(), n);
    return error == std::errc() && end == name.data() + name.size() && n >= 1 && n <= kWaveCount ? n : 0;
}

}  // namespace

bool DrawListItem(int index, toolkit::TMemoryDIB& dib, const Placement& at) {
    switch (index) {
    case 0: DrawPointer(dib, at); return true;
    case 1: DrawKnobBody(dib, at); return true;
    case 2: DrawChassis(dib, at); return true;
    default: return false;
    }
}

bool DrawControlPicture(std::string_view name, toolkit::TMemoryDIB& dib, const Placement& at) {
    if (IsOneOf(name, {"MonoOn", "dbOn", "SpreadOn", "EnableOn"})) {
        DrawSwitch(true, dib, at);
    } else if (IsOneOf(name, {"MonoOff", "dbOff", "SpreadOff", "EnableOff"})) {
        DrawSwitch(false, dib, at);
    } else if (name == "Meter") {
        DrawMeterCover(dib, at);
    } else if (const int n = WaveNumber(name)) {
        DrawWave(n, dib, at);
    } else {
        return false;
    }
    return true;
}

}  // namespace trv4skin
