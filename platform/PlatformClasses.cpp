// The classes of this library that stored forms can create. Panel is not
// among them: no form of ours holds one, and a program that stores plain
// panels registers the class itself.
#include <vector>

#include "platform/ClassInfo.h"
#include "platform/Image.h"
#include "platform/Label.h"

namespace platform {

std::vector<const ClassInfo*> PlatformClasses() { return {&Label::StaticClass(), &Image::StaticClass()}; }

}  // namespace platform
