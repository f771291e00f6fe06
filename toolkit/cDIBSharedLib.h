// Internal: a system library opened on first use with dlopen, so that the
// plug-in module loads on machines without it (image import then reports
// the format as unsupported). Window thread only.
#pragma once

#include <dlfcn.h>

namespace toolkit::detail {

class TDIBSharedLib {
public:
    explicit TDIBSharedLib(const char* soname) : fHandle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}
    ~TDIBSharedLib() = default;  // kept open for the life of the process
    bool Loaded() const { return fHandle != nullptr; }
    // The function `name` as a pointer of type F; null when missing.
    template <typename F>
    F Get(const char* name) const {
        return fHandle ? reinterpret_cast<F>(dlsym(fHandle, name)) : nullptr;
    }

private:
    void* fHandle;
};

}  // namespace toolkit::detail
