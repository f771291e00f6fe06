// Base of the plug-in's editor glue, as the host interface's class layer has it.
// Lives on the host's user-interface thread; postUpdate may be called from any
// thread (it only sets the update-pending mark, a single atomic store).
#pragma once

#include <atomic>

#include "vst/VstInterface.h"

namespace vst {

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect);
    virtual ~AEffEditor();

    // Sets *rect to the editor rectangle, or to null without one; answers 1 or 0.
    virtual VstInt32 getRect(ERect** rect);
    // Opens the editor as a child of the host's window.
    virtual VstInt32 open(void* parentWindow);
    virtual void close();
    // Runs update() when an update is pending, clearing the mark first.
    virtual void idle();
    virtual void update();
    virtual void postUpdate();
    virtual VstInt32 onKeyDown(VstKeyCode& keyCode);
    virtual VstInt32 onKeyUp(VstKeyCode& keyCode);
    virtual VstInt32 setKnobMode(VstInt32 mode);
    virtual bool onWheel(float distance);

    bool updatePending() const { return updateFlag.load(std::memory_order_relaxed); }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
    std::atomic<bool> updateFlag{false};
};

}  // namespace vst
