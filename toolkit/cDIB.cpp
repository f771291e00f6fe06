// Settings, storage, views and whole-surface operations of TAbstractSuperDIB.
#include "toolkit/cDIB.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/cDIBErrors.h"

namespace toolkit {
namespace {

// Left uninitialised (SetSize promises no contents): the editor's paint
// sizes its scratch surface anew for every control it draws, and a
// magnified chassis is megabytes.
class TDIBHeapStorage final : public TDIBPixelStorage {
public:
    explicit TDIBHeapStorage(size_t count) : fPixels(std::make_unique_for_overwrite<uint32_t[]>(count)) {}
    uint32_t* Bits() override { return fPixels.get(); }

private:
    std::unique_ptr<uint32_t[]> fPixels;
};

// Holds a surface's change event back for the duration of a compound
// operation (which then fires it once), and gives it back on every path.
class TDIBChangeHold {
public:
    explicit TDIBChangeHold(std::function<void(TAbstractSuperDIB&)>& slot) : fSlot(slot), fHeld(std::move(slot)) {
        fSlot = nullptr;
    }
    ~TDIBChangeHold() { fSlot = std::move(fHeld); }

private:
    std::function<void(TAbstractSuperDIB&)>& fSlot;
    std::function<void(TAbstractSuperDIB&)> fHeld;
};

}  // namespace

std::shared_ptr<TDIBPixelStorage> TCustomMemoryDIB::AllocatePixels(int w, int h) {
    return std::make_shared<TDIBHeapStorage>(static_cast<size_t>(w) * static_cast<size_t>(h));
}

TAbstractSuperDIB::TAbstractSuperDIB() : fBlend(SelectBlendRoutine(255, false, false)) {}

TAbstractSuperDIB::~TAbstractSuperDIB() = default;

void TAbstractSuperDIB::Changed() {
    if (OnChange) OnChange(*this);
}

void TAbstractSuperDIB::UpdateBlend() { fBlend = SelectBlendRoutine(fOpacity, fMasked, fTransparent); }

void TAbstractSuperDIB::ReleaseStorage() {
    if (fStorage && fOwnsStorage) FreePixels();
    fStorage.reset();
    fBits = nullptr;
}

void TAbstractSuperDIB::SetSize(uint16_t w, uint16_t h) {
    const int nw = std::max<int>(w, 1);
    const int nh = std::max<int>(h, 1);
    if (fStorage && nw == fWidth && nh == fHeight) return;
    const bool wholeClip = !fStorage || fClip == TDIBClipRect{0, 0, fWidth - 1, fHeight - 1};
    // Allocate first: a failed allocation leaves the surface as it was.
    auto storage = AllocatePixels(nw, nh);
    ReleaseStorage();
    fStorage = std::move(storage);
    fBits = fStorage->Bits();
    fOwnsStorage = true;
    fWidth = nw;
    fHeight = nh;
    if (wholeClip)
        ResetClipRect();
    else
        SetClipRect(fClip);
    Changed();
}

uint32_t TAbstractSuperDIB::Pixel(int x, int y) const {
    if (!fBits || x < 0 || y < 0 || x >= fWidth || y >= fHeight) return 0;
    return ScanLine(fHeight - 1 - y)[x];
}

void TAbstractSuperDIB::SetPixel(int x, int y, uint32_t bgra) {
    if (!fBits || x < 0 || y < 0 || x >= fWidth || y >= fHeight) return;
    ScanLine(fHeight - 1 - y)[x] = bgra;
}

void TAbstractSuperDIB::SetAngle(long double degrees) {
    if (!std::isfinite(degrees)) return;
    long double a = std::fmod(degrees, 360.0L);
    if (a < 0) a += 360.0L;
    if (a >= 360.0L) a = 0;  // a tiny negative angle rounds up to 360
    if (a == fAngle) return;
    fAngle = a;
    Changed();
}

void TAbstractSuperDIB::SetScale(long double percent) {
    if (fScaleX == percent && fScaleY == percent) return;
    fScaleX = percent;
    fScaleY = percent;
    Changed();
}

void TAbstractSuperDIB::SetScaleX(long double percent) {
    if (fScaleX == percent) return;
    fScaleX = percent;
    Changed();
}

void TAbstractSuperDIB::SetScaleY(long double percent) {
    if (fScaleY == percent) return;
    fScaleY = percent;
    Changed();
}

void TAbstractSuperDIB::SetAutoSize(bool on) {
    if (fAutoSize == on) return;
    fAutoSize = on;
    Changed();
}

void TAbstractSuperDIB::SetOpacity(uint8_t opacity) {
    if (fOpacity == opacity) return;
    fOpacity = opacity;
    UpdateBlend();
    Changed();
}

void TAbstractSuperDIB::SetMasked(bool on) {
    if (fMasked == on) return;
    fMasked = on;
    if (on) fTransparent = false;
    UpdateBlend();
    Changed();
}

void TAbstractSuperDIB::SetTransparent(bool on) {
    if (fTransparent == on) return;
    fTransparent = on;
    if (on) fMasked = false;
    UpdateBlend();
    Changed();
}

void TAbstractSuperDIB::SetTransparentColor(platform::Color color) {
    const uint32_t key = ColorToPixel(color);
    if (fTransparentColor == key) return;
    fTransparentColor = key;
    Changed();
}

void TAbstractSuperDIB::SetTransparentMode(TDIBTransparentMode mode) {
    if (fTransparentMode == mode) return;
    fTransparentMode = mode;
    Changed();
}

uint32_t TAbstractSuperDIB::KeyColor() const {
    if (fTransparentMode == tmAuto) return fBits ? (fBits[0] & 0x00FFFFFFu) : 0;
    return fTransparentColor & 0x00FFFFFFu;
}

void TAbstractSuperDIB::ResetSettings() {
    fAngle = 0;
    fMasked = false;
    fOpacity = 255;
    fScaleX = 100;
    fScaleY = 100;
    fTransparent = false;
    UpdateBlend();
    Changed();
}

void TAbstractSuperDIB::SetClipRect(TDIBClipRect clip) {
    if (clip.Left > clip.Right) std::swap(clip.Left, clip.Right);
    if (clip.Top > clip.Bottom) std::swap(clip.Top, clip.Bottom);
    // A clip wholly outside the surface stays empty instead of being pulled
    // onto the nearest edge row or column.
    if (!fBits || clip.Right < 0 || clip.Bottom < 0 || clip.Left >= fWidth || clip.Top >= fHeight) {
        fClip = TDIBClipRect{};
        return;
    }
    fClip.Left = std::max(clip.Left, 0);
    fClip.Top = std::max(clip.Top, 0);
    fClip.Right = std::min(clip.Right, fWidth - 1);
    fClip.Bottom = std::min(clip.Bottom, fHeight - 1);
}

void TAbstractSuperDIB::ResetClipRect() {
    fClip = fBits ? TDIBClipRect{0, 0, fWidth - 1, fHeight - 1} : TDIBClipRect{};
}

void TAbstractSuperDIB::Fill(platform::Color color) {
    if (!fBits) return;
    std::fill_n(fBits, static_cast<size_t>(fWidth) * fHeight, ColorToPixel(color));
    Changed();
}

void TAbstractSuperDIB::FillRect(int x, int y, int w, int h, platform::Color color) {
    if (!fBits || w <= 0 || h <= 0) return;
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t(x) + w, fWidth), y1 = std::min<int64_t>(int64_t(y) + h, fHeight);
    if (x0 >= x1 || y0 >= y1) return;
    const uint32_t p = ColorToPixel(color);
    for (int64_t row = y0; row < y1; ++row)
        std::fill(ScanLine(int(fHeight - 1 - row)) + x0, ScanLine(int(fHeight - 1 - row)) + x1, p);
    Changed();
}

