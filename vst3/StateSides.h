// The component and the edit controller both declare setState and getState
// with the same signature, but they mean different streams. One object that
// is both gets the two apart through these bases: each answers its own
// interface's state calls under a name of its own.
#pragma once

#include "vst3/Vst3Interface.h"

namespace trv4 {

class ComponentSide : public vst3::IComponent {
public:
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) final { return setComponentStream(state); }
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) final { return getComponentStream(state); }

protected:
    virtual vst3::tresult setComponentStream(vst3::IBStream* state) = 0;
    virtual vst3::tresult getComponentStream(vst3::IBStream* state) = 0;
    ~ComponentSide() = default;
};

class ControllerSide : public vst3::IEditController {
public:
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) final { return setControllerStream(state); }
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) final { return getControllerStream(state); }

protected:
    virtual vst3::tresult setControllerStream(vst3::IBStream* state) = 0;
    virtual vst3::tresult getControllerStream(vst3::IBStream* state) = 0;
    ~ControllerSide() = default;
};

}  // namespace trv4
