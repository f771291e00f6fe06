// ProgramBank: the programs of the plug-in as a whole, for plug-in formats
// that save and restore them as one block of state instead of through the
// host's program and parameter calls. The plug-in object implements it.
//
// Reads may run on any thread (values are single relaxed atomics, names are
// read on the main thread only); restoreProgram runs on the main thread.
#pragma once

namespace trv4 {

class ProgramBank {
public:
    // The values and name of program `program` (0 <= program < kNumPrograms)
    // without selecting it.
    virtual float programValue(int program, int index) const = 0;
    virtual const char* programName(int program) const = 0;
    // Replaces the values and name of one program without selecting it (the
    // values clamped to 0..1, the name cut as setProgramName cuts it). The
    // current parameters follow only at the next selection.
    virtual void restoreProgram(int program, const float* values, const char* name) = 0;

protected:
    ~ProgramBank() = default;
};

}  // namespace trv4
