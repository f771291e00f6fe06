// How image lists appear in a stored form description. The properties of
// one item are written in this order:
//   DIB.Angle (only when not 0), DIB.AutoSize, DIB.Height, DIB.Masked,
//   DIB.Opacity, DIB.Scale, DIB.Transparent, DIB.TransparentColor (the key
//   colour in effect), DIB.TransparentMode, DIB.Width, DIB.Data (irInternal
//   images with pixels), DIB.ImageFilename and DIB.MaskFilename (when set),
//   DisplayName, ImageRetrieval, TemplateFilename (when set).
#include "platform/ClassInfo.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPayload.h"

namespace toolkit {

using Item = TDIBImagesItem;

const platform::ClassInfo& TDIBImagesItem::StaticClass() {
    static const platform::ClassInfo info = [] {
        platform::ClassBuilder<Item> b("TDIBImagesItem", nullptr);
        b.Float(
             "DIB.Angle", [](const Item& i) { return double(i.DIB().Angle()); },
             [](Item& i, double v) { i.DIB().SetAngle(v); })
            .StoredWhen([](const Item& i) { return i.DIB().Angle() != 0; });
        b.Bool(
            "DIB.AutoSize", [](const Item& i) { return i.DIB().AutoSize(); },
            [](Item& i, bool v) { i.DIB().SetAutoSize(v); });
        b.Integer(
            "DIB.Height", [](const Item& i) { return i.DIB().Height(); },
            [](Item& i, int v) { i.DIB().SetHeight(uint16_t(v)); }, 0, 65535);
        b.Bool(
            "DIB.Masked", [](const Item& i) { return i.DIB().Masked(); },
            [](Item& i, bool v) { i.DIB().SetMasked(v); });
        b.Integer(
            "DIB.Opacity", [](const Item& i) { return i.DIB().Opacity(); },
            [](Item& i, int v) { i.DIB().SetOpacity(uint8_t(v)); }, 0, 255);
        b.Float(
            "DIB.Scale", [](const Item& i) { return double(i.DIB().Scale()); },
            [](Item& i, double v) { i.DIB().SetScale(v); });
        b.Bool(
            "DIB.Transparent", [](const Item& i) { return i.DIB().Transparent(); },
            [](Item& i, bool v) { i.DIB().SetTransparent(v); });
        b.Integer(
            "DIB.TransparentColor", [](const Item& i) { return int64_t(i.DIB().TransparentColor()); },
            [](Item& i, int v) { i.DIB().SetTransparentColor(platform::Color(v)); }, 0, 0xFFFFFF);
        b.Enum(
            "DIB.TransparentMode", [](const Item& i) { return i.DIB().TransparentMode(); },
            [](Item& i, int v) { i.DIB().SetTransparentMode(TDIBTransparentMode(v)); }, {"tmAuto", "tmFixed"});
        b.Integer(
            "DIB.Width", [](const Item& i) { return i.DIB().Width(); },
            [](Item& i, int v) { i.DIB().SetWidth(uint16_t(v)); }, 0, 65535);
        b.Binary(
             "DIB.Data", [](const Item& i) { return WriteDIBData(i.DIB()); },
             [](Item& i, const std::vector<uint8_t>& bytes) { ReadDIBData(i.DIB(), bytes); })
            .StoredWhen([](const Item& i) { return i.ImageRetrieval() == irInternal && i.DIB().HasPixels(); });
        b.String("DIB.ImageFilename", &Item::ImageFilename, &Item::SetImageFilename).StoredWhen([](const Item& i) {
            return !i.ImageFilename().empty();
        });
        b.String("DIB.MaskFilename", &Item::MaskFilename, &Item::SetMaskFilename).StoredWhen([](const Item& i) {
            return !i.MaskFilename().empty();
        });
        b.String("DisplayName", &Item::DisplayName, &Item::SetDisplayName);
        b.Enum("ImageRetrieval", &Item::ImageRetrieval,
               [](Item& i, int v) { i.SetImageRetrieval(TDIBImageRetrieval(v)); }, {"irInternal", "irLoadOnStart"});
        b.String("TemplateFilename", &Item::TemplateFilename, &Item::SetTemplateFilename).StoredWhen([](const Item& i) {
            return !i.TemplateFilename().empty();
        });
        return b.Build();
    }();
    return info;
}

const platform::ClassInfo& TCustomDIBImageList::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TCustomDIBImageList>("TCustomDIBImageList", &platform::Component::StaticClass())
            .Collection<Item>(
                "DIBImages", [](TCustomDIBImageList& l) { l.DIBImages().Clear(); },
                [](TCustomDIBImageList& l) -> Item& { return l.DIBImages().Add(); },
                [](const TCustomDIBImageList& l) { return l.DIBImages().Count(); },
                [](const TCustomDIBImageList& l, size_t index) -> const Item& {
                    return l.DIBImages().Items(int(index));
                })
            .Build();
    return info;
}

const platform::ClassInfo& TDIBImageList::StaticClass() {
    static const platform::ClassInfo info =
        platform::ClassBuilder<TDIBImageList>("TDIBImageList", &TCustomDIBImageList::StaticClass()).Creatable().Build();
    return info;
}

void TDIBImageList::RegisterClass() {
    static const bool registered = [] {
        platform::ClassRegistry::Register(StaticClass());
        return true;
    }();
    (void)registered;
}

}  // namespace toolkit
