// Which picture of the skin each part of the editor window shows: the
// image list's three items and the plain picture controls by name. The
// build puts them into the stored description at 100 % (FormSkin.h); a
// magnified editor draws them again at its size when it opens.
//
// Window thread only (the chassis text is drawn through the platform).
#pragma once

#include <string_view>

#include "toolkit/cDIB.h"
#include "skin/Painter.h"

namespace trv4skin {

// DIBImageList1's item index (0 pointer, 1 knob body, 2 chassis); false for
// any other index.
bool DrawListItem(int index, toolkit::TMemoryDIB& dib, const Placement& at = {});
// The picture of the plain picture control `name` (MonoOn ... EnableOff,
// Meter, LWF1..LWF10, RWF1..RWF10) placed at `at`; false for other names.
bool DrawControlPicture(std::string_view name, toolkit::TMemoryDIB& dib, const Placement& at = {});

}  // namespace trv4skin
