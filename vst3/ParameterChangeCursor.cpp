#include "vst3/ParameterChangeCursor.h"

namespace trv4 {

ParameterChangeCursor::ParameterChangeCursor(vst3::IParameterChanges* changes) {
    if (!changes) return;
    const int total = changes->getParameterCount();
    for (int i = 0; i < total; ++i) {
        vst3::IParamValueQueue* queue = changes->getParameterData(i);
        if (!queue) continue;
        const int points = queue->getPointCount();
        if (points <= 0) continue;
        if (count_ == kMaxQueues) break;
        Queue& q = queues_[count_++];
        q = {queue, queue->getParameterId(), points, 0, 0};
        q.nextOffset = offsetOf(q, 0);
    }
}

int ParameterChangeCursor::nextOffset() const {
    int earliest = INT_MAX;
    for (int q = 0; q < count_; ++q)
        if (queues_[q].next < queues_[q].points && queues_[q].nextOffset < earliest) earliest = queues_[q].nextOffset;
    return earliest;
}

int ParameterChangeCursor::offsetOf(Queue& queue, int index) {
    if (index >= queue.points) return INT_MAX;
    vst3::int32 offset = 0;
    vst3::ParamValue value = 0;
    if (queue.queue->getPoint(index, offset, value) != vst3::kResultOk) return INT_MIN;  // applied at once, skipped
    return offset;
}

}  // namespace trv4
