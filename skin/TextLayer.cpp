#include "skin/TextLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Font.h"

namespace trv4skin {

namespace {

platform::Font FontOf(int height, Rgb color) {
    const uint32_t p = ToPixel(color);
    return platform::Font{"Arial", -height, platform::RGBColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)};
}

}  // namespace

TextLayer::TextLayer(toolkit::TAbstractSuperDIB& dib, const Placement& at)
    : dib_(dib), at_(at), section_(platform::DibSection::Create(dib.Width(), dib.Height())) {
    // Both keep 4 bytes per pixel, rows bottom-up, no gaps.
    std::memcpy(section_->Bits(), dib_.Bits(), static_cast<size_t>(dib_.Width()) * dib_.Height() * 4);
}

int TextLayer::Width(std::string_view text, int height) {
    const int width = section_->DC().TextExtent(text, FontOf(PixelHeight(height), Rgb{0, 0, 0})).width;
    return at_.scale.IsIdentity() ? width : static_cast<int>(std::lround(width * 100.0 / at_.scale.percent));
}

int TextLayer::PixelHeight(int height) const { return static_cast<int>(std::lround(at_.scale.Length(height))); }

void TextLayer::Put(int x, int y, std::string_view text, int height, Rgb color, Align align) {
    const platform::Font font = FontOf(PixelHeight(height), color);
    const int width = section_->DC().TextExtent(text, font).width;
    const int px = at_.X(x);
    const int left = align == Align::Left ? px : align == Align::Center ? px - width / 2 : px - width;
    section_->DC().DrawString(left, at_.Y(y), text, font);
}

void TextLayer::PutBold(int x, int y, std::string_view text, int height, Rgb color, Align align) {
    Put(x, y, text, height, color, align);
    Put(x + 1, y, text, height, color, align);
}

void TextLayer::Commit() {
    std::memcpy(dib_.Bits(), section_->Bits(), static_cast<size_t>(dib_.Width()) * dib_.Height() * 4);
    dib_.SetAlpha(255);
}

}  // namespace trv4skin
