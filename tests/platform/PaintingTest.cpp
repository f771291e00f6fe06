// Headless paints, labels and pictures, timers against the test clock, and
// forms loaded from their stored description.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/FormReader.h"
#include "platform/Image.h"
#include "platform/Label.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform {
namespace {

uint32_t PixelAt(DibSection& dib, int x, int y) {
    uint32_t word;
    std::memcpy(&word, dib.Bits() + (static_cast<size_t>(dib.Height() - 1 - y) * dib.Width() + x) * 4, 4);
    return word & 0xFFFFFF;
}

std::unique_ptr<DibSection> Solid(int w, int h, uint32_t word) {
    auto dib = DibSection::Create(w, h);
    auto* p = reinterpret_cast<uint32_t*>(dib->Bits());
    for (int i = 0; i < w * h; ++i) p[i] = word;
    return dib;
}

class Painting : public ::testing::Test {
protected:
    Painting() : form(backend, 0) {
        form.SetBounds(0, 0, 120, 80);
        form.SetColor(clSilver);
        label = new Label(&form);
        label->SetParent(&form);
        label->SetBounds(10, 10, 0, 0);
        label->SetColor(clBlack);
        label->SetFont({"Arial", -11, clWhite});
        label->SetCaption("12.5");
        picture = new Image(&form);
        picture->SetParent(&form);
        picture->SetBounds(60, 20, 30, 45);
        picture->SetPicture(Solid(40, 50, 0x00FF0000));  // red, larger than the control
        backend.PaintPending();
        backend.TakePaints(form.Handle());
        backend.TakeInvalidations(form.Handle());
    }

    HeadlessBackend backend;
    Form form;
    Label* label;
    Image* picture;
};

TEST_F(Painting, FormPaintsBackgroundThenControlsClippedToTheirBounds) {
    auto shot = backend.Capture(form.Handle());
    EXPECT_EQ(PixelAt(*shot, 2, 2), 0xC0C0C0u) << "form colour";
    EXPECT_EQ(PixelAt(*shot, 60, 20), 0xFF0000u);
    EXPECT_EQ(PixelAt(*shot, 89, 64), 0xFF0000u);
    EXPECT_EQ(PixelAt(*shot, 90, 30), 0xC0C0C0u) << "picture cut at the control's right edge";
    EXPECT_EQ(PixelAt(*shot, 70, 65), 0xC0C0C0u) << "and at its bottom";

    // The label fits its text, paints its box black and its text white.
    const Size text = MeasureText("12.5", label->GetFont());
    EXPECT_EQ(label->Width(), text.width);
    EXPECT_EQ(label->Height(), text.height);
    int ink = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool inLabel = label->BoundsRect().Contains({x, y});
            const uint32_t c = PixelAt(*shot, x, y);
            if (inLabel && c != 0) ++ink;
            if (!inLabel && !picture->BoundsRect().Contains({x, y})) {
                ASSERT_EQ(c, 0xC0C0C0u) << x << "," << y;
            }
        }
    EXPECT_GT(ink, 10);

    // A smaller picture control shows less of the same picture.
    picture->SetBounds(60, 20, 10, 10);
    shot = backend.Capture(form.Handle());
    EXPECT_EQ(PixelAt(*shot, 69, 29), 0xFF0000u);
    EXPECT_EQ(PixelAt(*shot, 70, 29), 0xC0C0C0u);
}

TEST_F(Painting, ChangesInvalidateOldAndNewPlaceAndPaintOnlyThat) {
    const Rect before = label->BoundsRect();
    label->SetCaption("12.55 ms");
    const Rect after = label->BoundsRect();
    EXPECT_GT(after.right, before.right);
    auto requests = backend.TakeInvalidations(form.Handle());
    ASSERT_FALSE(requests.empty());
    Rect requested;
    for (const auto& r : requests) {
        requested = requested.Union(r.rect);
        EXPECT_FALSE(r.erase) << "an opaque label asks for no erase";
    }
    EXPECT_EQ(requested, before.Union(after));
    EXPECT_EQ(backend.PendingUpdate(form.Handle()), before.Union(after));
    backend.PaintPending();
    EXPECT_EQ(backend.TakePaints(form.Handle()), (std::vector<Rect>{before.Union(after)}));

    // A transparent label wants the background erased; validating the
    // whole area drops the pending paint.
    label->SetTransparent(true);
    auto transparent = backend.TakeInvalidations(form.Handle());
    ASSERT_EQ(transparent.size(), 1u);
    EXPECT_TRUE(transparent[0].erase);
    form.ValidateRect(form.ClientRect());
    backend.PaintPending();
    EXPECT_TRUE(backend.TakePaints(form.Handle()).empty());

    // Hidden controls invalidate their place once and are not painted.
    picture->SetVisible(false);
    picture->Invalidate();
    auto hidden = backend.TakeInvalidations(form.Handle());
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(hidden[0].rect, picture->BoundsRect());
    auto shot = backend.Capture(form.Handle());
    EXPECT_EQ(PixelAt(*shot, 70, 30), 0xC0C0C0u);
}

