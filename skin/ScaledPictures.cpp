#include "skin/ScaledPictures.h"

#include <cstring>
#include <mutex>

#include "skin/EditorPictures.h"
#include "toolkit/cDIBPayload.h"

namespace trv4skin {

namespace {

std::mutex& KeptLock() {
    static std::mutex lock;
    return lock;
}

// Guarded by KeptLock().
std::shared_ptr<const ScaledPictures>& Kept() {
    static std::shared_ptr<const ScaledPictures> kept;
    return kept;
}

}  // namespace

ScaledPictures::ScaledPictures(int percent, const std::vector<PicturePlace>& places)
    : percent_(percent), places_(places) {
    const Placement whole{platform::PixelScale{percent}};
    for (int i = 0; i < kListItems; ++i) DrawListItem(i, items_[i], whole);
    pictures_.reserve(places.size());
    toolkit::TMemoryDIB picture;
    for (const PicturePlace& place : places) {
        const Placement at{platform::PixelScale{percent}, place.left, place.top};
        pictures_.push_back(DrawControlPicture(place.name, picture, at) ? toolkit::WriteDIBData(picture)
                                                                        : std::vector<uint8_t>{});
    }
}

std::shared_ptr<const ScaledPictures> ScaledPictures::at(int percent, const std::vector<PicturePlace>& places) {
    std::lock_guard<std::mutex> hold(KeptLock());
    std::shared_ptr<const ScaledPictures>& kept = Kept();
    if (kept && kept->percent_ == percent && kept->places_ == places) return kept;
    // Drawn under the lock: a second window thread asking for the same size
    // meanwhile waits for this set rather than drawing its own.
    std::shared_ptr<const ScaledPictures> drawn(new ScaledPictures(percent, places));
    kept = drawn;
    return drawn;
}

void ScaledPictures::forget() {
    std::shared_ptr<const ScaledPictures> dropped;
    std::lock_guard<std::mutex> hold(KeptLock());
    dropped.swap(Kept());
}

size_t ScaledPictures::bytes() const {
    size_t total = 0;
    for (const toolkit::TMemoryDIB& item : items_) total += static_cast<size_t>(item.Width()) * item.Height() * 4;
    for (const std::vector<uint8_t>& picture : pictures_) total += picture.size();
    return total;
}

void CopyPixels(const toolkit::TAbstractSuperDIB& source, toolkit::TAbstractSuperDIB& dest) {
    dest.SetSize(static_cast<uint16_t>(source.Width()), static_cast<uint16_t>(source.Height()));
    std::memcpy(dest.Bits(), source.Bits(), static_cast<size_t>(source.Width()) * source.Height() * 4);
    dest.Changed();
}

}  // namespace trv4skin
