// Fuzz target: the RSB reader. Any input either decodes to a picture whose
// pixels fit its size or raises a toolkit error; the surface only changes on
// success.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toolkit::TRSBFormat rsb;
    toolkit::TMemoryDIB dib(2, 2);
    try {
        rsb.Read(dib, data, size);
    } catch (const toolkit::EDIBError&) {
        if (dib.Width() != 2 || dib.Height() != 2) std::abort();
        return 0;
    }
    if (size < 28 + size_t(dib.Width()) * dib.Height() * 2) std::abort();
    return 0;
}