TEST_F(Painting, CapturedPixelsRunTopDownAsTheScreenShowsThem) {
    const HeadlessBackend::Pixels shot = backend.CapturePixels(form.Handle());
    ASSERT_EQ(shot.width, 120);
    ASSERT_EQ(shot.height, 80);
    ASSERT_EQ(shot.words.size(), 120u * 80u);
    EXPECT_EQ(shot.words[30 * 120 + 70], 0xFF0000u) << "the picture, near the top";
    EXPECT_EQ(shot.words[75 * 120 + 70], 0xC0C0C0u) << "the form below it";
    auto picture = backend.Capture(form.Handle());
    int differing = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            differing += shot.words[static_cast<size_t>(y) * 120 + x] != PixelAt(*picture, x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(backend.CapturePixels(9999).words.empty()) << "no such window";
}

const char kEditorLike[] =
    "object Window: TTestForm\n"
    "  Color = clSilver\n"
    "  Caption = 'Tolvmark TRV-4'\n"
    "  ClientWidth = 200\n"
    "  ClientHeight = 100\n"
    "  BorderStyle = bsNone\n"
    "  BorderIcons = [biSystemMenu]\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Height = -11\n"
    "  Font.Color = clWhite\n"
    "  PixelsPerInch = 96\n"
    "  OnCreate = FormCreate\n"
    "  object Area: TPanel\n"
    "    Left = 100\n"
    "    Width = 100\n"
    "    Height = 100\n"
    "    Color = clBlack\n"
    "    object Label1: TLabel\n"
    "      Left = 10\n"
    "      Top = 12\n"
    "      Width = 37\n"
    "      Height = 12\n"
    "      Caption = 'Label1'\n"
    "      Color = clBlack\n"
    "      Font.Color = clInfoBk\n"
    "      Font.Height = -11\n"
    "      Font.Name = 'Arial'\n"
    "    end\n"
    "  end\n"
    "  object Logo: TImage\n"
    "    Left = 12\n"
    "    Top = 6\n"
    "    Width = 2\n"
    "    Height = 1\n"
    "    Cursor = crHandPoint\n"
    "    OnClick = LogoClick\n"
    "    Picture.Data = {\n"
    "      02000100FF000000FF000000}\n"
    "  end\n"
    "end\n";

class TestForm : public Form {
public:
    explicit TestForm(Backend& backend) : Form(backend, 0) {
        RegisterMethod<void(Component*)>("FormCreate",
                                         [this](Component*) { created = Find<Label>("Label1") != nullptr; });
        RegisterMethod<void(Component*)>("LogoClick", [this](Component*) { ++logoClicks; });
    }
    static const ClassInfo& StaticClass() {
        static const ClassInfo info = ClassBuilder<TestForm>("TTestForm", &Form::StaticClass()).Build();
        return info;
    }
    const ClassInfo& Class() const override { return StaticClass(); }
    bool created = false;
    int logoClicks = 0;
};

TEST(FormLoading, BuildsWindowsAndControlsBindsEventsAndWritesTheSameText) {
    // Plain panels are not among the library's own form classes: a program
    // that stores them registers the class.
    ClassRegistry::Register(Panel::StaticClass());
    HeadlessBackend backend;
    TestForm form(backend);
    form.Load(kEditorLike);
    EXPECT_TRUE(form.created) << "OnCreate after the components exist";
    auto* area = form.Find<Panel>("Area");
    auto* label = form.Find<Label>("Label1");
    ASSERT_TRUE(area && label);
    EXPECT_TRUE(area->HasHandle());
    EXPECT_EQ(label->Parent(), area);
    EXPECT_EQ(label->Width(), MeasureText("Label1", label->GetFont()).width) << "fitted after loading";
    EXPECT_EQ(backend.WindowCount(), 2u);

    backend.MouseDown(form.Handle(), MouseButton::Left, {12, 6});
    backend.MouseUp(form.Handle(), MouseButton::Left, {13, 6});
    EXPECT_EQ(form.logoClicks, 1);
    EXPECT_EQ(backend.CursorAt(form.Handle(), {13, 6}), Cursor::HandPoint);

    // The label's box and text land in the panel's window.
    auto shot = backend.Capture(form.Handle());
    EXPECT_EQ(PixelAt(*shot, 12, 6), 0x0000FFu) << "the picture's first top-row pixel";
    EXPECT_EQ(PixelAt(*shot, 150, 50), 0u) << "panel colour";

    std::string text = kEditorLike;
    text.replace(text.find("      Width = 37\n"), 17, "      Width = " + std::to_string(label->Width()) + "\n");
    text.replace(text.find("      Height = 12\n"), 18, "      Height = " + std::to_string(label->Height()) + "\n");
    EXPECT_EQ(WriteForm(form), text);
}

TEST(FormLoading, FailureLeavesNoWindowOrComponentBehind) {
    ClassRegistry::Register(Panel::StaticClass());
    HeadlessBackend backend;
    TestForm form(backend);
    std::string text = kEditorLike;
    // The last object's position, read after the panel and its label exist.
    text.replace(text.find("    Top = 6\n"), 12, "    Top = 40000\n");
    try {
        form.Load(text);
        FAIL() << "accepted a position beyond the coordinate range";
    } catch (const FormError& e) {
        EXPECT_EQ(e.Line(), 32);
    }
    EXPECT_FALSE(form.created);
    EXPECT_TRUE(form.Components().empty());
    EXPECT_TRUE(form.Controls().empty());
    EXPECT_EQ(backend.WindowCount(), 1u) << "only the form's own window";

    text = kEditorLike;
    text.replace(text.find("02000100FF000000FF000000"), 24, "02000200FF000000FF000000");
    EXPECT_THROW(form.Load(text), FormError) << "picture data shorter than its size";
    EXPECT_EQ(backend.WindowCount(), 1u);
}

}  // namespace
}  // namespace platform
