// The picture loader on Windows: GDI+ through its flat interface, loaded
// from the system's gdiplus.dll on first use, so the plug-in imports no DLL
// that a plain system lacks. It reads BMP, JPEG, PNG and GIF.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/cDIBErrors.h"
#include "toolkit/cDIBPicture.h"

namespace toolkit::detail {
namespace {

// The published flat interface, declared here (stdcall, status 0 = Ok).
struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
struct GpRect {
    INT X, Y, Width, Height;
};
struct GpBitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};
using GpStatus = int;
using FnStartup = GpStatus(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using FnCreateFromStream = GpStatus(WINAPI*)(IStream*, void**);
using FnDispose = GpStatus(WINAPI*)(void*);
using FnGetSize = GpStatus(WINAPI*)(void*, UINT*);
using FnGetFormat = GpStatus(WINAPI*)(void*, INT*);
using FnLockBits = GpStatus(WINAPI*)(void*, const GpRect*, UINT, INT, GpBitmapData*);
using FnUnlockBits = GpStatus(WINAPI*)(void*, GpBitmapData*);

constexpr INT kFormat32bppARGB = 0x26200A;
constexpr INT kFormatAlphaFlag = 0x40000;
constexpr UINT kLockRead = 1;

// GDI+ stays loaded and started for the life of the process: shutting it
// down from a plug-in's unload would race other users in the host.
struct TGdiplus {
    bool ok = false;
    FnCreateFromStream createFromStream = nullptr;
    FnDispose dispose = nullptr;
    FnGetSize width = nullptr, height = nullptr;
    FnGetFormat format = nullptr;
    FnLockBits lock = nullptr;
    FnUnlockBits unlock = nullptr;

    TGdiplus() {
        HMODULE dll = LoadLibraryW(L"gdiplus.dll");
        if (!dll) return;
        auto get = [dll](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); };
        auto startup = reinterpret_cast<FnStartup>(get("GdiplusStartup"));
        createFromStream = reinterpret_cast<FnCreateFromStream>(get("GdipCreateBitmapFromStream"));
        dispose = reinterpret_cast<FnDispose>(get("GdipDisposeImage"));
        width = reinterpret_cast<FnGetSize>(get("GdipGetImageWidth"));
        height = reinterpret_cast<FnGetSize>(get("GdipGetImageHeight"));
        format = reinterpret_cast<FnGetFormat>(get("GdipGetImagePixelFormat"));
        lock = reinterpret_cast<FnLockBits>(get("GdipBitmapLockBits"));
        unlock = reinterpret_cast<FnUnlockBits>(get("GdipBitmapUnlockBits"));
        if (!startup || !createFromStream || !dispose || !width || !height || !format || !lock || !unlock) return;
        GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
        ULONG_PTR token = 0;
        ok = startup(&token, &input, nullptr) == 0;
    }
};

TGdiplus& Gdiplus() {
    static TGdiplus g;
    return g;
}

// The file's bytes as a stream that owns a copy of them: decoding from
// memory keeps no lock on the file. Released on every path, after the
// bitmap that reads from it.
struct TMemoryStream {
    IStream* stream = nullptr;
    explicit TMemoryStream(const std::vector<uint8_t>& bytes) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
        if (!block) return;
        if (void* p = GlobalLock(block)) {
            if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
            GlobalUnlock(block);
            if (CreateStreamOnHGlobal(block, TRUE, &stream) == S_OK) return;
        }
        stream = nullptr;
        GlobalFree(block);
    }
    ~TMemoryStream() {
        if (stream) stream->Release();
    }
};

// Frees the GDI+ bitmap on every path.
struct TGpBitmap {
    void* handle = nullptr;
    ~TGpBitmap() {
        if (handle) Gdiplus().dispose(handle);
    }
};

}  // namespace

TDIBImageData DecodePicture(const std::string&, const std::vector<uint8_t>& bytes) {
    TGdiplus& gp = Gdiplus();
    if (!gp.ok) throw EDIBFormatError(dibmsg::kImageUnknown);
    TMemoryStream source(bytes);
    if (!source.stream) throw EDIBFormatError(dibmsg::kImageOpen);
    TGpBitmap bitmap;
    if (gp.createFromStream(source.stream, &bitmap.handle) != 0 || !bitmap.handle)
        throw EDIBFormatError(dibmsg::kImageDamaged);
    UINT w = 0, h = 0;
    INT pixelFormat = 0;
    if (gp.width(bitmap.handle, &w) != 0 || gp.height(bitmap.handle, &h) != 0 ||
        gp.format(bitmap.handle, &pixelFormat) != 0)
        throw EDIBFormatError(dibmsg::kImageDamaged);
    CheckImportSize(w, h);

    TDIBImageData image;
    image.Width = int(w);
    image.Height = int(h);
    image.HasAlpha = (pixelFormat & kFormatAlphaFlag) != 0;
    image.Pixels.resize(size_t(w) * h);
    // Locked top-down into a buffer of ours, then turned into stored order.
    std::vector<uint32_t> topDown(size_t(w) * h);
    GpBitmapData locked{};
    locked.Width = w;
    locked.Height = h;
    locked.Stride = INT(w * 4);
    locked.PixelFormat = kFormat32bppARGB;
    locked.Scan0 = topDown.data();
    const GpRect all{0, 0, INT(w), INT(h)};
    constexpr UINT kUserBuffer = 4;
    if (gp.lock(bitmap.handle, &all, kLockRead | kUserBuffer, kFormat32bppARGB, &locked) != 0)
        throw EDIBFormatError(dibmsg::kImageDamaged);
    gp.unlock(bitmap.handle, &locked);
    for (UINT y = 0; y < h; ++y)
        std::copy_n(topDown.data() + size_t(y) * w, w, image.Pixels.data() + size_t(h - 1 - y) * w);
    if (!image.HasAlpha)
        for (uint32_t& p : image.Pixels) p &= 0x00FFFFFFu;
    return image;
}

}  // namespace toolkit::detail
