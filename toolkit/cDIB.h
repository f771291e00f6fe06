// 32-bit surfaces of the toolkit and their drawing.
//
// TAbstractSuperDIB owns the drawing settings and every pixel operation over
// plain memory; its descendants only decide where the pixels live:
// TCustomMemoryDIB/TMemoryDIB on the heap (skin images, cross-fade
// temporaries), TCustomWinDIB/TWinDIB in a bitmap section with a device
// context (cDIBWin.h).
//
// Pixel layout: 4 bytes per pixel, blue, green, red, alpha (a little-endian
// 32-bit word 0xAARRGGBB); rows bottom-up, no gaps. Every coordinate of the
// interface is top-down (y = 0 is the top row of the picture).
//
// Window thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ClassInfo.h"
#include "platform/Geometry.h"
#include "toolkit/cDIBBlend.h"

namespace platform {
class DibSection;
}

namespace toolkit {

enum TDIBTransparentMode {
    tmAuto,   // key colour: the first stored pixel (bottom-left)
    tmFixed,  // key colour: TransparentColor
};

// Inclusive pixel coordinates, top-down. Right < Left (or Bottom < Top)
// means an empty clip: nothing is drawn into the surface.
struct TDIBClipRect {
    int Left = 0;
    int Top = 0;
    int Right = -1;
    int Bottom = -1;
    bool IsEmpty() const { return Right < Left || Bottom < Top; }
    bool operator==(const TDIBClipRect&) const = default;
};

// Pixels of a surface. Views share one storage with the surface they show,
// so a view stays valid (with the old pixels) when that surface is resized
// or destroyed.
class TDIBPixelStorage {
public:
    virtual ~TDIBPixelStorage() = default;
    virtual uint32_t* Bits() = 0;
    // The bitmap section holding the pixels, when there is one.
    virtual platform::DibSection* Section() { return nullptr; }
};

// Platform colour 0x00BBGGRR <-> pixel order 0x00RRGGBB.
constexpr uint32_t ColorToPixel(platform::Color c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }
constexpr platform::Color PixelToColor(uint32_t p) { return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu); }

class TAbstractSuperDIB : public platform::Persistent {
public:
    TAbstractSuperDIB();
    ~TAbstractSuperDIB() override;
    TAbstractSuperDIB(const TAbstractSuperDIB&) = delete;
    TAbstractSuperDIB& operator=(const TAbstractSuperDIB&) = delete;

