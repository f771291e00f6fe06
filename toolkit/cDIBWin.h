// Window surfaces: the pixels live in a platform::DibSection (a 32-bit DIB
// section in a memory device context on Windows, a plain pixel buffer
// elsewhere), so platform drawing (labels, plain pictures) can land in them
// through DC() and the container can put them on the screen with Render.
// The container's main and scratch surfaces are TWinDIBs.
//
// Window thread only.
#pragma once

#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "toolkit/cDIB.h"

namespace toolkit {

class TCustomWinDIB : public TAbstractSuperDIB {
public:
    const char* ClassName() const override { return "TCustomWinDIB"; }

    // The device context bound to the pixels; none while there are no
    // pixels or while this surface is a view of a memory surface.
    platform::DeviceContext* DC() const;
    // Copies the region (top-down, right and bottom exclusive) to (x, y) of
    // the context, unblended. Does nothing without a bitmap section.
    void Render(platform::DeviceContext& dc, int x, int y, const platform::Rect& region) const;

protected:
    // Raises platform::SystemError ("Windows error (N) message") when the
    // system cannot create the bitmap section.
    std::shared_ptr<TDIBPixelStorage> AllocatePixels(int w, int h) override;
};

class TWinDIB : public TCustomWinDIB {
public:
    TWinDIB() = default;
    TWinDIB(uint16_t w, uint16_t h) { SetSize(w, h); }
    const char* ClassName() const override { return "TWinDIB"; }
};

}  // namespace toolkit
