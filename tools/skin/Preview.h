// A picture of the editor as it looks in use, put together from the skin
// pictures: pointers on every knob, a few switches lit, a wave picture for
// each modulator and the meter cover at a middle level. Only for a person
// to judge the artwork; the editor composes its own window.
// Window thread only.
#pragma once

#include "toolkit/cDIB.h"

namespace trv4skin {

void DrawPreview(toolkit::TMemoryDIB& dib);

}  // namespace trv4skin
