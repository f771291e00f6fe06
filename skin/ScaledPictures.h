// The skin's pictures drawn for a magnified editor, kept for the process's
// life: the first editor opened at a size draws them (the image list's three
// items and every picture control's picture, each for its place), and every
// later editor at that size, in any instance of the plug-in, copies them
// instead of drawing them again.
//
// Only the set drawn last is kept, so the memory stays that of one size: at
// 200 % about 5.5 MB (the 1510 x 740 chassis is 4.5 MB of it), at 125 %
// about 2.2 MB. Callers on several window threads may ask at once: one draws
// while the others wait for its result, and a set handed out stays valid
// (and unchanged) for as long as its holder keeps it, whatever is drawn
// later.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/cDIB.h"

namespace trv4skin {

// A picture control: its name (MonoOn, Meter, LWF3, ...) and its place in
// the editor window, in logical pixels.
struct PicturePlace {
    std::string name;
    int left = 0, top = 0;
    bool operator==(const PicturePlace&) const = default;
};

class ScaledPictures {
public:
    // The set for percent and these places: the kept one when it was drawn
    // for the same, else drawn now (and kept in its stead). Raises what the
    // drawing raises (platform::SystemError when the system gives no bitmap
    // section for the text); nothing is kept then.
    static std::shared_ptr<const ScaledPictures> at(int percent, const std::vector<PicturePlace>& places);
    // Drops the kept set; holders keep theirs. For benchmarks of a first
    // open.
    static void forget();

    int percent() const { return percent_; }
    // DIBImageList1's item index (0 pointer, 1 knob body, 2 chassis).
    const toolkit::TMemoryDIB& listItem(int index) const { return items_[index]; }
    // The stored payload (toolkit::WriteDIBData) of the picture for place i
    // of the places asked for; empty for a name the skin has no picture of.
    const std::vector<uint8_t>& picture(size_t i) const { return pictures_[i]; }
    // Bytes of pixels held.
    size_t bytes() const;

    static constexpr int kListItems = 3;

private:
    ScaledPictures(int percent, const std::vector<PicturePlace>& places);

    int percent_;
    std::vector<PicturePlace> places_;
    toolkit::TMemoryDIB items_[kListItems];
    std::vector<std::vector<uint8_t>> pictures_;
};

// Makes dest's pixels a copy of source's (size, pixels, change event),
// keeping dest's drawing settings.
void CopyPixels(const toolkit::TAbstractSuperDIB& source, toolkit::TAbstractSuperDIB& dest);

}  // namespace trv4skin
