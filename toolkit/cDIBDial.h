// The dial (rotary knob) of the toolkit: an integer Position between Min
// and Max, shown as a body image (IndexMain) with a pointer glyph
// (IndexPointer, a strip of PointerNumGlyphs frames) on a circle around the
// control's centre, and set with the mouse by pointing at an angle
// (mcsCircular) or by dragging in a straight line from the press point
// (mcsLinear), or with the wheel.
//
// TAbstractDIBDial holds all behaviour: the properties with their
// validating setters, painting, press classification, drag and wheel.
// TCustomDIBDial supplies the two settings objects and the angle
// computation; TDIBDial is the class stored forms create. The dial owns its
// PointerAngles and PointerOpacities objects and its two image links.
//
// Window thread only; OnChange runs synchronously inside SetPosition.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ClassInfo.h"
#include "toolkit/cDIBControl.h"
#include "toolkit/cDIBErrors.h"

namespace toolkit {

enum TDIBDialMouseControlStyle {
    mcsCircular,  // the position the pointer points at
    mcsLinear,    // travel from the press point
};

enum TDIBDialMouseLinearSensitivity {
    mlsVertical,    // upward travel counts
    mlsHorizontal,  // rightward travel counts
    mlsBoth,        // the sum of both
};

// The refusal messages of the dial's setters.
namespace dialmsg {
inline constexpr const char* kMinBelowMax = "Min must be less than max";
inline constexpr const char* kMaxAboveMin = "Max must be greater than min";
inline constexpr const char* kSmallChange = "SmallChange cannot be less than 0";
inline constexpr const char* kPageSize = "PageSize cannot be less than 0";
inline constexpr const char* kNumGlyphs = "PointerNumGlyphs must be at least 1";
inline constexpr const char* kHorizontalPixels = "HorizontalPixelsPerPosition must be greater than zero";
inline constexpr const char* kVerticalPixels = "VerticalPixelsPerPosition must be greater than zero";
inline constexpr const char* kStart = "Start must be 0..359";
inline constexpr const char* kRange = "Range must be 1..360";
// Followed by the decimal text of Range + 1.
inline constexpr const char* kResolution = "Resolution must be above 0 and less than ";
}  // namespace dialmsg

// A settings object of a dial: every change fires OnChange (the dial
// repaints).
class TDIBDialSettings : public platform::Persistent {
public:
    explicit TDIBDialSettings(platform::Component* owner) : fOwner(owner) {}
    TDIBDialSettings(const TDIBDialSettings&) = delete;
    TDIBDialSettings& operator=(const TDIBDialSettings&) = delete;

    platform::Component* Owner() const { return fOwner; }
    std::function<void(TDIBDialSettings& sender)> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(*this);
    }

private:
    platform::Component* fOwner;
};

// Where the pointer's travel starts and how far it goes.
class TCustomDIBDialPointerAngles : public TDIBDialSettings {
public:
    using TDIBDialSettings::TDIBDialSettings;
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    // Degrees clockwise from 12 o'clock at Min: 0..359.
    int Start() const { return fStart; }
    void SetStart(int degrees);
    // Degrees of travel from Min to Max: 1..360. Resolution above the new
    // range is pulled down to it.
    int Range() const { return fRange; }
    void SetRange(int degrees);
    // 0..Range; stored and copied, used by no computation.
    long double Resolution() const { return fResolution; }
    void SetResolution(long double resolution);
    // Copies every field, then one change notice.
    void Assign(const TCustomDIBDialPointerAngles& other);

private:
    int fStart = 0;
    int fRange = 360;
    long double fResolution = 0;
};

class TDIBDialPointerAngles : public TCustomDIBDialPointerAngles {
public:
    using TCustomDIBDialPointerAngles::TCustomDIBDialPointerAngles;
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
};

// The pointer's opacity while dragged (Active) and at rest (Normal).
class TCustomDIBDialPointerOpacities : public TDIBDialSettings {
public:
    using TDIBDialSettings::TDIBDialSettings;
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    uint8_t Active() const { return fActive; }
    void SetActive(uint8_t opacity);
    uint8_t Normal() const { return fNormal; }
    void SetNormal(uint8_t opacity);
    void Assign(const TCustomDIBDialPointerOpacities& other);

private:
    uint8_t fActive = 255;
    uint8_t fNormal = 255;
};

class TDIBDialPointerOpacities : public TCustomDIBDialPointerOpacities {
public:
    using TCustomDIBDialPointerOpacities::TCustomDIBDialPointerOpacities;
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
};

