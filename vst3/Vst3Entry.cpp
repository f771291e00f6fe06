// The VST3 module's exports: the factory entry, and the module entry and
// exit functions that hosts call around it (ModuleEntry and ModuleExit on
// Linux, InitDll and ExitDll on Windows). Only these names leave the module:
// a linker version script on Linux, a module definition file on Windows.
// The plug-in keeps no module-wide state, so entry and exit only answer.
#include "vst3/Vst3Factory.h"

#if defined(_WIN32)
#define TRV4_EXPORT
#else
#define TRV4_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

TRV4_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory() { return trv4::Vst3Factory::acquire(); }

#if defined(_WIN32)
TRV4_EXPORT bool InitDll() { return true; }
TRV4_EXPORT bool ExitDll() { return true; }
#else
TRV4_EXPORT bool ModuleEntry(void*) { return true; }
TRV4_EXPORT bool ModuleExit() { return true; }
#endif
}
