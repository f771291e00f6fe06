// The editor's test port driven as a user would, in the editor's logical
// pixels: a drag up from a control's middle, wheel notches over it.
#pragma once

#include <gtest/gtest.h>

#include "editor/EditorTestPort.h"

namespace trv4test {

struct PortUser {
    PortUser() { port.size = sizeof port; }

    trv4::EditorTestPort port{};

    trv4::EditorControlInfo info(const char* name) {
        trv4::EditorControlInfo i{};
        EXPECT_EQ(port.controlInfo(port.context, name, &i), 1) << name;
        return i;
    }
    void drag(const char* name, int pixelsUp) {
        const trv4::EditorControlInfo i = info(name);
        const int x = i.left + i.width / 2, y = i.top + i.height / 2;
        port.mouseDown(port.context, trv4::kPortLeft, x, y);
        for (int dy = 1; dy <= pixelsUp; ++dy) port.mouseMove(port.context, x, y - dy);
        port.mouseUp(port.context, trv4::kPortLeft, x, y - pixelsUp);
    }
    void wheel(const char* name, int notches) {
        const trv4::EditorControlInfo i = info(name);
        port.mouseWheel(port.context, i.left + i.width / 2, i.top + i.height / 2, 120 * notches);
    }
};

}  // namespace trv4test
