// The module's factory: vendor information and the one class it makes, the
// plug-in (Vst3Effect). One static factory serves every caller of the
// module's entry; its reference count never destroys it.
#pragma once

#include "vst3/Vst3Base.h"

namespace trv4 {

class Vst3Factory final : public vst3::IPluginFactory3 {
public:
    // The factory, with one more reference for the caller.
    static Vst3Factory* acquire();

    vst3::tresult VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }

    vst3::tresult VST3_CALL getFactoryInfo(vst3::PFactoryInfo* info) override;
    vst3::int32 VST3_CALL countClasses() override { return 1; }
    vst3::tresult VST3_CALL getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override;
    vst3::tresult VST3_CALL createInstance(vst3::FIDString cid, vst3::FIDString iid, void** obj) override;
    vst3::tresult VST3_CALL getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override;
    vst3::tresult VST3_CALL getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override;
    vst3::tresult VST3_CALL setHostContext(vst3::FUnknown* context) override;
};

}  // namespace trv4
