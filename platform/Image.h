// The plain picture: holds a 32-bit bitmap (or none) and paints it unscaled
// from its top-left corner, clipped to its bounds; a smaller control shows
// less of the picture. A picture-less image is an invisible click area.
//
// Stored as Picture.Data: a hex block of width and height (16-bit, little
// endian) followed by the pixels (blue, green, red, alpha; bottom row
// first), the layout of DibSection.
//
// Window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Control.h"
#include "platform/DibSection.h"

namespace platform {

class Image : public Control {
public:
    explicit Image(Component* owner);

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    DibSection* Picture() const { return picture_.get(); }
    void SetPicture(std::unique_ptr<DibSection> picture);

    // Raises ValueError for a payload whose size does not match its header.
    void SetPictureData(const std::vector<uint8_t>& payload);
    std::vector<uint8_t> PictureData() const;

    bool IsOpaque() const override {
        return picture_ && picture_->Width() >= Width() && picture_->Height() >= Height();
    }
    void Paint(DeviceContext& dc) override;

private:
    std::unique_ptr<DibSection> picture_;
};

}  // namespace platform
