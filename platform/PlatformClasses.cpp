// The classes of this library that stored forms can create.
#include <vector>

#include "platform/ClassInfo.h"
#include "platform/Image.h"
#include "platform/Label.h"
#include "platform/Timer.h"
#include "platform/WinControl.h"

namespace platform {

std::vector<const ClassInfo*> PlatformClasses() {
    return {&Label::StaticClass(), &Image::StaticClass(), &Panel::StaticClass(), &Timer::StaticClass()};
}

}  // namespace platform
