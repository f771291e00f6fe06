// Mouse, keyboard and cursor values shared by all backends. Key codes are
// the Win32 virtual-key codes on every platform (the X11 backend maps its
// key symbols onto them).
#pragma once

#include <cstdint>

namespace platform {

enum class MouseButton { Left, Right, Middle };

// Keyboard and button state at the time of an event: a set of these bits.
using ShiftState = unsigned;
constexpr ShiftState ssShift = 1;
constexpr ShiftState ssAlt = 2;
constexpr ShiftState ssCtrl = 4;
constexpr ShiftState ssLeft = 8;
constexpr ShiftState ssRight = 16;
constexpr ShiftState ssMiddle = 32;
constexpr ShiftState ssDouble = 64;

enum class Cursor { Default, Arrow, HandPoint };

using Key = uint16_t;
constexpr Key vkBack = 0x08, vkTab = 0x09, vkReturn = 0x0D, vkShift = 0x10, vkControl = 0x11, vkMenu = 0x12,
              vkEscape = 0x1B, vkSpace = 0x20, vkPrior = 0x21, vkNext = 0x22, vkEnd = 0x23, vkHome = 0x24,
              vkLeft = 0x25, vkUp = 0x26, vkRight = 0x27, vkDown = 0x28, vkDelete = 0x2E;

// Answers to the dialog-code query (the Win32 DLGC_ values).
constexpr unsigned dlgcWantArrows = 0x01;
constexpr unsigned dlgcWantTab = 0x02;
constexpr unsigned dlgcWantAllKeys = 0x04;
constexpr unsigned dlgcWantChars = 0x80;

}  // namespace platform
