// APluginProgram: one program, 21 parameter values and a name. The plug-in
// object owns 45 of them, made from the factory table at construction.
//
// Threads: values are written through by setParameter (host automation, the
// audio thread, or the editor's window thread) and read by setProgram and the
// editor, so each is a single relaxed atomic. The name is read and written
// on the dispatcher's thread only.
#pragma once

#include <atomic>
#include <cstddef>

#include "engine/ParamIndex.h"
#include "plugin/HostText.h"

namespace trv4 {

class APluginProgram {
public:
    static constexpr std::size_t kNameCapacity = 49;  // 48 characters and the terminator
    // Names received from the host are cut at the interface's program-name
    // length; the factory names are shorter (22 characters at most).
    static constexpr std::size_t kMaxNameChars = kMaxProgramNameChars;

    // All values 0, empty name.
    APluginProgram();
    // Row factoryIndex (0..44) of the factory table; any other index gives
    // the empty program.
    explicit APluginProgram(int factoryIndex);
    APluginProgram(const APluginProgram& other);
    APluginProgram& operator=(const APluginProgram& other);

    float value(int index) const { return values[index].load(std::memory_order_relaxed); }
    void setValue(int index, float v) { values[index].store(v, std::memory_order_relaxed); }

    const char* name() const { return programName; }
    // Copies at most kMaxNameChars characters of text, reading no further.
    void setName(const char* text);

private:
    std::atomic<float> values[kNumParams];
    char programName[kNameCapacity];
};

}  // namespace trv4
