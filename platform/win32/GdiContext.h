// The device context over a Win32 HDC: a window's paint DC (BeginPaint) or
// the memory DC of a DIB section. Draws with GDI; text with the named font
// ("Arial"), created on first use and kept until the font changes.
//
// SetClip selects an application clip region; the system's own region (the
// paint's update region) keeps limiting it. Does not own the HDC.
//
// Window thread only.
#pragma once

#include <windows.h>

#include "platform/DeviceContext.h"

namespace platform {

class GdiContext : public DeviceContext {
public:
    explicit GdiContext(HDC dc);
    ~GdiContext() override;
    GdiContext(const GdiContext&) = delete;
    GdiContext& operator=(const GdiContext&) = delete;

    HDC Handle() const { return dc_; }

    Point Origin() const override { return origin_; }
    void SetOrigin(Point origin) override;
    Rect ClipBox() const override;
    void SetClip(const Rect& clip) override;
    void ResetClip() override;

    void DrawBitmap(int x, int y, const DibSection& source, const Rect& sourceRect) override;
    void FillRect(const Rect& rect, Color color) override;
    void DrawString(int x, int y, std::string_view text, const Font& font) override;
    Size TextExtent(std::string_view text, const Font& font) override;

private:
    void UseFont(const Font& font);

    HDC dc_;
    Point origin_;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    Font selected_;
};

}  // namespace platform
