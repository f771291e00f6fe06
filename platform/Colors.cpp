#include "platform/Colors.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

namespace {

struct Named {
    const char* name;
    Color color;
};

constexpr Named kNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clBtnFace", clBtnFace},
    {"clWindow", clWindow},
    {"clWindowText", clWindowText},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

}  // namespace

Color ResolveColor(Color color) {
    if ((color & 0xFF000000) != 0xFF000000) return color & 0x00FFFFFF;
    const int index = static_cast<int>(color & 0xFF);
#ifdef _WIN32
    return GetSysColor(index);
#else
    // Windows' default scheme.
    switch (index) {
    case 5: return clWhite;                   // COLOR_WINDOW
    case 8: return clBlack;                   // COLOR_WINDOWTEXT
    case 15: return RGBColor(240, 240, 240);  // COLOR_BTNFACE
    case 23: return clBlack;                  // COLOR_INFOTEXT
    case 24: return RGBColor(255, 255, 225);  // COLOR_INFOBK
    default: return clBlack;
    }
#endif
}

std::optional<Color> ColorFromName(std::string_view name) {
    for (const Named& n : kNames)
        if (SameName(n.name, name)) return n.color;
    return std::nullopt;
}

std::string ColorToName(Color color) {
    for (const Named& n : kNames)
        if (n.color == color) return n.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
    return buffer;
}

}  // namespace platform
