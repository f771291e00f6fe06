// The library's one export, clap_entry, with the plug-in factory and the
// plug-in's descriptor. Only this name leaves the library: a module
// definition file on Windows, a linker version script on Linux.
#include "clap/ClapEntry.h"

#include <cstring>
#include <new>

#include "ProductInfo.h"
#include "clap/ClapPlugin.h"

#if defined(_WIN32)
#define TRV4_CLAP_EXPORT
#else
#define TRV4_CLAP_EXPORT __attribute__((visibility("default")))
#endif

namespace trv4clap {

namespace {

const char* const kFeatures[] = {"audio-effect", "stereo", "chorus", "flanger", "delay", "tremolo", nullptr};

const clap::plugin_descriptor kDescriptor{
    clap::kVersion,
    kPluginId,
    trv4::product::kName,
    trv4::product::kVendor,
    trv4::product::kAddress,
    trv4::product::kAddress,
    trv4::product::kAddress,
    trv4::product::kVersionText,
    "Stereo modulation delay: chorus, flanger, vibrato, tremolo, auto-pan and rotary sounds",
    kFeatures,
};

uint32_t CLAP_CALL factoryCount(const clap::plugin_factory*) { return 1; }

const clap::plugin_descriptor* CLAP_CALL factoryDescriptor(const clap::plugin_factory*, uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

const clap::plugin* CLAP_CALL factoryCreate(const clap::plugin_factory*, const clap::host* host, const char* id) {
    if (!host || !id || !clap::isCompatible(host->clap_version) || std::strcmp(id, kPluginId) != 0) return nullptr;
    auto* plugin = new (std::nothrow) ClapPlugin(host);
    if (!plugin) return nullptr;
    plugin->setDescriptor(&kDescriptor);
    return plugin->record();
}

const clap::plugin_factory kPluginFactory{factoryCount, factoryDescriptor, factoryCreate};

bool CLAP_CALL entryInit(const char*) { return true; }

void CLAP_CALL entryDeinit() {}

const void* CLAP_CALL entryFactory(const char* id) {
    if (!id) return nullptr;
    if (!std::strcmp(id, clap::kPluginFactoryId)) return &kPluginFactory;
    if (!std::strcmp(id, clap::kPresetDiscoveryFactoryId) || !std::strcmp(id, clap::kPresetDiscoveryFactoryIdCompat))
        return &kPresetDiscoveryFactory;
    return nullptr;
}

}  // namespace

}  // namespace trv4clap

extern "C" {
TRV4_CLAP_EXPORT extern const clap::plugin_entry clap_entry;
const clap::plugin_entry clap_entry{clap::kVersion, trv4clap::entryInit, trv4clap::entryDeinit, trv4clap::entryFactory};
}
