#include "editctl/partitioned_index.h"

#include <algorithm>

void PartitionedIndex::clear() {
    values_.clear();
    stepFrom_ = 0;
    stepDelta_ = 0;
}

void PartitionedIndex::replace(int32_t from, int32_t to, int32_t count, int32_t delta) {
    moveStep(to);
    values_.splice(static_cast<size_t>(from), static_cast<size_t>(to), static_cast<size_t>(count));
    // The new values lie below the step, which moves with the values after them.
    stepFrom_ = from + count;
    stepDelta_ += static_cast<uint32_t>(delta);
}

void PartitionedIndex::append(const int32_t* values, size_t count) {
    // The step never lies beyond the end, so every value appended lacks its delta.
    values_.append(reinterpret_cast<const uint32_t*>(values), count, stepDelta_);
}

void PartitionedIndex::read(int32_t from, size_t count, int32_t* out) const {
    auto* raw = reinterpret_cast<uint32_t*>(out);
    values_.read(static_cast<size_t>(from), count, raw);
    const int32_t below = std::max(stepFrom_ - from, 0);
    for (auto i = static_cast<size_t>(below); i < count; ++i)
        raw[i] += stepDelta_;
}

int32_t PartitionedIndex::upperBound(int32_t from, int32_t value) const {
    int32_t low = from;
    int32_t high = size();
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if ((*this)[middle] > value)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void PartitionedIndex::moveStep(int32_t to) {
    if (stepDelta_ != 0) {
        if (to > stepFrom_)
            values_.add(static_cast<size_t>(stepFrom_), static_cast<size_t>(to), stepDelta_);
        else
            values_.add(static_cast<size_t>(to), static_cast<size_t>(stepFrom_), 0u - stepDelta_);
    }
    stepFrom_ = to;
}
