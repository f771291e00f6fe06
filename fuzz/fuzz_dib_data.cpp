// Fuzz target: the DIB.Data payload reader (plain and compressed forms).
// Any input either loads an image whose size matches the bytes or raises a
// toolkit error; nothing is read past the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "toolkit/cDIB.h"
#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPayload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toolkit::TMemoryDIB dib;
    try {
        toolkit::ReadDIBData(dib, data, size);
    } catch (const toolkit::EDIBError&) {
        if (dib.HasPixels()) std::abort();  // a refused payload left pixels behind
        return 0;
    }
    if (size > 0 && size != 4 + size_t(dib.Width()) * dib.Height() * 4) std::abort();
    return 0;
}
