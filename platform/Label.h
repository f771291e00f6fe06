// The label: one line of text in a font, left-aligned on its background
// colour (or on what lies beneath when Transparent), its width fitted to the
// text while AutoSize is on. Paints through the device context's text
// operation: GDI with the named font on Windows, the built-in sans-serif
// face elsewhere.
//
// Window thread only.
#pragma once

#include <string>

#include "platform/Control.h"
#include "platform/Font.h"

namespace platform {

class Label : public Control {
public:
    explicit Label(Component* owner);

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const platform::Font& GetFont() const { return font_; }
    void SetFont(const platform::Font& font);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

    bool IsOpaque() const override { return !transparent_; }
    void Paint(DeviceContext& dc) override;
    void Loaded() override;

private:
    void FitToText();

    std::string caption_;
    platform::Font font_{"MS Sans Serif", -11, clWindowText};
    bool autoSize_ = true;
    bool transparent_ = false;
};

// The width of the text and the height of the font's cell, as a label
// measures them (without a window).
Size MeasureText(std::string_view text, const Font& font);

}  // namespace platform
