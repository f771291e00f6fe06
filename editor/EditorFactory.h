// How the VST 2 plug-in makes its editor. The plug-in sees the glue only as
// EditorGlue, the host interface's editor base with the one vendor-specific
// request the editor answers; the window, the toolkit and the test port stay
// behind this header.
#pragma once

#include <memory>

#include "vst/AEffEditor.h"

namespace trv4 {

class EditorHost;

class EditorGlue : public vst::AEffEditor {
public:
    using vst::AEffEditor::AEffEditor;

    // effVendorSpecific's index, value and pointer: hands out the editor test
    // port (EditorTestPort.h) when they ask for it and answers 1; answers 0
    // to every other request and when the port cannot be made.
    virtual vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr) = 0;
};

// The editor glue of effect, reading and sending through host (the plug-in
// object is both). It lives as long as effect and is never null.
std::unique_ptr<EditorGlue> createPluginEditor(EditorHost& host, vst::AudioEffect* effect);

}  // namespace trv4
