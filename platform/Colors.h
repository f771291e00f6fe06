// Named colours of stored forms (clBlack, clSilver, clInfoBk, ...) and the
// system colours among them. A system colour is 0xFF000000 plus the Win32
// COLOR_ index and is resolved when drawn: by the system on Windows, from a
// fixed table of the Windows defaults elsewhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ClassInfo.h"
#include "platform/Geometry.h"

namespace platform {

constexpr Color clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                clWhite = 0xFFFFFF;
constexpr Color clBtnFace = 0xFF00000F, clWindow = 0xFF000005, clWindowText = 0xFF000008, clInfoText = 0xFF000017,
                clInfoBk = 0xFF000018;

// The 0x00BBGGRR value to draw with.
Color ResolveColor(Color color);

std::optional<Color> ColorFromName(std::string_view name);
// The name, or "$00BBGGRR" for a colour without one.
std::string ColorToName(Color color);

// A colour property for ClassBuilder: a name or an integer when read,
// the name (or $ hex) when written.
template <typename C, typename G, typename S>
void AddColorProperty(ClassBuilder<C>& builder, std::string name, G get, S set) {
    builder.Add(
        std::move(name),
        [=](C& c, const Value& v) {
            if (v.kind == Value::Kind::Integer) {
                std::invoke(set, c, static_cast<Color>(v.AsInteger(INT32_MIN, UINT32_MAX)));
                return;
            }
            const auto color = ColorFromName(v.AsIdentifier());
            if (!color) throw ValueError("'" + v.text + "' is not a colour");
            std::invoke(set, c, *color);
        },
        [=](const C& c) { return Value::Identifier(ColorToName(std::invoke(get, c))); });
}

}  // namespace platform
