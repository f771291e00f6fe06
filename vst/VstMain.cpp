#include <new>

#include "vst/FloatControl.h"
#include "vst/VstEntry.h"

namespace vst {

AEffect* createEffectRecord(AudioMasterCallback audioMaster) {
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        // Out of memory or anything else: no exception may cross the host's
        // entry point, so the host gets no record instead.
        return nullptr;
    }
}

}  // namespace vst
