#include "platform/win32/GdiContext.h"

#include "platform/DibSection.h"

namespace platform {

GdiContext::GdiContext(HDC dc) : dc_(dc) {
    POINT origin{};
    GetViewportOrgEx(dc_, &origin);
    origin_ = {origin.x, origin.y};
}

GdiContext::~GdiContext() {
    if (font_) {
        SelectObject(dc_, previousFont_);
        DeleteObject(font_);
    }
}

void GdiContext::SetOrigin(Point origin) {
    origin_ = origin;
    SetViewportOrgEx(dc_, origin.x, origin.y, nullptr);
}

Rect GdiContext::ClipBox() const {
    RECT box{};
    if (GetClipBox(dc_, &box) == NULLREGION) return {};
    return {box.left, box.top, box.right, box.bottom};
}

void GdiContext::SetClip(const Rect& clip) {
    // Regions are in device units: move the rectangle by the origin.
    HRGN region =
        CreateRectRgn(clip.left + origin_.x, clip.top + origin_.y, clip.right + origin_.x, clip.bottom + origin_.y);
    if (!region) return;
    SelectClipRgn(dc_, region);
    DeleteObject(region);
}

void GdiContext::ResetClip() { SelectClipRgn(dc_, nullptr); }

void GdiContext::DrawBitmap(int x, int y, const DibSection& source, const Rect& sourceRect) {
    const Rect from = sourceRect.Intersect({0, 0, source.Width(), source.Height()});
    if (from.IsEmpty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = source.Width();
    info.bmiHeader.biHeight = source.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // The source origin of SetDIBitsToDevice is the bottom-left corner of a
    // bottom-up bitmap.
    SetDIBitsToDevice(dc_, x + (from.left - sourceRect.left), y + (from.top - sourceRect.top), from.Width(),
                      from.Height(), from.left, source.Height() - from.bottom, 0, source.Height(), source.Bits(), &info,
                      DIB_RGB_COLORS);
}

void GdiContext::FillRect(const Rect& rect, Color color) {
    if (rect.IsEmpty()) return;
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    SetDCBrushColor(dc_, color);
    ::FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiContext::UseFont(const Font& font) {
    if (font_ && selected_.name == font.name && selected_.height == font.height) return;
    HFONT created = CreateFontA(font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
    if (!created) return;  // keep the font in use: drawing never fails
    HGDIOBJ previous = SelectObject(dc_, created);
    if (font_) {
        DeleteObject(font_);
    } else {
        previousFont_ = previous;
    }
    font_ = created;
    selected_ = font;
}

void GdiContext::DrawString(int x, int y, std::string_view text, const Font& font) {
    UseFont(font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(dc_, font.color);
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

Size GdiContext::TextExtent(std::string_view text, const Font& font) {
    UseFont(font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    SIZE extent{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &extent);
    return {extent.cx, metrics.tmHeight};
}

}  // namespace platform

#include "platform/Label.h"

namespace platform {

Size MeasureText(std::string_view text, const Font& font) {
    HDC screen = CreateCompatibleDC(nullptr);
    if (!screen) return {};
    Size size;
    {
        GdiContext dc(screen);
        size = dc.TextExtent(text, font);
    }
    DeleteDC(screen);
    return size;
}

}  // namespace platform
