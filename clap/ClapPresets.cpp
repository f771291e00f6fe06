// The factory programs as CLAP presets: the preset-discovery factory lists
// the 45 of them inside the plug-in (no files), and the preset-load
// extension selects one, as a VST 2 host's program change does. The key of
// a program is its number, "0" to "44".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ProductInfo.h"
#include "clap/ClapEntry.h"
#include "clap/ClapPlugin.h"
#include "clap/ClapPresetDiscovery.h"
#include "plugin/FactoryPrograms.h"

namespace trv4clap {

namespace {

// The program number a key names, or -1.
int programOfKey(const char* key) {
    if (!key || !*key) return -1;
    char* end = nullptr;
    const long n = std::strtol(key, &end, 10);
    if (*end || n < 0 || n >= trv4::kNumPrograms) return -1;
    return static_cast<int>(n);
}

bool CLAP_CALL presetFromLocation(const clap::plugin* p, uint32_t kind, const char* location, const char* key) {
    return ClapPlugin::from(p)->loadPreset(kind, location, key);
}

// --- Discovery ---------------------------------------------------------------

const clap::preset_discovery_provider_descriptor kProviderDescriptor{
    clap::kVersion, "example.tolvmark.trv-4.factory-programs", "TRV-4 factory programs", trv4::product::kVendor};

struct Provider {
    clap::preset_discovery_provider record;
    const clap::preset_discovery_indexer* indexer;
};

Provider& providerOf(const clap::preset_discovery_provider* p) { return *static_cast<Provider*>(p->provider_data); }

bool CLAP_CALL providerInit(const clap::preset_discovery_provider* p) {
    const clap::preset_discovery_indexer* indexer = providerOf(p).indexer;
    if (!indexer || !indexer->declare_location) return false;
    const clap::preset_discovery_location location{clap::kPresetIsFactoryContent, "TRV-4 factory programs",
                                                   clap::kPresetLocationPlugin, nullptr};
    return indexer->declare_location(indexer, &location);
}

void CLAP_CALL providerDestroy(const clap::preset_discovery_provider* p) { delete &providerOf(p); }

bool CLAP_CALL providerMetadata(const clap::preset_discovery_provider*, uint32_t kind, const char*,
                                const clap::preset_discovery_metadata_receiver* receiver) {
    if (kind != clap::kPresetLocationPlugin || !receiver || !receiver->begin_preset) return false;
    const clap::universal_plugin_id id{"clap", kPluginId};
    for (int program = 0; program < trv4::kNumPrograms; ++program) {
        char key[8];
        std::snprintf(key, sizeof key, "%d", program);
        // A receiver that wants no more says so here.
        if (!receiver->begin_preset(receiver, trv4::kFactoryProgramNames[program], key)) break;
        if (receiver->add_plugin_id) receiver->add_plugin_id(receiver, &id);
        if (receiver->set_flags) receiver->set_flags(receiver, clap::kPresetIsFactoryContent);
        if (receiver->add_creator) receiver->add_creator(receiver, trv4::product::kVendor);
    }
    return true;
}

const void* CLAP_CALL providerExtension(const clap::preset_discovery_provider*, const char*) { return nullptr; }

uint32_t CLAP_CALL discoveryCount(const clap::preset_discovery_factory*) { return 1; }

const clap::preset_discovery_provider_descriptor* CLAP_CALL discoveryDescriptor(const clap::preset_discovery_factory*,
                                                                                uint32_t index) {
    return index == 0 ? &kProviderDescriptor : nullptr;
}

const clap::preset_discovery_provider* CLAP_CALL discoveryCreate(const clap::preset_discovery_factory*,
                                                                 const clap::preset_discovery_indexer* indexer,
                                                                 const char* id) {
    if (!indexer || !id || std::strcmp(id, kProviderDescriptor.id) != 0) return nullptr;
    auto* provider = new (std::nothrow) Provider{};
    if (!provider) return nullptr;
    provider->indexer = indexer;
    provider->record = {&kProviderDescriptor, provider,         providerInit,
                        providerDestroy,      providerMetadata, providerExtension};
    return &provider->record;
}

}  // namespace

const clap::plugin_preset_load ClapPlugin::kPresetLoad{presetFromLocation};

const clap::preset_discovery_factory kPresetDiscoveryFactory{discoveryCount, discoveryDescriptor, discoveryCreate};

bool ClapPlugin::loadPreset(uint32_t kind, const char* location, const char* key) {
    TRV4_CLAP_MAIN_THREAD(threads_);
    const int program = kind == clap::kPresetLocationPlugin ? programOfKey(key) : -1;
    if (program < 0) {
        if (hostPresetLoad_ && hostPresetLoad_->on_error)
            hostPresetLoad_->on_error(host_, kind, location, key, 0, "TRV-4 has no such preset");
        return false;
    }
    effect_->setProgram(program);
    valuesChanged();
    if (hostPresetLoad_ && hostPresetLoad_->loaded) hostPresetLoad_->loaded(host_, kind, location, key);
    return true;
}

}  // namespace trv4clap
