// Identity texts, output pins and capability answers of APlugin. Called on
// the dispatcher's thread. The plug-in keeps no opaque state block: hosts
// save and restore it through parameters, program names and the program
// index, so getChunk and setChunk keep the base answers.
#include "ProductInfo.h"
#include "editor/EditorFactory.h"
#include "engine/Random.h"
#include "plugin/HostText.h"
#include "plugin/ReplaySeed.h"
#include "plugin/uPlugin.h"

namespace trv4 {

namespace {
constexpr const char* kEffectName = product::kName;
constexpr const char* kVendorName = product::kVendor;
constexpr const char* kProductName = product::kName;
constexpr int kNumOutputPins = 2;
}  // namespace

bool APlugin::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) {
    if (!properties || index < 0 || index >= kNumOutputPins) return false;
    // " 1" and " 2"; the arrangement type and short label stay as the host
    // passed them.
    const char label[3] = {' ', static_cast<char>('1' + index), 0};
    copyHostText(properties->label, label, sizeof properties->label - 1);
    properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
    return true;
}

bool APlugin::getEffectName(char* name) {
    copyHostText(name, kEffectName, kMaxEffectNameChars);
    return true;
}

bool APlugin::getVendorString(char* text) {
    copyHostText(text, kVendorName, kMaxVendorTextChars);
    return true;
}

bool APlugin::getProductString(char* text) {
    copyHostText(text, kProductName, kMaxVendorTextChars);
    return true;
}

// No capability is claimed, not even receiving the time information that
// tempo sync reads: hosts answer audioMasterGetTime without it.
vst::VstInt32 APlugin::canDo(char*) { return -1; }

vst::VstIntPtr APlugin::vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) {
    if (index == kReplaySeedIndex && value == kReplaySeedValue && ptr) {
        seedRandom(*static_cast<const uint64_t*>(ptr));
        return 1;
    }
    return editorGlue->vendorSpecific(index, value, ptr, opt);
}

}  // namespace trv4
