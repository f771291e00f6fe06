// Minimal identity answers; the full host queries replace them.
#include "plugin/uPlugin.h"

namespace trv4 {

bool APlugin::getOutputProperties(vst::VstInt32, vst::VstPinProperties*) { return false; }
bool APlugin::getEffectName(char* name) { *name = 0; return false; }
bool APlugin::getVendorString(char* text) { *text = 0; return false; }
bool APlugin::getProductString(char* text) { *text = 0; return false; }
vst::VstInt32 APlugin::canDo(char*) { return -1; }

}  // namespace trv4
