// One program: 21 parameter values and a name. Owned by the plug-in object,
// created from the factory tables at construction.
#pragma once

#include "engine/ParamIndex.h"

namespace trv4 {

class APluginProgram {
public:
    static constexpr int kNameCapacity = 49;  // 48 characters and the terminator

    APluginProgram();
    explicit APluginProgram(int factoryIndex);

    float values[kNumParams];
    char name[kNameCapacity];
};

}  // namespace trv4
