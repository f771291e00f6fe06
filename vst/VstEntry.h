// What the library entry does, apart from exporting names.
#pragma once

#include "vst/AudioEffect.h"

namespace vst {

// Supplied by the plug-in: creates its one effect object. Returns null when
// the object cannot be created.
AudioEffect* createEffectInstance(AudioMasterCallback audioMaster);

// Asks the host's interface version (a host that answers 0 gets null), then
// creates the effect and returns its record. Never throws.
AEffect* createEffectRecord(AudioMasterCallback audioMaster);

}  // namespace vst
