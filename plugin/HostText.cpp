#include "plugin/HostText.h"

namespace trv4 {

void copyHostText(char* dest, const char* src, std::size_t maxChars) {
    if (!dest) return;
    std::size_t n = 0;
    if (src)
        for (; n < maxChars && src[n]; ++n) dest[n] = src[n];
    dest[n] = 0;
}

}  // namespace trv4
