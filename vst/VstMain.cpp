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
        // Out of memory or anything else: the host gets no record.
        return nullptr;
    }
}

}  // namespace vst
