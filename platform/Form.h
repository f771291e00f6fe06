// A form: the windowed root of a stored description and the owner of every
// component on it. Created as a visible, borderless child of a host's
// window (HWND or X11 window id; 0 for a headless top-level window) with its
// client size; Form::Load reads its description and then fires OnCreate.
// Freeing the form frees its components and then its window.
//
// Window thread only.
#pragma once

#include <string_view>

#include "platform/Font.h"
#include "platform/WinControl.h"

namespace platform {

class Form : public WinControl {
public:
    Form(Backend& backend, uintptr_t parentWindow);
    ~Form() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& Class() const override { return StaticClass(); }

    // Reads the description (FormReader.h) into this form, then OnCreate.
    void Load(std::string_view description);

    Backend* GetBackend() const override { return &backend_; }
    bool StoresSize() const override { return false; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int w) { SetWidth(w); }
    void SetClientHeight(int h) { SetHeight(h); }
    const platform::Font& GetFont() const { return font_; }
    platform::Font& GetFont() { return font_; }
    // Key messages of the form's windows go to the form first when on.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }

    void PaintWindow(DeviceContext& dc, const Rect& update, bool carriesDC) override;

    NotifyEvent OnCreate;
    NotifyEvent OnPaint;

protected:
    uintptr_t ParentHandle() const override { return parentWindow_; }

private:
    Backend& backend_;
    uintptr_t parentWindow_;
    std::string caption_;
    platform::Font font_{"MS Sans Serif", -11, clWindowText};
    bool keyPreview_ = false;
    // Stored for the description only: a borderless child window has no
    // frame, border icons, 3-D look or scaling.
    int borderStyle_ = 2;
    Value borderIcons_ = Value::Set({"biSystemMenu", "biMinimize", "biMaximize"});
    bool ctl3D_ = true;
    bool scaled_ = true;
    int pixelsPerInch_ = 96;
};

}  // namespace platform
