// Writes the seed inputs of fuzz_form: make_form_corpus DIR writes
// DIR/form/*, forms written by the form writer: a container with an image
// list and a fully configured dial, the same with extreme stored values,
// and an image and a border beside it.
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Form.h"
#include "platform/FormReader.h"
#include "platform/headless/HeadlessBackend.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPanel.h"

namespace {

struct Knob {
    int min, max, position, start, range, glyphs, radius;
    double resolution, pixels;
    bool rotate;
};

std::string DialForm(const Knob& k, bool extras) {
    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    form.SetName("KnobWindow");
    form.SetBounds(0, 0, 200, 120);
    form.RegisterMethod<void(platform::Component*)>("KnobChange", [](platform::Component*) {});
    auto* container = new toolkit::TDIBContainer(&form);
    container->SetName("Container1");
    container->SetParent(&form);
    container->SetBounds(0, 0, 200, 120);
    auto* list = new toolkit::TDIBImageList(&form);
    list->SetName("ImageList1");
    toolkit::TMemoryDIB& pointer = list->DIBImages().Add().DIB();
    pointer.SetSize(30, 10);  // three 10 x 10 frames
    for (int i = 0; i < 300; ++i) pointer.Bits()[i] = 0xFF666666u + uint32_t(i % 7) * 0x010203u;
    pointer.SetTransparent(true);
    pointer.SetTransparentMode(toolkit::tmFixed);
    pointer.SetTransparentColor(0x666666);
    toolkit::TMemoryDIB& body = list->DIBImages().Add().DIB();
    body.SetSize(49, 49);
    for (int i = 0; i < 49 * 49; ++i) body.Bits()[i] = (i % 5) ? 0xFF203040u : 0;
    body.SetTransparent(true);
    auto* dial = new toolkit::TDIBDial(&form);
    dial->SetName("Knob");
    dial->SetDIBImageList(list);
    dial->SetLeft(20);
    dial->SetTop(20);
    dial->IndexMain().SetDIBIndex(1);
    dial->IndexPointer().SetDIBIndex(0);
    dial->SetMax(k.max);
    dial->SetMin(k.min);
    dial->SetPosition(k.position);
    dial->PointerAngles().SetStart(k.start);
    dial->PointerAngles().SetRange(k.range);
    dial->PointerAngles().SetResolution(k.resolution);
    dial->PointerOpacities().SetActive(128);
    dial->PointerOpacities().SetNormal(200);
    dial->SetMouseControlStyle(toolkit::mcsLinear);
    dial->SetMouseLinearSensitivity(toolkit::mlsVertical);
    dial->SetHorizontalPixelsPerPosition(k.pixels);
    dial->SetVerticalPixelsPerPosition(k.pixels);
    dial->SetPointerRadius(k.radius);
    dial->SetPointerNumGlyphs(k.glyphs);
    dial->SetPointerRotate(k.rotate);
    dial->SetSmallChange(3);
    dial->SetPageSize(11);
    dial->OnChange.name = "KnobChange";
    dial->OnChange.handler = [](platform::Component*) {};
    if (extras) {
        auto* image = new toolkit::TDIBImage(&form);
        image->SetName("Picture");
        image->SetDIBImageList(list);
        image->IndexMain().SetDIBIndex(1);
        image->SetBounds(100, 10, 60, 60);
        image->SetAngle(33);
        auto* border = new toolkit::TDIBBorder(&form);
        border->SetName("Frame");
        border->SetEdgeLeft(3);
        container->SetDIBBorder(border);
        auto* second = new toolkit::TDIBDial(&form);
        second->SetName("Circular");
        second->SetDIBImageList(list);
        second->IndexMain().SetDIBIndex(1);
        second->IndexPointer().SetDIBIndex(0);
        second->SetBounds(120, 60, 49, 49);
    }
    return platform::WriteForm(form);
}

void Save(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path dir = std::filesystem::path(argv[1]) / "form";
    std::filesystem::create_directories(dir);
    Save(dir / "editor_knob", DialForm({0, 100, 50, 210, 300, 1, 20, 0, 1.0, false}, false));
    Save(dir / "glyphs_rotated", DialForm({-50, 50, 7, 90, 180, 3, 15, 45.5, 0.25, true}, true));
    Save(dir / "extreme_range", DialForm({INT_MIN, INT_MAX, INT_MAX, 359, 360, 1, -5, 360, 1e-30, true}, false));
    Save(dir / "many_glyphs", DialForm({0, 1, 1, 0, 1, 1000, INT_MAX, 1, 1e30, false}, true));
    return 0;
}
