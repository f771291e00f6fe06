// The image control: stretch, scale, angle, centring and auto-size, and a
// form description with a container, an image list and an image that
// loads and paints.
#include <gtest/gtest.h>

#include "platform/FormReader.h"
#include "tests/toolkit/DIBControlScene.h"
#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBImageList.h"

namespace toolkit::test {
namespace {

constexpr uint32_t kGreen = BGRA(0, 0xFF, 0, 0xFF);
constexpr uint32_t kBlue = BGRA(0xFF, 0, 0, 0);  // the scene's background

// A list holding one w x h green image.
TDIBImageList* GreenList(platform::Component* owner, int w, int h) {
    auto* list = new TDIBImageList(owner);
    list->SetName("ImageList1");
    TMemoryDIB& dib = list->DIBImages().Add().DIB();
    dib.SetSize(uint16_t(w), uint16_t(h));
    FillAll(dib, kGreen);
    return list;
}

uint32_t Rgb(uint32_t p) { return p & 0xFFFFFFu; }

class DIBImageScene : public ::testing::Test {
protected:
    DIBImageScene() {
        list = GreenList(&s.form, 4, 2);
        image = new TDIBImage(&s.form);
        image->SetDIBImageList(list);
        image->IndexMain().SetDIBIndex(0);
        image->SetBounds(10, 10, 20, 10);
    }
    Scene s;
    TDIBImageList* list;
    TDIBImage* image;
};

TEST_F(DIBImageScene, StretchFillsTheBoundsAndScaleSwitchesItOff) {
    EXPECT_EQ(Rgb(s.Screen(13, 11)), Rgb(kGreen));
    EXPECT_EQ(s.Screen(15, 15), kBlue);
    image->SetStretch(true);
    EXPECT_EQ(Rgb(s.Screen(10, 10)), Rgb(kGreen));
    EXPECT_EQ(Rgb(s.Screen(29, 19)), Rgb(kGreen));
    EXPECT_EQ(s.Screen(30, 19), kBlue);
    image->SetScale(200);
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(Rgb(s.Screen(17, 13)), Rgb(kGreen));
    EXPECT_EQ(s.Screen(18, 13), kBlue);
    EXPECT_EQ(s.Screen(17, 14), kBlue);
}

TEST_F(DIBImageScene, AngleIsKeptInAFullTurnAndAutoSizeFollowsTheRotatedBox) {
    image->SetAngle(-90);
    EXPECT_EQ(image->Angle(), 270);
    image->SetAngle(-450);
    EXPECT_EQ(image->Angle(), 270);
    image->SetAngle(720);
    EXPECT_EQ(image->Angle(), 0);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 4);
    EXPECT_EQ(image->Height(), 2);
    image->SetAngle(90);
    EXPECT_EQ(image->Width(), 2);
    EXPECT_EQ(image->Height(), 4);
    image->SetScale(300);
    EXPECT_EQ(image->Width(), 6);
    EXPECT_EQ(image->Height(), 12);
    // Stretch switches auto-size off.
    image->SetStretch(true);
    EXPECT_FALSE(image->AutoSize());
}

TEST_F(DIBImageScene, CenterPutsTheImageInTheMiddle) {
    image->SetCenter(true);
    // 20 x 10 bounds, 4 x 2 image: offset (8, 4).
    EXPECT_EQ(s.Screen(17, 14), kBlue);
    EXPECT_EQ(Rgb(s.Screen(18, 14)), Rgb(kGreen));
    EXPECT_EQ(Rgb(s.Screen(21, 15)), Rgb(kGreen));
    EXPECT_EQ(s.Screen(22, 15), kBlue);
}

TEST_F(DIBImageScene, AnImageWithoutPixelsDrawsNothing) {
    image->IndexMain().SetDIBIndex(5);
    EXPECT_EQ(s.Screen(10, 10), kBlue);
    delete list;
    image->IndexMain().SetDIBIndex(0);
    EXPECT_EQ(s.Screen(10, 10), kBlue);
}

TEST(DIBImageForm, ADescriptionWithContainerListAndImageLoadsAndPaints) {
    TDIBImageList::RegisterClass();
    TDIBContainer::RegisterClasses();
    std::string text;
    {
        Scene s;
        s.form.SetName("SkinWindow");
        GreenList(&s.form, 4, 2);
        s.container->SetName("Container1");
        auto* image = new TDIBImage(&s.form);
        image->SetName("Background");
        image->SetDIBImageList(s.form.Find<TDIBImageList>("ImageList1"));
        image->IndexMain().SetDIBIndex(0);
        image->SetBounds(10, 10, 20, 10);
        image->SetStretch(true);
        image->SetOpacity(200);
        image->SetDIBTabOrder(0);
        text = platform::WriteForm(s.form);
    }
    for (const char* line :
         {"object Container1: TDIBContainer", "object Background: TDIBImage", "DIBImageList = ImageList1",
          "IndexMain.DIBIndex = 0", "Stretch = True", "Opacity = 200", "DIBTabOrder = 0"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("TDIBTimer"), std::string::npos) << "the repeat timer is internal";
    Scene s2;
    delete s2.container;
    s2.form.Load(text);
    auto* container = s2.form.Find<TDIBContainer>("Container1");
    auto* image = s2.form.Find<TDIBImage>("Background");
    ASSERT_NE(container, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Parent(), container);
    EXPECT_EQ(image->DIBImageList(), s2.form.Find<TDIBImageList>("ImageList1"));
    EXPECT_EQ(container->DIBTabList(), (std::vector<TCustomDIBControl*>{image}));
    // Green at 200/255 over the blue background.
    const uint32_t p = s2.Screen(29, 19);
    EXPECT_NEAR(int(G(p)), 200, 2);
    EXPECT_NEAR(int(B(p)), 55, 2);
    EXPECT_EQ(s2.Screen(30, 19), kBlue);
}

}  // namespace
}  // namespace toolkit::test
