// The base of the VST3 interface as modules and hosts exchange it: the
// COM-style root interface, result codes, class identifiers, the module's
// factory and the byte stream that carries saved state. Written from the
// published interface description; what binds is the binary layout (virtual
// tables in declaration order, the calling convention, the identifier byte
// order) and the numbers, which every host in the field relies on.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(_WIN32) && !defined(_WIN64)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using int16 = int16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using tresult = int32_t;
using TBool = uint8_t;
using char8 = char;
using char16 = char16_t;
using FIDString = const char*;  // a class or interface identifier passed as 16 raw bytes

// Result codes: the COM values on Windows, small numbers elsewhere.
#if defined(_WIN32)
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFL);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000EL);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
constexpr tresult kResultTrue = kResultOk;

// A 16-byte class or interface identifier, written as four 32-bit words.
// On Windows the bytes follow the COM GUID layout (the first word and the
// two halves of the second little-endian); elsewhere all four words are
// stored most significant byte first.
struct Uid {
    char bytes[16];

    bool operator==(const char* other) const { return other && std::memcmp(bytes, other, 16) == 0; }
};

constexpr Uid makeUid(uint32 w1, uint32 w2, uint32 w3, uint32 w4) {
    Uid uid{};
    auto put = [&uid](int at, uint32 word, int shift) { uid.bytes[at] = static_cast<char>((word >> shift) & 0xFF); };
#if defined(_WIN32)
    put(0, w1, 0), put(1, w1, 8), put(2, w1, 16), put(3, w1, 24);
    put(4, w2, 16), put(5, w2, 24), put(6, w2, 0), put(7, w2, 8);
#else
    put(0, w1, 24), put(1, w1, 16), put(2, w1, 8), put(3, w1, 0);
    put(4, w2, 24), put(5, w2, 16), put(6, w2, 8), put(7, w2, 0);
#endif
    put(8, w3, 24), put(9, w3, 16), put(10, w3, 8), put(11, w3, 0);
    put(12, w4, 24), put(13, w4, 16), put(14, w4, 8), put(15, w4, 0);
    return uid;
}

// The root of every interface: interface lookup and reference counting. An
// object starts with one reference; release of the last one destroys it.
class FUnknown {
public:
    virtual tresult VST3_CALL queryInterface(const char* iid, void** obj) = 0;
    virtual uint32 VST3_CALL addRef() = 0;
    virtual uint32 VST3_CALL release() = 0;
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
};

// Initialisation and shutdown of a created object; the host's context
// arrives with initialize.
class IPluginBase : public FUnknown {
public:
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3_CALL terminate() = 0;
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
};

// A host-side byte stream (saved state). Reads may return fewer bytes than
// asked for at the end of the data.
class IBStream : public FUnknown {
public:
    enum SeekMode : int32 { kSeekSet = 0, kSeekCur, kSeekEnd };
    virtual tresult VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_CALL tell(int64* pos) = 0;
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
};

// Factory description (vendor, address, e-mail, flags).
struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1, kUnicode = 1 << 4 };
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

// One class the factory makes.
struct PClassInfo {
    enum : int32 { kManyInstances = 0x7FFFFFFF };
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

// The same with class flags, subcategories, vendor and versions.
struct PClassInfo2 {
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

// The same with its texts in UTF-16.
struct PClassInfoW {
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0;
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
};

using GetFactoryProc = IPluginFactory*(VST3_CALL*)();

// The sizes every host expects.
static_assert(sizeof(PFactoryInfo) == 452 && sizeof(PClassInfo) == 116);
static_assert(sizeof(PClassInfo2) == 440 && sizeof(PClassInfoW) == 696);

}  // namespace vst3
