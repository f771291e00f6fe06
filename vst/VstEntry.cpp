// The library's exports. Hosts look for VSTPluginMain first and main second;
// both are the same entry. Only these two names leave the library: a module
// definition file on Windows, a linker version script on Linux.
#include "vst/AudioEffect.h"
#include "vst/VstEntry.h"

#if defined(_WIN32)
#define TRV4_EXPORT
#else
#define TRV4_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TRV4_EXPORT vst::AEffect* VSTPluginMain(vst::AudioMasterCallback audioMaster) {
    return vst::createEffectRecord(audioMaster);
}

#if !defined(_WIN32)
// C++ does not allow a function called main that returns a pointer; on ELF
// an assembler label gives the entry that name.
extern "C" TRV4_EXPORT vst::AEffect* trv4LegacyMain(vst::AudioMasterCallback audioMaster) __asm__("main");
extern "C" vst::AEffect* trv4LegacyMain(vst::AudioMasterCallback audioMaster) {
    return vst::createEffectRecord(audioMaster);
}
#endif