using TDIBDialWheelEvent =
    platform::Event<void(platform::Component* sender, int notches, platform::ShiftState shift, bool& handled)>;

class TAbstractDIBDial : public TCustomDIBControl {
public:
    // What a left press does.
    enum TPressZone { pzDrag, pzPageDown, pzPageUp, pzSmallDown, pzSmallUp };

    explicit TAbstractDIBDial(platform::Component* owner);
    ~TAbstractDIBDial() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    // Setters that refuse raise EDIBDialError (dialmsg) and change nothing.
    // While the form loads, Min, Max, SmallChange and PageSize accept any
    // value and Position is clamped once loading ends.
    int Min() const { return fMin; }
    void SetMin(int value);
    int Max() const { return fMax; }
    void SetMax(int value);
    int Position() const { return fPosition; }
    // Clamped to Min..Max; fires OnChange on every assignment, also of the
    // value it already has.
    void SetPosition(int value);
    int SmallChange() const { return fSmallChange; }
    void SetSmallChange(int value);
    int PageSize() const { return fPageSize; }
    void SetPageSize(int value);
    // Frames side by side in the pointer image, >= 1.
    int PointerNumGlyphs() const { return fNumGlyphs; }
    void SetPointerNumGlyphs(int value);
    // Pixels from the centre to the pointer's centre; <= 0: automatic.
    int PointerRadius() const { return fPointerRadius; }
    void SetPointerRadius(int value);
    bool PointerRotate() const { return fPointerRotate; }
    void SetPointerRotate(bool on);
    bool AutoSize() const { return fAutoSize; }
    void SetAutoSize(bool on);
    // Pixels of travel per position step in linear style, > 0.
    long double HorizontalPixelsPerPosition() const { return fHorizontalPixels; }
    void SetHorizontalPixelsPerPosition(long double pixels);
    long double VerticalPixelsPerPosition() const { return fVerticalPixels; }
    void SetVerticalPixelsPerPosition(long double pixels);
    TDIBDialMouseControlStyle MouseControlStyle() const { return fStyle; }
    void SetMouseControlStyle(TDIBDialMouseControlStyle style) { fStyle = style; }
    TDIBDialMouseLinearSensitivity MouseLinearSensitivity() const { return fSensitivity; }
    void SetMouseLinearSensitivity(TDIBDialMouseLinearSensitivity s) { fSensitivity = s; }
    // Positions per wheel notch (negative turns the wheel around).
    int WheelStep() const { return fWheelStep; }
    void SetWheelStep(int step) { fWheelStep = step; }

    TCustomDIBDialPointerAngles& PointerAnglesBase() { return *fAngles; }
    const TCustomDIBDialPointerAngles& PointerAnglesBase() const { return *fAngles; }
    TCustomDIBDialPointerOpacities& PointerOpacitiesBase() { return *fOpacities; }
    const TCustomDIBDialPointerOpacities& PointerOpacitiesBase() const { return *fOpacities; }

    TDIBImageLink& IndexMain() { return *fIndexMain; }
    const TDIBImageLink& IndexMain() const { return *fIndexMain; }
    TDIBImageLink& IndexPointer() { return *fIndexPointer; }
    const TDIBImageLink& IndexPointer() const { return *fIndexPointer; }

    // A left press started a drag and its release has not come yet.
    bool Dragging() const { return fDragging; }

    // The pointer angle in whole degrees clockwise from 12 o'clock
    // (0..360: a value just below 360 rounds to 360).
    int PointerAngle() const { return ComputePointerAngle(); }
    // The pointer glyph's box in control coordinates (inclusive corners);
    // (0, 0, 0, 0) without a pointer image. Presses inside it (right and
    // bottom edge excluded) start a drag in circular style.
    platform::Rect PointerRect() const;
    // The position the mouse at (x, y) selects (unclamped in linear style).
    int PointedPositionAt(int x, int y) const { return ComputePointedPosition(x, y); }
    // The size AutoSize gives; false without a body image.
    bool PreferredSize(int& width, int& height) const;

    std::vector<std::string> TemplateProperties() const override;
    void Loaded() override;

