// How the VST 2 plug-in makes its editor. The plug-in sees the glue only as
// EditorGlue, the host interface's editor base with the one vendor-specific
// request the editor answers; the window, the toolkit and the test port stay
// behind this header.
#pragma once

#include <memory>

#include "vst/AEffEditor.h"

namespace trv4 {

class EditorHost;

// effVendorSpecific's size hint: index 'PreS', value 'AeCs', the factor in opt.
constexpr vst::VstInt32 kSizeHintIndex = 0x50726553;   // 'P' 'r' 'e' 'S'
constexpr vst::VstIntPtr kSizeHintValue = 0x41654373;  // 'A' 'e' 'C' 's'

class EditorGlue : public vst::AEffEditor {
public:
    using vst::AEffEditor::AEffEditor;

    // effVendorSpecific's index, value, pointer and opt: hands out the editor
    // test port (EditorTestPort.h) when they ask for it, takes a host's size
    // hint (kSizeHintIndex, kSizeHintValue, the scale factor in opt; before
    // the window opens); answers 1
    // for those, 0 for every other request and when the port cannot be made.
    virtual vst::VstIntPtr vendorSpecific(vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt) = 0;

    // The editor's size in per cent (100, 125, 150, 175 or 200): the size
    // of the open window, or the one the next window opens at. Host
    // user-interface thread.
    virtual int scalePercent() const = 0;
    // Makes percent the editor's size, as the user's menu does (without
    // remembering it): rounded to the nearest step, false for a value that
    // is no size (not 50..400). An open window is resized and the host asked
    // through EditorHost::requestEditorSize; when it refuses, the window
    // keeps its old size and the answer is false. Host user-interface thread.
    virtual bool setScalePercent(int percent) = 0;
    // The file descriptor the open window's events arrive on (the X
    // connection of its display), which a host may watch to call idle as
    // soon as they come; -1 without an open window, on Windows, and for the
    // test port's windows. Host user-interface thread.
    virtual int eventSource() const = 0;
};

// The editor glue of effect, reading and sending through host (the plug-in
// object is both). It lives as long as effect and is never null.
std::unique_ptr<EditorGlue> createPluginEditor(EditorHost& host, vst::AudioEffect* effect);

}  // namespace trv4
