// Speed of the dial's repaint: one 49 x 49 dial with a 10 x 10 key-coloured
// pointer at 300 positions (goal: well under 20 microseconds per repaint),
// the same through the window's paint, and a full repaint of a 755 x 370
// container holding a background image and sixteen dials, all on the
// headless backend.
#include <benchmark/benchmark.h>

#include "platform/Form.h"
#include "platform/headless/HeadlessBackend.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImage.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPanel.h"

namespace {

using namespace toolkit;

constexpr int kW = 755, kH = 370;

void Pattern(TAbstractSuperDIB& dib, uint32_t seed) {
    uint32_t* p = dib.Bits();
    for (size_t i = 0, n = size_t(dib.Width()) * dib.Height(); i < n; ++i)
        p[i] = (uint32_t(i * 2654435761u) ^ seed) | 0xFF000000u;
}

// The editor's skin in shape: a pointer with a fixed key colour, a knob body
// with black as key colour and an opaque chassis.
struct Skin {
    Skin() : form(backend, 0) {
        form.SetBounds(0, 0, kW, kH);
        container = new TDIBContainer(&form);
        container->SetParent(&form);
        container->SetBounds(0, 0, kW, kH);
        list = new TDIBImageList(&form);
        TMemoryDIB& pointer = list->DIBImages().Add().DIB();
        pointer.SetSize(10, 10);
        Pattern(pointer, 1);
        for (int i = 0; i < 100; i += 3) pointer.Bits()[i] = 0x666666;
        pointer.SetTransparent(true);
        pointer.SetTransparentMode(tmFixed);
        pointer.SetTransparentColor(0x666666);
        TMemoryDIB& body = list->DIBImages().Add().DIB();
        body.SetSize(49, 49);
        Pattern(body, 2);
        for (int i = 0; i < 49 * 49; i += 4) body.Bits()[i] = 0;
        body.SetTransparent(true);
        body.SetTransparentMode(tmFixed);
        body.SetTransparentColor(0);
        TMemoryDIB& chassis = list->DIBImages().Add().DIB();
        chassis.SetSize(kW, kH);
        Pattern(chassis, 3);
    }
    TDIBDial* Dial(int left, int top) {
        auto* dial = new TDIBDial(&form);
        dial->SetDIBImageList(list);
        dial->IndexMain().SetDIBIndex(1);
        dial->IndexPointer().SetDIBIndex(0);
        dial->SetLeft(left);
        dial->SetTop(top);
        dial->PointerAngles().SetStart(210);
        dial->PointerAngles().SetRange(300);
        dial->SetMax(299);
        dial->SetPointerRadius(20);
        return dial;
    }
    platform::HeadlessBackend backend;
    platform::Form form;
    TDIBContainer* container;
    TDIBImageList* list;
};

// The dial's own part of a repaint, as the container runs it per child:
// copy what lies beneath, draw body and pointer, blend back.
void BM_DialRepaint(benchmark::State& state) {
    Skin skin;
    TDIBDial* dial = skin.Dial(100, 100);
    TWinDIB& main = skin.container->MainSurface();
    TWinDIB& scratch = skin.container->ScratchSurface();
    int position = 0;
    for (auto _ : state) {
        dial->SetPosition(position);
        position = position == 299 ? 0 : position + 1;
        scratch.SetSize(49, 49);
        scratch.ResetSettings();
        scratch.ResetClipRect();
        dial->PaintOnto(main, scratch);
        benchmark::DoNotOptimize(main.Bits());
    }
}
BENCHMARK(BM_DialRepaint)->Unit(benchmark::kMicrosecond);

// A position change as the window paints it: the dial's rectangle of the
// container (background fill, the dial, the copy to the window).
void BM_DialRepaintThroughWindow(benchmark::State& state) {
    Skin skin;
    TDIBDial* dial = skin.Dial(100, 100);
    skin.backend.PaintPending();
    int position = 0;
    for (auto _ : state) {
        dial->SetPosition(position);
        position = position == 299 ? 0 : position + 1;
        skin.backend.PaintPending();
    }
}
BENCHMARK(BM_DialRepaintThroughWindow)->Unit(benchmark::kMicrosecond);

void BM_SixteenDialsFullRepaint(benchmark::State& state) {
    Skin skin;
    auto* background = new TDIBImage(&skin.form);
    background->SetDIBImageList(skin.list);
    background->IndexMain().SetDIBIndex(2);
    background->SetBounds(0, 0, kW, kH);
    std::vector<TDIBDial*> dials;
    for (int i = 0; i < 16; ++i) dials.push_back(skin.Dial(20 + (i % 8) * 90, 60 + (i / 8) * 160));
    skin.backend.PaintPending();
    int position = 0;
    for (auto _ : state) {
        for (TDIBDial* d : dials) d->SetPosition(position);
        position = position == 299 ? 0 : position + 1;
        skin.container->InvalidateRect(skin.container->ClientRect(), false);
        skin.backend.PaintPending();
    }
}
BENCHMARK(BM_SixteenDialsFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
