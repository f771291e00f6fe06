#include "vst/FloatControl.h"

#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace vst {

void maskFloatExceptions() {
#if defined(__i386__)
    // x87: the runtime default word with all six exception masks set:
    // 64-bit mantissa, round to nearest.
    unsigned short controlWord = 0x133F;
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
#endif
#if defined(__i386__) || defined(__x86_64__)
    // SSE arithmetic (all our float and double code): mask the six exceptions,
    // leave rounding and the denormal modes as the host set them.
    _mm_setcsr(_mm_getcsr() | 0x1F80u);
#endif
}

namespace {
// Once at library load.
struct MaskAtLoad {
    MaskAtLoad() { maskFloatExceptions(); }
} maskAtLoad;
}  // namespace

}  // namespace vst
