#include "platform/Form.h"

#include "platform/FormReader.h"

namespace platform {

Form::Form(Backend& backend, uintptr_t parentWindow)
    : WinControl(nullptr), backend_(backend), parentWindow_(parentWindow) {
    SetBounds(0, 0, 320, 240);
    CreateHandle();
}

Form::~Form() {
    // The components go first, while the form and its window are whole.
    DestroyComponents();
    DestroyHandle();
}

const ClassInfo& Form::StaticClass() {
    static const ClassInfo info = [] {
        ClassBuilder<Form> b("TForm", &WinControl::StaticClass());
        b.String("Caption", &Form::Caption, &Form::SetCaption).Default(Value::String(""));
        b.Integer("ClientWidth", &Form::ClientWidth, &Form::SetClientWidth, 0, 32767);
        b.Integer("ClientHeight", &Form::ClientHeight, &Form::SetClientHeight, 0, 32767);
        b.Enum(
             "BorderStyle", [](const Form& f) { return f.borderStyle_; }, [](Form& f, int v) { f.borderStyle_ = v; },
             {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})
            .Default(Value::Identifier("bsSizeable"));
        b.Raw(
            "BorderIcons", [](const Form& f) { return f.borderIcons_; },
            [](Form& f, const Value& v) {
                if (v.kind != Value::Kind::Set) throw ValueError("a set is expected");
                f.borderIcons_ = v;
            });
        b.Bool(
             "Ctl3D", [](const Form& f) { return f.ctl3D_; }, [](Form& f, bool v) { f.ctl3D_ = v; })
            .Default(Value::Identifier("True"));
        b.Bool(
             "Scaled", [](const Form& f) { return f.scaled_; }, [](Form& f, bool v) { f.scaled_ = v; })
            .Default(Value::Identifier("True"));
        b.String(
            "Font.Name", [](const Form& f) { return f.font_.name; },
            [](Form& f, const std::string& v) { f.font_.name = v; });
        b.Integer(
            "Font.Height", [](const Form& f) { return f.font_.height; }, [](Form& f, int v) { f.font_.height = v; },
            -1000, 1000);
        AddColorProperty(
            b, "Font.Color", [](const Form& f) { return f.font_.color; }, [](Form& f, Color v) { f.font_.color = v; });
        b.Bool("KeyPreview", &Form::KeyPreview, &Form::SetKeyPreview).Default(Value::Identifier("False"));
        b.Integer(
            "PixelsPerInch", [](const Form& f) { return f.pixelsPerInch_; },
            [](Form& f, int v) { f.pixelsPerInch_ = v; }, 1, 1000);
        AddEventProperty(b, "OnCreate", &Form::OnCreate);
        AddEventProperty(b, "OnPaint", &Form::OnPaint);
        return b.Build();
    }();
    return info;
}

void Form::Load(std::string_view description) {
    ReadForm(*this, description);
    OnCreate(this);
}

void Form::PaintWindow(DeviceContext& dc, const Rect& update, bool carriesDC) {
    dc.FillRect(update, ResolveColor(GetColor()));
    OnPaint(this);
    PaintControls(dc, update);
}

}  // namespace platform
