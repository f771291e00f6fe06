#include "platform/Image.h"

#include <cstring>

namespace platform {

Image::Image(Component* owner) : Control(owner) { SetBounds(0, 0, 105, 105); }

const ClassInfo& Image::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Image> b("TImage", &Control::StaticClass());
        b.Creatable();
        b.Binary("Picture.Data", &Image::PictureData, &Image::SetPictureData).StoredWhen([](const Image& i) {
            return i.Picture() != nullptr;
        });
        return b.Build();
    }();
    return info;
}

void Image::SetPicture(std::unique_ptr<DibSection> picture) {
    picture_ = std::move(picture);
    Invalidate();
}

void Image::SetPictureData(const std::vector<uint8_t>& payload) {
    if (payload.empty()) {
        SetPicture(nullptr);
        return;
    }
    if (payload.size() < 4) throw ValueError("the picture data is shorter than its header");
    const int width = payload[0] | payload[1] << 8;
    const int height = payload[2] | payload[3] << 8;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (width == 0 || height == 0 || payload.size() != 4 + bytes)
        throw ValueError("the picture data holds " + std::to_string(payload.size() - 4) + " pixel bytes for " +
                         std::to_string(width) + " x " + std::to_string(height));
    auto picture = DibSection::Create(width, height);
    std::memcpy(picture->Bits(), payload.data() + 4, bytes);
    SetPicture(std::move(picture));
}

std::vector<uint8_t> Image::PictureData() const {
    if (!picture_) return {};
    const int w = picture_->Width(), h = picture_->Height();
    std::vector<uint8_t> payload(4 + static_cast<size_t>(w) * h * 4);
    payload[0] = static_cast<uint8_t>(w);
    payload[1] = static_cast<uint8_t>(w >> 8);
    payload[2] = static_cast<uint8_t>(h);
    payload[3] = static_cast<uint8_t>(h >> 8);
    std::memcpy(payload.data() + 4, picture_->Bits(), payload.size() - 4);
    return payload;
}

void Image::Paint(DeviceContext& dc) {
    if (picture_) dc.DrawBitmap(0, 0, *picture_, {0, 0, picture_->Width(), picture_->Height()});
}

}  // namespace platform
