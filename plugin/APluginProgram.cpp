// Minimal program: program 0's values only; the factory tables replace it.
#include "plugin/APluginProgram.h"

namespace trv4 {

namespace {
const float kProgram0[kNumParams] = {0.6f, 0.8f, 0.5f, 0.1f, 0.34f, 0.3f, 0, 0.1f, 0.26f, 0, 0,
                                     0,    0.5f, 1,    0,    0,     0,    1, 0,    1,     0};
}

APluginProgram::APluginProgram() : values{}, name{} {}

APluginProgram::APluginProgram(int) : name{} {
    for (int i = 0; i < kNumParams; ++i) values[i] = kProgram0[i];
}

}  // namespace trv4
