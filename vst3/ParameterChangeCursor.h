// Walks the parameter changes of one process call in time order: the block
// is rendered in pieces that end where the next change lands, and each
// change is applied before the first sample at or after its offset.
//
// Audio thread; the queues are the host's, read in place (no allocation).
#pragma once

#include <climits>

#include "vst3/Vst3Interface.h"

namespace trv4 {

class ParameterChangeCursor {
public:
    // Queues beyond this count are left out: the plug-in has 22
    // parameters, and a host sends at most one queue for each.
    static constexpr int kMaxQueues = 64;

    explicit ParameterChangeCursor(vst3::IParameterChanges* changes);

    // The offset of the earliest point not yet applied; INT_MAX when none.
    int nextOffset() const;

    // Applies, queue by queue in rising offsets, every point whose offset is
    // at most position: apply(id, value) for each.
    template <typename Apply>
    void applyUpTo(int position, Apply&& apply) {
        for (int q = 0; q < count_; ++q) {
            Queue& queue = queues_[q];
            while (queue.next < queue.points && queue.nextOffset <= position) {
                vst3::int32 offset = 0;
                vst3::ParamValue value = 0;
                if (queue.queue->getPoint(queue.next, offset, value) == vst3::kResultOk) apply(queue.id, value);
                ++queue.next;
                queue.nextOffset = offsetOf(queue, queue.next);
            }
        }
    }

private:
    struct Queue {
        vst3::IParamValueQueue* queue;
        vst3::ParamID id;
        int points;
        int next;
        int nextOffset;
    };
    static int offsetOf(Queue& queue, int index);

    Queue queues_[kMaxQueues];
    int count_ = 0;
};

}  // namespace trv4
