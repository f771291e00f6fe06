// Our definitions of the CLAP preset-discovery factory: how an indexing host
// learns the presets a plug-in carries without instantiating it. Layouts,
// identifier strings and numbers are the interface's; spellings ours (see
// ClapCore.h).
#pragma once

#include "clap/ClapCore.h"

namespace clap {

constexpr char kPresetDiscoveryFactoryId[] = "clap.preset-discovery-factory/2";
constexpr char kPresetDiscoveryFactoryIdCompat[] = "clap.preset-discovery-factory/draft-2";

constexpr uint32_t kPresetIsFactoryContent = 1u << 0;
constexpr uint32_t kPresetIsUserContent = 1u << 1;

struct universal_plugin_id {
    const char* abi;  // "clap", "vst2", ...
    const char* id;
};

using timestamp = uint64_t;  // seconds since 1970; 0 unknown

struct preset_discovery_metadata_receiver {
    void* receiver_data;
    void(CLAP_CALL* on_error)(const preset_discovery_metadata_receiver* receiver, int32_t os_error,
                              const char* message);
    bool(CLAP_CALL* begin_preset)(const preset_discovery_metadata_receiver* receiver, const char* name,
                                  const char* load_key);
    void(CLAP_CALL* add_plugin_id)(const preset_discovery_metadata_receiver* receiver,
                                   const universal_plugin_id* plugin_id);
    void(CLAP_CALL* set_soundpack_id)(const preset_discovery_metadata_receiver* receiver, const char* soundpack_id);
    void(CLAP_CALL* set_flags)(const preset_discovery_metadata_receiver* receiver, uint32_t flags);
    void(CLAP_CALL* add_creator)(const preset_discovery_metadata_receiver* receiver, const char* creator);
    void(CLAP_CALL* set_description)(const preset_discovery_metadata_receiver* receiver, const char* description);
    void(CLAP_CALL* set_timestamps)(const preset_discovery_metadata_receiver* receiver, timestamp creation_time,
                                    timestamp modification_time);
    void(CLAP_CALL* add_feature)(const preset_discovery_metadata_receiver* receiver, const char* feature);
    void(CLAP_CALL* add_extra_info)(const preset_discovery_metadata_receiver* receiver, const char* key,
                                    const char* value);
};

struct preset_discovery_filetype {
    const char* name;
    const char* description;
    const char* file_extension;
};

struct preset_discovery_location {
    uint32_t flags;
    const char* name;
    uint32_t kind;         // kPresetLocationFile or kPresetLocationPlugin (ClapExtensions.h)
    const char* location;  // null for kPresetLocationPlugin
};

struct preset_discovery_soundpack {
    uint32_t flags;
    const char* id;
    const char* name;
    const char* description;
    const char* homepage_url;
    const char* vendor;
    const char* image_path;
    timestamp release_timestamp;
};

struct preset_discovery_provider_descriptor {
    clap::version clap_version;
    const char* id;
    const char* name;
    const char* vendor;
};

struct preset_discovery_provider {
    const preset_discovery_provider_descriptor* desc;
    void* provider_data;
    bool(CLAP_CALL* init)(const preset_discovery_provider* provider);
    void(CLAP_CALL* destroy)(const preset_discovery_provider* provider);
    bool(CLAP_CALL* get_metadata)(const preset_discovery_provider* provider, uint32_t location_kind,
                                  const char* location, const preset_discovery_metadata_receiver* receiver);
    const void*(CLAP_CALL* get_extension)(const preset_discovery_provider* provider, const char* extension_id);
};

struct preset_discovery_indexer {
    clap::version clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexer_data;
    bool(CLAP_CALL* declare_filetype)(const preset_discovery_indexer* indexer, const preset_discovery_filetype* type);
    bool(CLAP_CALL* declare_location)(const preset_discovery_indexer* indexer,
                                      const preset_discovery_location* location);
    bool(CLAP_CALL* declare_soundpack)(const preset_discovery_indexer* indexer,
                                       const preset_discovery_soundpack* soundpack);
    const void*(CLAP_CALL* get_extension)(const preset_discovery_indexer* indexer, const char* extension_id);
};

struct preset_discovery_factory {
    uint32_t(CLAP_CALL* count)(const preset_discovery_factory* factory);
    const preset_discovery_provider_descriptor*(CLAP_CALL* get_descriptor)(const preset_discovery_factory* factory,
                                                                           uint32_t index);
    const preset_discovery_provider*(CLAP_CALL* create)(const preset_discovery_factory* factory,
                                                        const preset_discovery_indexer* indexer,
                                                        const char* provider_id);
};

}  // namespace clap
