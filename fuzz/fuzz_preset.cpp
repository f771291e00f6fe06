// Fuzz target: the preset file reader (program and bank files). Any input
// is either refused with a reason, leaving the result untouched, or read
// into a preset that writes back to bytes reading as the same preset (names
// cut to the 27 characters the writer stores).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/trv4/PresetFile.h"

namespace {

bool samePreset(const trv4tool::Preset& a, const trv4tool::Preset& b) {
    if (a.kind != b.kind || a.fxID != b.fxID || a.fxVersion != b.fxVersion || a.programs.size() != b.programs.size())
        return false;
    if (a.kind == trv4tool::PresetKind::Bank && a.currentProgram >= 0 && a.currentProgram != b.currentProgram)
        return false;
    for (size_t i = 0; i < a.programs.size(); ++i) {
        const auto& p = a.programs[i];
        const auto& q = b.programs[i];
        // A name read from a full 28-byte field is written back in 27.
        if (p.name.substr(0, trv4tool::kPresetNameBytes - 1) != q.name || p.values.size() != q.values.size())
            return false;
        if (!p.values.empty() && std::memcmp(p.values.data(), q.values.data(), p.values.size() * sizeof(float)) != 0)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    trv4tool::Preset preset;
    preset.fxID = 0x5A5A5A5A;
    std::string error;
    if (!trv4tool::readPreset(data, size, preset, error)) {
        if (error.empty() || preset.fxID != 0x5A5A5A5A || !preset.programs.empty()) std::abort();
        return 0;
    }
    const trv4tool::PluginShape shape{0x37393433, 1, 45, 21};
    std::string warning;
    trv4tool::presetFits(preset, shape, error, warning);
    // Banks of programs with differing value counts cannot be written.
    for (const auto& p : preset.programs)
        if (p.values.size() != preset.programs.front().values.size()) return 0;
    const std::vector<uint8_t> bytes = trv4tool::writePreset(preset);
    trv4tool::Preset again;
    if (!trv4tool::readPreset(bytes.data(), bytes.size(), again, error) || !samePreset(preset, again)) std::abort();
    return 0;
}
