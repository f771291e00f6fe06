// Fuzz target: stored form descriptions read into a headless form with the
// toolkit's classes registered (container, image list, image, dial, timer,
// border). Any text either loads or raises FormError; a loaded form then
// paints and takes presses, drags, wheel turns and repeat ticks over its
// middle and its controls, so absurd stored values (ranges, radii, glyph
// counts, angles) meet the drawing and mouse code. Texts that name sizes
// above 1024 pixels are skipped: a container or control that large is
// legal, only slow and memory-hungry to paint.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Form.h"
#include "platform/FormReader.h"
#include "platform/headless/HeadlessBackend.h"
#include "toolkit/cDIBDial.h"
#include "toolkit/cDIBImageList.h"
#include "toolkit/cDIBPanel.h"

namespace {

constexpr long kMaxSize = 1024;

// A "...Width = n" or "...Height = n" line with n above kMaxSize.
bool NamesAHugeSize(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view name = line.substr(0, eq);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.remove_suffix(1);
        if (!name.ends_with("Width") && !name.ends_with("Height")) continue;
        const std::string value(line.substr(eq + 1));
        const long v = std::strtol(value.c_str(), nullptr, 0);
        if (v > kMaxSize || v < -kMaxSize || value.find('$') != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = [] {
        toolkit::TDIBImageList::RegisterClass();
        toolkit::TDIBContainer::RegisterClasses();
        return true;
    }();
    (void)registered;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (NamesAHugeSize(text)) return 0;

    platform::HeadlessBackend backend;
    platform::Form form(backend, 0);
    form.RegisterMethod<void(platform::Component*)>("KnobChange", [](platform::Component*) {});
    try {
        form.Load(text);
    } catch (const platform::FormError&) {
        return 0;
    }
    for (platform::Control* c : form.Controls())
        if (c->Width() > kMaxSize || c->Height() > kMaxSize) return 0;
    auto* container = dynamic_cast<toolkit::TDIBContainer*>(form.Controls().empty() ? nullptr : form.Controls()[0]);
    if (!container) {
        backend.PaintPending();
        return 0;
    }
    for (platform::Control* c : container->Controls())
        if (c->Width() > kMaxSize || c->Height() > kMaxSize) return 0;
    backend.PaintPending();

    const uintptr_t window = container->Handle();
    for (platform::Control* c : container->Controls()) {
        const platform::Point mid{c->Left() + c->Width() / 2, c->Top() + c->Height() / 2};
        const platform::Point corner{c->Left() + 1, c->Top() + 1};
        backend.MouseMove(window, corner);
        backend.MouseDown(window, platform::MouseButton::Left, corner);
        backend.AdvanceClock(120);
        backend.MouseMove(window, mid);
        backend.MouseMove(window, {mid.x + 7, mid.y - 40});
        backend.MouseUp(window, platform::MouseButton::Left, {mid.x + 7, mid.y - 40});
        backend.MouseDown(window, platform::MouseButton::Left, mid);
        backend.AdvanceClock(60);
        backend.MouseUp(window, platform::MouseButton::Left, mid);
        backend.MouseWheel(window, mid, 120);
        backend.MouseWheel(window, mid, -360);
        backend.PaintPending();
    }
    return 0;
}
