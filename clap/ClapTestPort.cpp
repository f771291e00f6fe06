// Our tools' extension (TestPortExtension.h): the editor test port and the
// replay seed, answered as the VST 2 build answers its vendor-specific
// requests. Main thread.
#include "clap/ClapPlugin.h"
#include "editor/EditorFactory.h"
#include "editor/EditorTestPort.h"
#include "plugin/ReplaySeed.h"

namespace trv4clap {

namespace {

bool CLAP_CALL fillTestPort(const clap::plugin* p, void* port) {
    trv4::EditorGlue* glue = ClapPlugin::from(p)->editorGlue();
    return glue && port && glue->vendorSpecific(trv4::kTestPortIndex, trv4::kTestPortValue, port, 0.0f) == 1;
}

void CLAP_CALL seedRandom(const clap::plugin* p, uint64_t seed) {
    ClapPlugin::from(p)->effect().vendorSpecific(trv4::kReplaySeedIndex, trv4::kReplaySeedValue, &seed, 0.0f);
}

}  // namespace

const plugin_editor_test_port ClapPlugin::kTestPort{fillTestPort, seedRandom};

}  // namespace trv4clap
