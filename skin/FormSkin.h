// Puts the skin into the editor's stored description: the form text kept in
// editor/PluginEditorWindow.form names the controls and their settings but
// holds no pixels; CompleteEditorForm adds the pictures drawn by this
// library as payloads (pixels width x height, blue green red alpha, bottom
// row first), so the editor reads them and draws nothing by code:
//
//   DIBImageList1's items 0, 1, 2   DIB.Data: pointer, knob body, chassis
//   MonoOn, dbOn, SpreadOn, EnableOn     Picture.Data: the switch lit
//   MonoOff, dbOff, SpreadOff, EnableOff Picture.Data: the switch dark
//   Meter                                Picture.Data: the meter cover
//   LWF1..LWF10, RWF1..RWF10             Picture.Data: wave 1..10
//
// The text is merged line by line, keeping the template's layout; the
// payload goes in as the object's (or item's) last property. Window thread
// only (the chassis text is drawn through the platform).
#pragma once

#include <string>
#include <string_view>

namespace trv4skin {

// The complete description. Raises std::runtime_error naming what is
// missing when the template lacks the image list's three items or one of
// the picture controls above, or has them twice.
std::string CompleteEditorForm(std::string_view templateText);

// A C++ source defining `std::string_view trv4::EditorDescription()` that
// answers text (the build embeds the complete description with it).
std::string DescriptionSource(std::string_view text);

}  // namespace trv4skin
