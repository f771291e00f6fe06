// Untransformed drawing: clipping and the row loop, and the draw variants.
#include <algorithm>

#include "toolkit/cDIBDrawCore.h"

namespace toolkit {

namespace detail {

bool BlitRegion(const uint32_t* srcBits, int srcW, int srcH, int srcX, int srcY, int width, int height,
                TAbstractSuperDIB& dest, int destX, int destY, TDIBBlendRoutine routine,
                const TDIBBlendParams& params) {
    if (!srcBits || !dest.Bits() || width < 1 || height < 1) return false;
    const TDIBClipRect& clip = dest.ClipRect();
    if (clip.IsEmpty()) return false;
    // Destination position of the block's top-left pixel; 64-bit so that no
    // coordinate the caller passes can overflow.
    const int64_t ox = int64_t(destX) - srcX;
    const int64_t oy = int64_t(destY) - srcY;
    const int64_t x0 = std::max({int64_t(destX), int64_t(clip.Left), ox});
    const int64_t y0 = std::max({int64_t(destY), int64_t(clip.Top), oy});
    const int64_t x1 = std::min({int64_t(destX) + width, int64_t(clip.Right) + 1, ox + srcW});
    const int64_t y1 = std::min({int64_t(destY) + height, int64_t(clip.Bottom) + 1, oy + srcH});
    if (x1 <= x0 || y1 <= y0) return false;
    const int count = int(x1 - x0);
    const int destH = dest.Height();
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t srcRow = srcH - 1 - (y - oy);
        const uint32_t* s = srcBits + size_t(srcRow) * srcW + size_t(x0 - ox);
        uint32_t* d = dest.ScanLine(int(destH - 1 - y)) + x0;
        routine(d, s, count, params);
    }
    return true;
}

}  // namespace detail

void TAbstractSuperDIB::DrawWith(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                                 int srcY, TDIBBlendRoutine routine, bool allowTransform) const {
    if (allowTransform && IsTransformed()) {
        DrawTransformed(destX, destY, width, height, dest, routine);
        return;
    }
    const TDIBBlendParams params{fOpacity, KeyColor()};
    if (detail::BlitRegion(fBits, fWidth, fHeight, srcX, srcY, width, height, dest, destX, destY, routine, params))
        dest.Changed();
}

void TAbstractSuperDIB::Draw(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                             int srcY) const {
    DrawWith(destX, destY, width, height, dest, srcX, srcY, fBlend, true);
}

void TAbstractSuperDIB::Draw(TAbstractSuperDIB& dest, int destX, int destY) const {
    DrawWith(destX, destY, fWidth, fHeight, dest, 0, 0, fBlend, true);
}

void TAbstractSuperDIB::CopyRegion(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                                   int srcY) const {
    // Angle 0, scales 100 and the plain copy for this draw only; the
    // settings themselves are never touched, so nothing needs restoring.
    DrawWith(destX, destY, width, height, dest, srcX, srcY, blend::Copy, false);
}

void TAbstractSuperDIB::CopyAlphaRegion(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                                        int srcY) const {
    DrawWith(destX, destY, width, height, dest, srcX, srcY, blend::AlphaOnly, true);
}

void TAbstractSuperDIB::AlphaAsGrey(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                                    int srcY) const {
    DrawWith(destX, destY, width, height, dest, srcX, srcY, blend::AlphaAsGrey, true);
}

}  // namespace toolkit
