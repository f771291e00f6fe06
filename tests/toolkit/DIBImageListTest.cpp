// Image lists: resolution through the view surface, link notices on
// change, delete and move, template keys and files loaded on start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/toolkit/DIBTestSupport.h"
#include "toolkit/cDIBFormat.h"
#include "toolkit/cDIBImageList.h"

namespace toolkit::test {
namespace {

// A link that counts its hook calls.
struct ProbeLink {
    explicit ProbeLink(TCustomDIBImageList& list, int index) {
        link.SetDIBIndex(index);
        link.OnImageChanged = [this](TDIBImageLink&) { ++hooks; };
        link.SetDIBImageList(&list);
    }
    TDIBImageLink link;
    int hooks = 0;
};

class DIBImageList : public ::testing::Test {
protected:
    DIBImageList() : list(nullptr) {
        for (int i = 0; i < 3; ++i) {
            TDIBImagesItem& item = list.DIBImages().Add();
            item.DIB().SetSize(uint16_t(2 + i), 2);
            FillAll(item.DIB(), BGRA(uint8_t(i), 0, 0, 255));
        }
    }
    TDIBImageList list;
};

TEST_F(DIBImageList, ResolveHandsOutOneSharedView) {
    EXPECT_EQ(list.Resolve(-1), nullptr);
    EXPECT_EQ(list.Resolve(3), nullptr);
    list.DIBImages().Add();  // no pixels
    EXPECT_EQ(list.Resolve(3), nullptr);
    EXPECT_TRUE(list.IndexValid(3));

    TAbstractSuperDIB* first = list.Resolve(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 2);
    EXPECT_EQ(B(first->Pixel(0, 0)), 0);
    TAbstractSuperDIB* second = list.Resolve(2);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->Width(), 4);  // the second resolution changed the first
    EXPECT_EQ(B(first->Pixel(0, 0)), 2);
    // Settings put on the view do not reach the item; pixels do.
    second->SetOpacity(9);
    second->SetPixel(0, 0, 0);
    EXPECT_EQ(list.DIBImages().Items(2).DIB().Opacity(), 255);
    EXPECT_EQ(list.DIBImages().Items(2).DIB().Pixel(0, 0), 0u);
    EXPECT_EQ(list.Resolve(2)->Opacity(), 255);
}

TEST_F(DIBImageList, RegisteringAndIndexChangesRunTheHook) {
    ProbeLink a(list, 1), none(list, -1);
    EXPECT_EQ(a.hooks, 1);  // the notice for index 1 on registering
    EXPECT_EQ(none.hooks, 0);
    a.link.SetDIBIndex(1);
    EXPECT_EQ(a.hooks, 1);
    a.link.SetDIBIndex(7);  // a different index, valid or not
    EXPECT_EQ(a.hooks, 2);
    EXPECT_EQ(a.link.Resolve(), nullptr);
    TDIBImageLink copy;
    copy.Assign(a.link);
    EXPECT_EQ(copy.DIBIndex(), 7);
    EXPECT_EQ(copy.DIBImageList(), &list);
}

TEST_F(DIBImageList, ChangingAnImageTellsEveryLinkShowingIt) {
    ProbeLink knob1(list, 1), knob2(list, 1), other(list, 0);
    knob1.hooks = knob2.hooks = other.hooks = 0;
    list.DIBImages().Items(1).DIB().SetOpacity(128);
    EXPECT_EQ(knob1.hooks, 1);
    EXPECT_EQ(knob2.hooks, 1);
    EXPECT_EQ(other.hooks, 0);
    list.DIBImages().Items(1).DIB().SetPixel(0, 0, 5);  // direct pixel work
    list.DIBImages().Items(1).DIB().Changed();
    EXPECT_EQ(knob1.hooks, 2);
}

TEST_F(DIBImageList, DeletingItemZeroOfThree) {
    ProbeLink l0(list, 0), l1(list, 1), l2(list, 2);
    l0.hooks = l1.hooks = l2.hooks = 0;
    int indexDuringHook = 99;
    l0.link.OnImageChanged = [&](TDIBImageLink& l) {
        ++l0.hooks;
        indexDuringHook = l.DIBIndex();
    };
    list.DIBImages().Delete(0);
    EXPECT_EQ(l0.link.DIBIndex(), -1);
    EXPECT_EQ(l0.hooks, 1);
    EXPECT_EQ(indexDuringHook, 0);  // the hook runs before the reset
    EXPECT_EQ(l1.link.DIBIndex(), 0);
    EXPECT_EQ(l2.link.DIBIndex(), 1);
    EXPECT_EQ(l1.hooks + l2.hooks, 0);
    EXPECT_EQ(B(l2.link.Resolve()->Pixel(0, 0)), 2);
    // A link whose control is going away ignores deletions.
    l1.link.SetOwnerDestroying(true);
    list.DIBImages().Delete(0);
    EXPECT_EQ(l1.link.DIBIndex(), 0);
    EXPECT_EQ(l1.hooks, 0);
    EXPECT_EQ(l2.link.DIBIndex(), 0);
}

TEST_F(DIBImageList, MovingItemsRepointsLinksSilently) {
    list.DIBImages().Add();
    ProbeLink l0(list, 0), l1(list, 1), l2(list, 2), l3(list, 3);
    l0.hooks = l1.hooks = l2.hooks = l3.hooks = 0;
    list.DIBImages().Move(0, 2);  // (0, 2] move down by one
    EXPECT_EQ(l0.link.DIBIndex(), 2);
    EXPECT_EQ(l1.link.DIBIndex(), 0);
    EXPECT_EQ(l2.link.DIBIndex(), 1);
    EXPECT_EQ(l3.link.DIBIndex(), 3);
    list.DIBImages().Move(3, 1);  // [1, 3) move up by one
    EXPECT_EQ(l3.link.DIBIndex(), 1);
    EXPECT_EQ(l1.link.DIBIndex(), 0);
    EXPECT_EQ(l2.link.DIBIndex(), 2);
    EXPECT_EQ(l0.link.DIBIndex(), 3);
    EXPECT_EQ(l0.hooks + l1.hooks + l2.hooks + l3.hooks, 0);
    EXPECT_EQ(B(l0.link.Resolve()->Pixel(0, 0)), 0);  // still the same picture
}

TEST_F(DIBImageList, LinksAndListOutliveEachOther) {
    auto owned = std::make_unique<TDIBImageList>(nullptr);
    owned->DIBImages().Add();
    TDIBImageLink survivor;
    survivor.SetDIBImageList(owned.get());
    {
        TDIBImageLink gone;
        gone.SetDIBImageList(owned.get());
    }
    owned->ImageChanged(0);  // the freed link is no longer told
    owned.reset();
    EXPECT_EQ(survivor.DIBImageList(), nullptr);
    EXPECT_EQ(survivor.Resolve(), nullptr);
}

TEST_F(DIBImageList, TemplateKeysFindOrAppend) {
    TDIBImagesItem& made = list.ItemByTemplate("knob", 12);
    EXPECT_EQ(made.TemplateFilename(), "knob:12");
    EXPECT_EQ(list.DIBImages().Count(), 4);
    EXPECT_EQ(&list.ItemByTemplate("knob", 12), &made);
    EXPECT_EQ(list.DIBImages().Count(), 4);
}

TEST_F(DIBImageList, LoadOnStartTranslatesTheDirectory) {
    const auto dir = std::filesystem::temp_directory_path() / "trv4-imagelist-skin";
    std::filesystem::create_directories(dir);
    TMemoryDIB picture(3, 1);
    FillTagged(picture);
    {
        const auto bytes = TRSBFormat().Encode(picture);
        std::ofstream((dir / "knob.rsb").string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    TDIBImagesItem& item = list.DIBImages().Add();
    item.SetImageRetrieval(irLoadOnStart);
    item.SetImageFilename("C:\\Skins\\Old\\knob.rsb");
    std::string asked;
    item.OnTranslateImagePath = [&](TDIBImagesItem&, std::string& directory) {
        asked = directory;
        directory = dir.string();  // no separator at the end: one is added
    };
    ProbeLink link(list, 3);
    link.hooks = 0;
    TAbstractSuperDIB* image = list.Resolve(3);  // the first access loads
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(asked, "C:\\Skins\\Old\\");
    EXPECT_EQ(image->Width(), 3);
    EXPECT_EQ(G(image->Pixel(2, 0)), 0);
    EXPECT_EQ(B(image->Pixel(2, 0)), 0);  // 5/6/5 keeps the top bits of 2
    EXPECT_TRUE(item.FilesLoaded());
    EXPECT_GE(link.hooks, 1);  // the loaded pixels repaint the controls
    // An empty answer leaves the bare name; a missing file leaves no image.
    TDIBImagesItem& missing = list.DIBImages().Add();
    missing.SetImageRetrieval(irLoadOnStart);
    missing.SetImageFilename("/nowhere/trv4-missing.rsb");
    missing.OnTranslateImagePath = [](TDIBImagesItem&, std::string& directory) { directory.clear(); };
    EXPECT_EQ(missing.TranslatePath("/nowhere/trv4-missing.rsb"), "trv4-missing.rsb");
    EXPECT_EQ(list.Resolve(4), nullptr);
    EXPECT_FALSE(missing.FilesLoaded());
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace toolkit::test
