// Internal: the clipped row loop shared by plain and transformed drawing.
// Window thread only.
#pragma once

#include <cstdint>

#include "toolkit/cDIB.h"

namespace toolkit::detail {

// Draws the region (srcX, srcY, width, height), top-down, of a stored-order
// block of srcW x srcH pixels onto dest at (destX, destY) with `routine`.
// Everything outside dest's clip rectangle, the block or dest is cut away.
// Returns whether any pixel was touched; the caller fires dest's change event.
bool BlitRegion(const uint32_t* srcBits, int srcW, int srcH, int srcX, int srcY, int width, int height,
                TAbstractSuperDIB& dest, int destX, int destY, TDIBBlendRoutine routine, const TDIBBlendParams& params);

}  // namespace toolkit::detail
