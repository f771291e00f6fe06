#include "toolkit/cDIBBorder.h"

#include <algorithm>
#include <cstdint>

#include "platform/Colors.h"
#include "toolkit/cDIB.h"
#include "toolkit/cDIBPanel.h"

namespace toolkit {

TDIBBorder::~TDIBBorder() {
    // The containers hear of it through their free notification.
    fUsers.clear();
}

const platform::ClassInfo& TDIBBorder::StaticClass() {
    static const platform::ClassInfo info = [] {
        using platform::Value;
        platform::ClassBuilder<TDIBBorder> b("TDIBBorder", &platform::Component::StaticClass());
        b.Creatable();
        b.Integer("EdgeLeft", &TDIBBorder::EdgeLeft, &TDIBBorder::SetEdgeLeft, 0, 32767).Default(Value::Integer(1));
        b.Integer("EdgeTop", &TDIBBorder::EdgeTop, &TDIBBorder::SetEdgeTop, 0, 32767).Default(Value::Integer(1));
        b.Integer("EdgeRight", &TDIBBorder::EdgeRight, &TDIBBorder::SetEdgeRight, 0, 32767).Default(Value::Integer(1));
        b.Integer("EdgeBottom", &TDIBBorder::EdgeBottom, &TDIBBorder::SetEdgeBottom, 0, 32767)
            .Default(Value::Integer(1));
        platform::AddColorProperty(b, "Color", &TDIBBorder::GetColor, &TDIBBorder::SetColor);
        b.Default(Value::Identifier(platform::ColorToName(0)));
        return b.Build();
    }();
    return info;
}

void TDIBBorder::RegisterClass() { platform::ClassRegistry::Register(StaticClass()); }

void TDIBBorder::SetEdge(int& edge, int pixels) {
    pixels = std::max(pixels, 0);
    if (pixels == edge) return;
    edge = pixels;
    Changed();
}

void TDIBBorder::SetColor(platform::Color color) {
    if (color == fColor) return;
    fColor = color;
    Changed();
}

void TDIBBorder::Changed() {
    for (TCustomDIBContainer* c : fUsers) c->InvalidateRect(c->ClientRect(), false);
}

void TDIBBorder::AddUser(TCustomDIBContainer* container) {
    if (std::find(fUsers.begin(), fUsers.end(), container) == fUsers.end()) fUsers.push_back(container);
}

void TDIBBorder::RemoveUser(TCustomDIBContainer* container) { std::erase(fUsers, container); }

platform::Rect TDIBBorder::Shrink(const platform::Rect& outer) const {
    const int left = int(std::min<int64_t>(int64_t(outer.left) + fLeft, outer.right));
    const int top = int(std::min<int64_t>(int64_t(outer.top) + fTop, outer.bottom));
    const int right = int(std::max<int64_t>(int64_t(outer.right) - fRight, left));
    const int bottom = int(std::max<int64_t>(int64_t(outer.bottom) - fBottom, top));
    return {left, top, right, bottom};
}

void TDIBBorder::Draw(TAbstractSuperDIB& surface, const platform::Rect& outer) const {
    const TDIBClipRect& c = surface.ClipRect();
    if (c.IsEmpty()) return;
    const platform::Rect clip{c.Left, c.Top, c.Right + 1, c.Bottom + 1};
    const platform::Rect inner = Shrink(outer);
    const platform::Rect edges[] = {
        {outer.left, outer.top, outer.right, inner.top},        // top, full width
        {outer.left, inner.bottom, outer.right, outer.bottom},  // bottom, full width
        {outer.left, inner.top, inner.left, inner.bottom},      // left, between them
        {inner.right, inner.top, outer.right, inner.bottom},    // right, between them
    };
    for (const platform::Rect& e : edges) {
        const platform::Rect r = e.Intersect(clip);
        if (!r.IsEmpty()) surface.FillRect(r.left, r.top, r.Width(), r.Height(), platform::ResolveColor(fColor));
    }
}

}  // namespace toolkit