    virtual const char* ClassName() const = 0;
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    // --- Size and pixels ---------------------------------------------------
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    bool HasPixels() const { return fStorage != nullptr; }
    // Frees and reallocates (contents undefined) unless the size is already
    // w x h; a size of 0 becomes 1. A view gets storage of its own again.
    void SetSize(uint16_t w, uint16_t h);
    void SetWidth(uint16_t w) { SetSize(w, fHeight); }
    void SetHeight(uint16_t h) { SetSize(fWidth, h); }
    // Stored order: row 0 is the bottom row. Null while there are no pixels.
    uint32_t* Bits() { return fBits; }
    const uint32_t* Bits() const { return fBits; }
    uint32_t* ScanLine(int storedRow) { return fBits + static_cast<size_t>(storedRow) * fWidth; }
    const uint32_t* ScanLine(int storedRow) const { return fBits + static_cast<size_t>(storedRow) * fWidth; }
    // Top-down access for callers outside the inner loops; 0 outside.
    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t bgra);
    bool OwnsStorage() const { return fOwnsStorage; }

    // --- Drawing settings --------------------------------------------------
    long double Angle() const { return fAngle; }
    void SetAngle(long double degrees);  // brought into [0, 360)
    long double Scale() const { return fScaleX; }
    void SetScale(long double percent);  // both scales
    long double ScaleX() const { return fScaleX; }
    long double ScaleY() const { return fScaleY; }
    void SetScaleX(long double percent);
    void SetScaleY(long double percent);
    bool AutoSize() const { return fAutoSize; }
    void SetAutoSize(bool on);
    uint8_t Opacity() const { return fOpacity; }
    void SetOpacity(uint8_t opacity);
    bool Masked() const { return fMasked; }
    void SetMasked(bool on);  // on switches Transparent off
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool on);  // on switches Masked off
    // The key colour in effect, as a platform colour.
    platform::Color TransparentColor() const { return PixelToColor(KeyColor()); }
    void SetTransparentColor(platform::Color color);
    TDIBTransparentMode TransparentMode() const { return fTransparentMode; }
    void SetTransparentMode(TDIBTransparentMode mode);
    // Key colour in effect in pixel order (low 24 bits).
    uint32_t KeyColor() const;
    // Angle 0, not masked, opacity 255, scales 100, not transparent.
    void ResetSettings();

    const TDIBClipRect& ClipRect() const { return fClip; }
    // Normalised (corners put in order) and clamped to the surface.
    void SetClipRect(TDIBClipRect clip);
    void ResetClipRect();

    TDIBBlendRoutine BlendRoutine() const { return fBlend; }

    // Fired after every change of pixels or settings.
    std::function<void(TAbstractSuperDIB&)> OnChange;

    // --- Drawing -----------------------------------------------------------
    // Draws the region (srcX, srcY, width, height) of this surface onto dest
    // at (destX, destY) with this surface's settings. Rotated or scaled
    // surfaces resample the whole source (cDIBTransform.cpp).
    void Draw(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX, int srcY) const;
    // The whole surface at (destX, destY).
    void Draw(TAbstractSuperDIB& dest, int destX, int destY) const;
    // As Draw, untransformed, with the plain copy routine.
    void CopyRegion(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX, int srcY) const;
    // As Draw, but only dest's alpha bytes take the source's.
    void CopyAlphaRegion(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX,
                         int srcY) const;
    // As Draw, but each dest pixel gets the source alpha in all four bytes.
    void AlphaAsGrey(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX, int srcY) const;

    // Every pixel := colour with alpha 0.
    void Fill(platform::Color color);
    // The rectangle (top-down), cut to the surface, := colour with alpha 0.
    void FillRect(int x, int y, int w, int h, platform::Color color);
    void SetAlpha(uint8_t alpha);

    // Angle, scales, auto-size, masked, opacity, transparent, key colour,
    // mode and blend routine; the size too when target is a view.
    void CopySettingsTo(TAbstractSuperDIB& target) const;
    // CopySettingsTo for a toolkit surface; any other target raises
    // EDIBError "Cannot assign a TAbstractDIB to a " + its class name.
    void AssignTo(platform::Persistent& target) const;
    // Size, pixels and settings, then the change event.
    void Assign(const TAbstractSuperDIB& source);
    // Drops the own pixels and shares other's; copies its settings and size.
    void MakeViewOf(const TAbstractSuperDIB& other);

    // The size a transformed draw of a width x height region produces.
    platform::Point TransformedSize(int width, int height) const;
    bool IsTransformed() const { return fAngle != 0 || fScaleX != 100 || fScaleY != 100; }

    // --- Import (cDIBImport.cpp) -------------------------------------------
    // Registered formats first (by extension), then the system's picture
    // loader. A file that cannot be read raises an EDIBError descendant and
    // leaves the surface as it was.
    void ImportFile(const std::string& path);
    // The mask's blue bytes become the alpha (stretched to this size) and
    // Masked is switched on.
    void ImportMask(const std::string& path);

    // Fires the change event (after direct pixel work through Bits()).
    void Changed();

protected:
    // Storage of w x h pixels; contents undefined.
    virtual std::shared_ptr<TDIBPixelStorage> AllocatePixels(int w, int h) = 0;
    // Called before the storage is released or shared away.
    virtual void FreePixels() {}
    TDIBPixelStorage* Storage() const { return fStorage.get(); }

private:
    void UpdateBlend();
    void ReleaseStorage();
    void DrawWith(int destX, int destY, int width, int height, TAbstractSuperDIB& dest, int srcX, int srcY,
                  TDIBBlendRoutine routine, bool allowTransform) const;
    void DrawTransformed(int destX, int destY, int width, int height, TAbstractSuperDIB& dest,
                         TDIBBlendRoutine routine) const;

    std::shared_ptr<TDIBPixelStorage> fStorage;
    uint32_t* fBits = nullptr;
    bool fOwnsStorage = true;
    int fWidth = 0;
    int fHeight = 0;
    long double fAngle = 0;
    long double fScaleX = 100;
    long double fScaleY = 100;
    bool fAutoSize = false;
    uint8_t fOpacity = 255;
    bool fMasked = false;
    bool fTransparent = false;
    uint32_t fTransparentColor = 0;
    TDIBTransparentMode fTransparentMode = tmAuto;
    TDIBClipRect fClip;
    TDIBBlendRoutine fBlend;
};

// Heap storage.
class TCustomMemoryDIB : public TAbstractSuperDIB {
public:
    const char* ClassName() const override { return "TCustomMemoryDIB"; }

protected:
    std::shared_ptr<TDIBPixelStorage> AllocatePixels(int w, int h) override;
};

class TMemoryDIB : public TCustomMemoryDIB {
public:
    TMemoryDIB() = default;
    TMemoryDIB(uint16_t w, uint16_t h) { SetSize(w, h); }
    const char* ClassName() const override { return "TMemoryDIB"; }
};

}  // namespace toolkit