    platform::NotifyEvent OnChange;
    // Once per whole notch; a handler that sets handled leaves Position alone.
    TDIBDialWheelEvent OnMouseWheel;

protected:
    // The dial's own steps, in this order.
    virtual std::unique_ptr<TCustomDIBDialPointerAngles> CreatePointerAngles() = 0;
    virtual std::unique_ptr<TCustomDIBDialPointerOpacities> CreatePointerOpacities() = 0;
    virtual int ComputePointerAngle() const = 0;
    virtual TPressZone ClassifyPress(int x, int y, int pointed) const;
    virtual void PositionChanged() { Invalidate(); }
    virtual int ComputePointedPosition(int x, int y) const;
    virtual void SettingsChanged() { Invalidate(); }

    // Creates the settings objects through the two factory steps; the
    // constructor of the class that implements them calls it.
    void CreateSettings();
    void ImageChanged(TDIBImageLink& link) override;
    void PaintDIB(TWinDIB& surface) override;
    void PressAborted() override;
    void DIBMouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y) override;
    void DIBMouseMove(platform::ShiftState shift, int x, int y) override;
    void DIBMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y) override;
    // Position +/- WheelStep per whole notch (see OnMouseWheel); a disabled
    // dial ignores the wheel.
    bool DIBMouseWheel(int delta, platform::ShiftState shift, int x, int y) override;

private:
    struct DragAnchor {
        int position = 0;
        int x = 0;
        int y = 0;
    };

    void AdjustSize();
    void DrawPointer(TAbstractSuperDIB& strip, TAbstractSuperDIB& target, int x, int y, int value);
    // The pointer's distance from the centre of a width x height box; a
    // stored radius is multiplied by magnify.
    long double PointerRadiusInEffect(int width, int height, int glyphWidth, int glyphHeight,
                                      long double magnify) const;
    // PointerRect for a box of width x height pixels (the physical size of
    // the control when painting a magnified window).
    platform::Rect PointerRectIn(int width, int height, long double magnify) const;

    int fMin = 0;
    int fMax = 100;
    int fPosition = 0;
    int fSmallChange = 1;
    int fPageSize = 1;
    int fNumGlyphs = 1;
    int fPointerRadius = -1;
    bool fPointerRotate = false;
    bool fAutoSize = true;
    long double fHorizontalPixels = 1;
    long double fVerticalPixels = 1;
    TDIBDialMouseControlStyle fStyle = mcsCircular;
    TDIBDialMouseLinearSensitivity fSensitivity = mlsBoth;
    int fWheelStep = 1;
    int fWheelRemainder = 0;  // a partial notch of a high-resolution wheel

    std::unique_ptr<TCustomDIBDialPointerAngles> fAngles;
    std::unique_ptr<TCustomDIBDialPointerOpacities> fOpacities;
    TDIBImageLink* fIndexMain;
    TDIBImageLink* fIndexPointer;

    bool fDragging = false;
    DragAnchor fAnchor;

    // Frame cross-fade temporaries, kept between paints.
    TMemoryDIB fUpper;
    TMemoryDIB fLower;
};

class TCustomDIBDial : public TAbstractDIBDial {
public:
    explicit TCustomDIBDial(platform::Component* owner);

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    TDIBDialPointerAngles& PointerAngles() { return static_cast<TDIBDialPointerAngles&>(PointerAnglesBase()); }
    const TDIBDialPointerAngles& PointerAngles() const {
        return static_cast<const TDIBDialPointerAngles&>(PointerAnglesBase());
    }
    // Copies the fields into the dial's own object.
    void SetPointerAngles(const TCustomDIBDialPointerAngles& angles) { PointerAnglesBase().Assign(angles); }
    TDIBDialPointerOpacities& PointerOpacities() {
        return static_cast<TDIBDialPointerOpacities&>(PointerOpacitiesBase());
    }
    const TDIBDialPointerOpacities& PointerOpacities() const {
        return static_cast<const TDIBDialPointerOpacities&>(PointerOpacitiesBase());
    }
    void SetPointerOpacities(const TCustomDIBDialPointerOpacities& opacities) {
        PointerOpacitiesBase().Assign(opacities);
    }

protected:
    std::unique_ptr<TCustomDIBDialPointerAngles> CreatePointerAngles() override;
    std::unique_ptr<TCustomDIBDialPointerOpacities> CreatePointerOpacities() override;
    int ComputePointerAngle() const override;
};

class TDIBDial : public TCustomDIBDial {
public:
    explicit TDIBDial(platform::Component* owner) : TCustomDIBDial(owner) {}
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes TDIBDial known to the form reader (idempotent).
    static void RegisterClass();
};

}  // namespace toolkit
