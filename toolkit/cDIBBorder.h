// TDIBBorder: a frame a container draws into its main surface, under or
// over its controls (the container's BorderDrawPosition), with an edge
// width of its own on each side; the container's client area inside the
// frame (DIBClientRect) shrinks by those widths. One border may serve
// several containers; each repaints when the border changes.
//
// Window thread only.
#pragma once

#include <vector>

#include "platform/Component.h"
#include "platform/Geometry.h"

namespace toolkit {

class TAbstractSuperDIB;
class TCustomDIBContainer;

class TDIBBorder : public platform::Component {
public:
    explicit TDIBBorder(platform::Component* owner) : platform::Component(owner) {}
    ~TDIBBorder() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes TDIBBorder known to the form reader (idempotent).
    static void RegisterClass();

    // Edge widths in pixels; negative values count as 0.
    int EdgeLeft() const { return fLeft; }
    void SetEdgeLeft(int pixels) { SetEdge(fLeft, pixels); }
    int EdgeTop() const { return fTop; }
    void SetEdgeTop(int pixels) { SetEdge(fTop, pixels); }
    int EdgeRight() const { return fRight; }
    void SetEdgeRight(int pixels) { SetEdge(fRight, pixels); }
    int EdgeBottom() const { return fBottom; }
    void SetEdgeBottom(int pixels) { SetEdge(fBottom, pixels); }
    platform::Color GetColor() const { return fColor; }
    void SetColor(platform::Color color);

    // outer without the edges (never inside out).
    platform::Rect Shrink(const platform::Rect& outer) const;
    // The four edges of outer, within the surface's clip rectangle.
    void Draw(TAbstractSuperDIB& surface, const platform::Rect& outer) const;

    // The containers that draw this border (they register themselves).
    void AddUser(TCustomDIBContainer* container);
    void RemoveUser(TCustomDIBContainer* container);

private:
    void SetEdge(int& edge, int pixels);
    void Changed();

    int fLeft = 1;
    int fTop = 1;
    int fRight = 1;
    int fBottom = 1;
    platform::Color fColor = 0;  // black
    std::vector<TCustomDIBContainer*> fUsers;
};

}  // namespace toolkit
