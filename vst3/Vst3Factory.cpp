#include "vst3/Vst3Factory.h"

#include <cstring>
#include <new>

#include "ProductInfo.h"
#include "plugin/HostText.h"
#include "vst3/Vst3Effect.h"
#include "vst3/Vst3Parameters.h"

namespace trv4 {

namespace {

// The interface revision our definitions follow, as hosts read it from the
// class description.
constexpr const char* kInterfaceVersion = "VST 3.7.0";
constexpr const char* kSubCategories = "Fx|Modulation";

void copyText(char* dest, const char* src, std::size_t capacity) { copyHostText(dest, src, capacity - 1); }

bool isOurClass(vst3::int32 index) { return index == 0; }

}  // namespace

Vst3Factory* Vst3Factory::acquire() {
    static Vst3Factory factory;
    return &factory;
}

vst3::tresult VST3_CALL Vst3Factory::queryInterface(const char* iid, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    if (vst3::FUnknown::iid == iid || vst3::IPluginFactory::iid == iid || vst3::IPluginFactory2::iid == iid ||
        vst3::IPluginFactory3::iid == iid) {
        *obj = this;
        return vst3::kResultOk;
    }
    *obj = nullptr;
    return vst3::kNoInterface;
}

vst3::tresult VST3_CALL Vst3Factory::getFactoryInfo(vst3::PFactoryInfo* info) {
    if (!info) return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    copyText(info->vendor, product::kVendor, sizeof info->vendor);
    copyText(info->url, product::kAddress, sizeof info->url);
    info->flags = vst3::PFactoryInfo::kUnicode;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Factory::getClassInfo(vst3::int32 index, vst3::PClassInfo* info) {
    vst3::PClassInfo2 full;
    if (!info || getClassInfo2(index, &full) != vst3::kResultOk) return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, full.cid, 16);
    info->cardinality = full.cardinality;
    copyText(info->category, full.category, sizeof info->category);
    copyText(info->name, full.name, sizeof info->name);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Factory::getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) {
    if (!info || !isOurClass(index)) return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, Vst3Effect::kClassId.bytes, 16);
    info->cardinality = vst3::PClassInfo::kManyInstances;
    copyText(info->category, vst3::kAudioEffectClass, sizeof info->category);
    copyText(info->name, product::kName, sizeof info->name);
    info->classFlags = 0;  // one object, processor and controller together: not distributable
    copyText(info->subCategories, kSubCategories, sizeof info->subCategories);
    copyText(info->vendor, product::kVendor, sizeof info->vendor);
    copyText(info->version, product::kVersionText, sizeof info->version);
    copyText(info->sdkVersion, kInterfaceVersion, sizeof info->sdkVersion);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Factory::getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) {
    vst3::PClassInfo2 narrow;
    if (!info || getClassInfo2(index, &narrow) != vst3::kResultOk) return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, narrow.cid, 16);
    info->cardinality = narrow.cardinality;
    copyText(info->category, narrow.category, sizeof info->category);
    toString128(narrow.name, info->name, 64);
    info->classFlags = narrow.classFlags;
    copyText(info->subCategories, narrow.subCategories, sizeof info->subCategories);
    toString128(narrow.vendor, info->vendor, 64);
    toString128(narrow.version, info->version, 64);
    toString128(narrow.sdkVersion, info->sdkVersion, 64);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3Factory::createInstance(vst3::FIDString cid, vst3::FIDString iid, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid || !(Vst3Effect::kClassId == cid)) return vst3::kNoInterface;
    Vst3Effect* effect = nullptr;
    try {
        effect = new Vst3Effect();
    } catch (...) {
        // Out of memory: no exception may cross into the host.
        return vst3::kOutOfMemory;
    }
    // The caller's reference comes from queryInterface; dropping the
    // creation's own destroys the object when the interface is not ours.
    const vst3::tresult result = effect->queryInterface(iid, obj);
    effect->release();
    return result;
}

vst3::tresult VST3_CALL Vst3Factory::setHostContext(vst3::FUnknown*) { return vst3::kResultOk; }

}  // namespace trv4
