// BridgedEffect: a plug-in of another format seen through a VST 2 effect
// record of the host's own, so that every trv4 command drives it with the
// calls it makes on a VST 2 plug-in. What every such bridge does alike lives
// here: the record and its entry points, the parameter changes waiting for
// the next block (each at its own frame of it), blocks cut to the most the
// plug-in takes at once, the accumulating process call, and the program
// names, which a VST 2 host may rename and the other formats keep no copy
// of. Each format (ClapBridge.h, Vst3Bridge.h) answers the rest.
//
// The thread of trv4: one thread makes every call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vst/VstInterface.h"

namespace trv4host {

class BridgedEffect {
public:
    // The bridge behind a record, or null for a record of a VST 2 plug-in.
    static BridgedEffect* of(vst::AEffect* record);
    virtual ~BridgedEffect() = default;

    // A change of parameter index (VST 2 value) at frame `frame` of the next
    // processed block.
    void queueChange(uint32_t frame, int index, float value);

protected:
    // A change waiting for the next block. Indices from 0 are the record's
    // parameters; a format may use others for its own purposes.
    struct Change {
        uint32_t frame;
        int index;
        float value;
    };

    explicit BridgedEffect(vst::AudioMasterCallback audioMaster);
    BridgedEffect(const BridgedEffect&) = delete;
    BridgedEffect& operator=(const BridgedEffect&) = delete;

    // Fills the record with these counts and the entry points; the record is
    // what create() hands out.
    vst::AEffect* publish(int numParams, int numPrograms, bool hasEditor);

    // --- What each format answers ------------------------------------------------
    // The opcodes not answered here (programs, rate and block size, version).
    virtual vst::VstIntPtr dispatchFormat(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                          float opt) = 0;
    virtual void setParameter(int index, float value) = 0;
    virtual float getParameter(int index) = 0;
    virtual bool selectProgram(int program) = 0;
    virtual int currentProgram() { return currentProgram_; }
    // Whether a block may be processed now (starting processing when the
    // format starts it with the first block).
    virtual bool readyToProcess() = 0;
    // The most frames one call into the plug-in may carry.
    virtual int largestPiece() const = 0;
    // n frames that start `offset` frames into the host's block, with the
    // changes that fall into them (frames counted from the piece's start,
    // sorted; the last piece also takes those beyond the block) and the
    // host's time information for the block (null when it answers none).
    virtual void processPiece(const float* const in[2], float* const out[2], int n, const Change* changes, size_t count,
                              const vst::VstTimeInfo* time, int offset) = 0;
    // After every piece of a block, before the pending changes are dropped.
    virtual void afterBlock() {}

    // Drops the waiting changes of index at frame 0 and appends this one, so
    // that settings made between blocks reach the plug-in once, in order.
    void queueSetting(int index, float value);
    void tellHost(vst::VstInt32 opcode, vst::VstInt32 index, float opt = 0);

    vst::AudioMasterCallback audioMaster_;
    vst::AEffect record_{};
    std::vector<std::string> programNames_;
    int currentProgram_ = 0;
    double sampleRate_ = 44100;
    int blockSize_ = 1024;
    std::vector<Change> pending_;

private:
    static vst::VstIntPtr VST_CALL dispatchEntry(vst::AEffect* e, vst::VstInt32 opcode, vst::VstInt32 index,
                                                 vst::VstIntPtr value, void* ptr, float opt);
    static void VST_CALL processEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n);
    static void VST_CALL replacingEntry(vst::AEffect* e, float** in, float** out, vst::VstInt32 n);
    static void VST_CALL setParameterEntry(vst::AEffect* e, vst::VstInt32 index, float value);
    static float VST_CALL getParameterEntry(vst::AEffect* e, vst::VstInt32 index);

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);
    void process(float** in, float** out, int n, bool accumulate);

    std::vector<Change> pieceChanges_;
    std::vector<float> scratch_[2];
};

// Copies text into a host's buffer of capacity bytes, terminated.
void copyHostBuffer(void* ptr, const std::string& text, size_t capacity);

}  // namespace trv4host
