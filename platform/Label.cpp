#include "platform/Label.h"

#include <cmath>
#include <cstdlib>

namespace platform {

Label::Label(Component* owner) : Control(owner) { SetBounds(0, 0, 65, 17); }

const ClassInfo& Label::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Label> b("TLabel", &Control::StaticClass());
        b.Creatable();
        b.Enum(
             "Alignment", [](const Label&) { return 0; },
             [](Label&, int v) {
                 if (v != 0) throw ValueError("only taLeftJustify is supported");
             },
             {"taLeftJustify", "taRightJustify", "taCenter"})
            .Default(Value::Identifier("taLeftJustify"));
        b.Bool("AutoSize", &Label::AutoSize, &Label::SetAutoSize).Default(Value::Identifier("True"));
        b.String("Caption", &Label::Caption, &Label::SetCaption);
        AddColorProperty(b, "Color", &Control::GetColor, &Control::SetColor);
        b.Default(Value::Identifier("clBtnFace"));
        AddColorProperty(
            b, "Font.Color", [](const Label& l) { return l.font_.color; },
            [](Label& l, Color v) {
                Font f = l.font_;
                f.color = v;
                l.SetFont(f);
            });
        b.Integer(
            "Font.Height", [](const Label& l) { return l.font_.height; },
            [](Label& l, int v) {
                Font f = l.font_;
                f.height = v;
                l.SetFont(f);
            },
            -1000, 1000);
        b.String(
            "Font.Name", [](const Label& l) { return l.font_.name; },
            [](Label& l, const std::string& v) {
                Font f = l.font_;
                f.name = v;
                l.SetFont(f);
            });
        b.Bool("Transparent", &Label::Transparent, &Label::SetTransparent).Default(Value::Identifier("False"));
        return b.Build();
    }();
    return info;
}

void Label::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    FitToText();
    Invalidate();
}

void Label::SetFont(const Font& font) {
    if (font == font_) return;
    font_ = font;
    FitToText();
    Invalidate();
}

void Label::SetAutoSize(bool on) {
    autoSize_ = on;
    FitToText();
}

void Label::SetTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    Invalidate();
}

void Label::Loaded() {
    Control::Loaded();
    FitToText();
}

void Label::FitToText() {
    // While loading the font and caption may still change: fit once after.
    if (!autoSize_ || IsLoading()) return;
    const Size size = MeasureText(caption_, font_);
    SetBounds(Left(), Top(), size.width, size.height);
}

void Label::Paint(DeviceContext& dc) {
    const PixelScale scale = PaintScale();
    if (!transparent_) dc.FillRect(scale.ToPhysical(ClientRect()), ResolveColor(GetColor()));
    Font font = font_;
    font.color = ResolveColor(font.color);
    // The text itself at the magnified height, not a magnified bitmap.
    font.height = static_cast<int>(std::lround(scale.Length(font.height)));
    if (!scale.IsIdentity()) {
        // Glyphs do not widen exactly with the height (at 11 pixels their
        // advances round down more): a text that fits the label at 100 %
        // can overrun its magnified width and lose its last character. A
        // pixel or two smaller then.
        const int room = scale.ToPhysical(ClientRect()).Width();
        const int step = font.height < 0 ? 1 : -1;  // towards zero
        for (int smaller = 0; smaller < 2 && std::abs(font.height) > 1; ++smaller) {
            if (dc.TextExtent(caption_, font).width <= room) break;
            font.height += step;
        }
    }
    dc.DrawString(0, 0, caption_, font);
}

}  // namespace platform
