// Image lists through the stored form description: property order, the
// three editor images round trip, and refused payloads.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/FormReader.h"
#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBImageList.h"

namespace toolkit::test {
namespace {

class TSkinForm : public platform::Component {
public:
    TSkinForm() : platform::Component(nullptr) {
        SetName("Skin");
        TDIBImageList::RegisterClass();
    }
    static const platform::ClassInfo& StaticClass() {
        static const platform::ClassInfo info =
            platform::ClassBuilder<TSkinForm>("TSkinForm", &platform::Component::StaticClass()).Build();
        return info;
    }
    const platform::ClassInfo& Class() const override { return StaticClass(); }
};

TDIBImageList& AddEditorSkin(TSkinForm& form) {
    auto* list = new TDIBImageList(&form);
    list->SetName("ImageList1");
    struct SkinImage {
        const char* name;
        int w, h;
        bool transparent;
        platform::Color key;
    } images[] = {{"Index Pointer", 10, 10, true, platform::RGBColor(102, 102, 102)},
                  {"Drejeknap", 49, 49, true, 0},
                  {"Chassis", 755, 370, false, 0}};
    for (const SkinImage& s : images) {
        TDIBImagesItem& item = list->DIBImages().Add();
        item.SetDisplayName(s.name);
        item.DIB().SetSize(uint16_t(s.w), uint16_t(s.h));
        FillTagged(item.DIB());
        if (s.transparent) {
            item.DIB().SetTransparent(true);
            item.DIB().SetTransparentMode(tmFixed);
            item.DIB().SetTransparentColor(s.key);
        }
    }
    return *list;
}

TEST(DIBImageListStream, PropertiesAreWrittenInOrder) {
    TSkinForm form;
    TDIBImageList& list = AddEditorSkin(form);
    list.DIBImages().Items(0).DIB().SetAngle(30);
    list.DIBImages().Items(0).SetTemplateFilename("knob:1");
    const std::string text = platform::WriteForm(form);
    const char* order[] = {"DIB.Angle", "DIB.AutoSize",    "DIB.Height",           "DIB.Masked",          "DIB.Opacity",
                           "DIB.Scale", "DIB.Transparent", "DIB.TransparentColor", "DIB.TransparentMode", "DIB.Width",
                           "DIB.Data",  "DisplayName",     "ImageRetrieval",       "TemplateFilename"};
    size_t at = text.find("item");
    ASSERT_NE(at, std::string::npos);
    for (const char* name : order) {
        const size_t next = text.find(std::string(name) + " =", at);
        ASSERT_NE(next, std::string::npos) << name;
        at = next;
    }
    // Only the first item has an angle and a template name.
    size_t angles = 0;
    for (size_t p = text.find("DIB.Angle"); p != std::string::npos; p = text.find("DIB.Angle", p + 1)) ++angles;
    EXPECT_EQ(angles, 1u);
    EXPECT_EQ(text.find("DIB.ImageFilename"), std::string::npos);
}

TEST(DIBImageListStream, EditorImagesRoundTrip) {
    TSkinForm form;
    AddEditorSkin(form);
    const std::string text = platform::WriteForm(form);

    TSkinForm back;
    platform::ReadForm(back, text);
    auto* list = back.Find<TDIBImageList>("ImageList1");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->DIBImages().Count(), 3);
    TSkinForm original;
    TDIBImageList& expected = AddEditorSkin(original);
    for (int i = 0; i < 3; ++i) {
        const TMemoryDIB& a = expected.DIBImages().Items(i).DIB();
        const TMemoryDIB& b = list->DIBImages().Items(i).DIB();
        EXPECT_EQ(list->DIBImages().Items(i).DisplayName(), expected.DIBImages().Items(i).DisplayName());
        ASSERT_EQ(b.Width(), a.Width());
        ASSERT_EQ(b.Height(), a.Height());
        EXPECT_EQ(std::memcmp(a.Bits(), b.Bits(), size_t(a.Width()) * a.Height() * 4), 0) << i;
        EXPECT_EQ(b.Transparent(), a.Transparent());
        EXPECT_EQ(b.TransparentMode(), a.TransparentMode());
        EXPECT_EQ(b.TransparentColor(), a.TransparentColor());
    }
    EXPECT_EQ(list->DIBImages().Items(0).DIB().TransparentColor(), platform::RGBColor(102, 102, 102));
    // The chassis is tmAuto: its stored key is the colour of its first pixel.
    EXPECT_NE(text.find("DIB.TransparentColor = " + std::to_string(PixelToColor(Tag(0, 369) & 0xFFFFFF))),
              std::string::npos);
}

TEST(DIBImageListStream, DamagedPayloadsStopTheForm) {
    const std::string head =
        "object Skin: TSkinForm\n  object ImageList1: TDIBImageList\n    DIBImages = <\n      item\n        DIB.Data = "
        "{\n";
    const std::string tail = "}\n      end>\n  end\nend\n";
    TSkinForm form;
    // 2 x 1 announced, one pixel given.
    EXPECT_THROW(platform::ReadForm(form, head + "0200010001020304" + tail), platform::FormError);
    try {
        platform::ReadForm(form, head + "444942434D50" + std::string(40, '0') + tail);
        FAIL();
    } catch (const platform::FormError& e) {
        EXPECT_NE(std::string(e.what()).find("Could not find a suitable decompressor."), std::string::npos);
    }
    EXPECT_EQ(form.Find<TDIBImageList>("ImageList1"), nullptr);
}

}  // namespace
}  // namespace toolkit::test
