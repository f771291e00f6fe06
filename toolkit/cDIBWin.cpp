// Window surface storage in a platform bitmap section.
#include "toolkit/cDIBWin.h"

#include "platform/DibSection.h"

namespace toolkit {
namespace {

class TDIBSectionStorage final : public TDIBPixelStorage {
public:
    explicit TDIBSectionStorage(std::unique_ptr<platform::DibSection> section) : fSection(std::move(section)) {}
    // The section's rows are 4-byte pixels without padding, 32-bit aligned.
    uint32_t* Bits() override { return reinterpret_cast<uint32_t*>(fSection->Bits()); }
    platform::DibSection* Section() override { return fSection.get(); }

private:
    std::unique_ptr<platform::DibSection> fSection;
};

}  // namespace

std::shared_ptr<TDIBPixelStorage> TCustomWinDIB::AllocatePixels(int w, int h) {
    return std::make_shared<TDIBSectionStorage>(platform::DibSection::Create(w, h));
}

platform::DeviceContext* TCustomWinDIB::DC() const {
    platform::DibSection* section = Storage() ? Storage()->Section() : nullptr;
    return section ? &section->DC() : nullptr;
}

void TCustomWinDIB::Render(platform::DeviceContext& dc, int x, int y, const platform::Rect& region) const {
    const platform::DibSection* section = Storage() ? Storage()->Section() : nullptr;
    if (!section || region.IsEmpty()) return;
    dc.DrawBitmap(x, y, *section, region);
}

}  // namespace toolkit
