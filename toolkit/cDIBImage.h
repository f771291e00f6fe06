// TCustomDIBImage/TDIBImage: a toolkit control that shows one image of its
// DIBImageList (IndexMain), rotated by Angle and scaled by Scale (or
// stretched to its bounds), optionally centred; with AutoSize it takes the
// size of the transformed image. The editor's background is one.
//
// Window thread only.
#pragma once

#include "toolkit/cDIBControl.h"

namespace toolkit {

class TCustomDIBImage : public TCustomDIBControl {
public:
    explicit TCustomDIBImage(platform::Component* owner);

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    TDIBImageLink& IndexMain() { return *fIndexMain; }
    const TDIBImageLink& IndexMain() const { return *fIndexMain; }

    // Degrees, brought into [0, 360).
    long double Angle() const { return fAngle; }
    void SetAngle(long double degrees);
    // Percent of the image size; switches Stretch off.
    long double Scale() const { return fScale; }
    void SetScale(long double percent);
    bool Center() const { return fCenter; }
    void SetCenter(bool on);
    // Fills the bounds whatever the image size; switches AutoSize off.
    bool Stretch() const { return fStretch; }
    void SetStretch(bool on);
    bool AutoSize() const { return fAutoSize; }
    void SetAutoSize(bool on);

    // The transformed image's size at Scale and Angle; false when IndexMain
    // resolves to no image.
    bool PreferredSize(int& width, int& height) const;

    std::vector<std::string> TemplateProperties() const override;
    void Loaded() override;
    // Covered wholly by its image, drawn untransformed and unblended (no
    // key colour, mask or opacity): nothing beneath shows, so its container
    // neither clears nor copies in what lies under it.
    bool IsOpaque() const override;

protected:
    void ImageChanged(TDIBImageLink& link) override;
    void PaintDIB(TWinDIB& surface) override;

private:
    void AdjustSize();

    TDIBImageLink* fIndexMain;
    long double fAngle = 0;
    long double fScale = 100;
    bool fCenter = false;
    bool fStretch = false;
    bool fAutoSize = false;
};

class TDIBImage : public TCustomDIBImage {
public:
    explicit TDIBImage(platform::Component* owner) : TCustomDIBImage(owner) {}
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
};

}  // namespace toolkit
