// A private interface of the VST3 plug-in for our own tools and tests: it
// sets the state of the module's random generator (the dither and the
// random wave shape draw from it), so that a render can be replayed sample
// for sample against another build of the same plug-in, and hands out the
// editor's test port. Reached only through
// queryInterface with the identifier below; no host knows it.
#pragma once

#include "vst3/Vst3Base.h"

namespace trv4 {

class IVst3TestPort : public vst3::FUnknown {
public:
    // The generator's next draws are those of a generator seeded with seed.
    virtual void VST3_CALL seedRandom(vst3::uint64 seed) = 0;
    // Fills port, an EditorTestPort (editor/EditorTestPort.h) whose size
    // field the caller set: 1 when it did. From then on the editor's views
    // open on the port's headless backend, whatever window they are given.
    virtual vst3::TBool VST3_CALL fillEditorTestPort(void* port) = 0;
    static constexpr vst3::Uid iid = vst3::makeUid(0x54525634, 0x54657374, 0x506F7274, 0x00000001);
};

}  // namespace trv4