void TAbstractSuperDIB::SetAlpha(uint8_t alpha) {
    if (!fBits) return;
    const uint32_t a = uint32_t(alpha) << 24;
    uint32_t* p = fBits;
    for (size_t i = 0, n = size_t(fWidth) * fHeight; i < n; ++i) p[i] = (p[i] & 0x00FFFFFFu) | a;
    Changed();
}

void TAbstractSuperDIB::CopySettingsTo(TAbstractSuperDIB& target) const {
    if (&target == this) return;
    target.fAngle = fAngle;
    target.fScaleX = fScaleX;
    target.fScaleY = fScaleY;
    target.fAutoSize = fAutoSize;
    target.fMasked = fMasked;
    target.fOpacity = fOpacity;
    target.fTransparent = fTransparent;
    // The key in effect: a tmAuto view keeps reading the shared first pixel.
    target.fTransparentColor = fTransparentColor;
    target.fTransparentMode = fTransparentMode;
    target.fBlend = fBlend;
    // Only a view of these very pixels takes the size: a view of another
    // surface would otherwise read past its own storage.
    if (!target.fOwnsStorage && target.fStorage == fStorage) {
        target.fWidth = fWidth;
        target.fHeight = fHeight;
        target.SetClipRect(target.fClip);
    }
    target.Changed();
}

const platform::ClassInfo& TAbstractSuperDIB::StaticClass() {
    static const platform::ClassInfo info("TAbstractSuperDIB", nullptr);
    return info;
}

void TAbstractSuperDIB::AssignTo(platform::Persistent& target) const {
    auto* dib = dynamic_cast<TAbstractSuperDIB*>(&target);
    if (!dib) throw EDIBError(std::string(dibmsg::kAssignTo) + target.Class().Name());
    CopySettingsTo(*dib);
}

void TAbstractSuperDIB::Assign(const TAbstractSuperDIB& source) {
    if (&source == this) return;
    {
        TDIBChangeHold hold(OnChange);  // one change event, at the end
        if (!source.fBits) {
            ReleaseStorage();
            fOwnsStorage = true;
            fWidth = fHeight = 0;
            ResetClipRect();
        } else {
            if (!fOwnsStorage) ReleaseStorage();  // an assigned view gets its own pixels
            SetSize(uint16_t(source.fWidth), uint16_t(source.fHeight));
            std::copy_n(source.fBits, size_t(fWidth) * fHeight, fBits);
        }
        source.CopySettingsTo(*this);
    }
    Changed();
}

void TAbstractSuperDIB::MakeViewOf(const TAbstractSuperDIB& other) {
    if (&other == this) return;
    {
        TDIBChangeHold hold(OnChange);
        const bool wholeClip = !fBits || fClip == TDIBClipRect{0, 0, fWidth - 1, fHeight - 1};
        ReleaseStorage();
        fStorage = other.fStorage;
        fBits = other.fBits;
        fOwnsStorage = false;
        fWidth = other.fWidth;
        fHeight = other.fHeight;
        if (wholeClip)
            ResetClipRect();
        else
            SetClipRect(fClip);
        other.CopySettingsTo(*this);
    }
    Changed();
}

}  // namespace toolkit
