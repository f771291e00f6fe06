// The classes of this library that stored forms can create.
#include <vector>

#include "platform/ClassInfo.h"

namespace platform {

std::vector<const ClassInfo*> PlatformClasses() { return {}; }

}  // namespace platform
