// Ascending positions of consecutive parts, line starts or row tops, where a
// change to one part moves every later position. The move is not carried
// out at once: from a step index on, a pending delta is added on reading,
// and the step travels with the changes, so edits close to one another cost
// only the distance between them (Scintilla's Partitioning works so).
#pragma once

#include "editctl/gap_vector.h"

#include <cstddef>
#include <cstdint>

class PartitionedIndex {
  public:
    int32_t size() const { return static_cast<int32_t>(values_.size()); }
    bool empty() const { return values_.empty(); }
    size_t capacity() const { return values_.capacity(); }
    int32_t operator[](int32_t i) const {
        // Wrapping arithmetic: the stored value and the delta may each be
        // out of range, their sum never is.
        const uint32_t stored = values_[static_cast<size_t>(i)];
        return static_cast<int32_t>(i < stepFrom_ ? stored : stored + stepDelta_);
    }
    void set(int32_t i, int32_t value) {
        const auto wanted = static_cast<uint32_t>(value);
        values_[static_cast<size_t>(i)] = i < stepFrom_ ? wanted : wanted - stepDelta_;
    }

    void makeRoom(size_t needed) { values_.makeRoom(needed); }
    void reserve(size_t capacity) { values_.reserve(capacity); }
    void clear();
    void push_back(int32_t value) {
        values_.push_back(0);
        set(size() - 1, value);
    }
    // Values [from, to) give way to `count` values, to be set by the caller;
    // the values after them move by `delta`. Throws only when it must grow.
    void replace(int32_t from, int32_t to, int32_t count, int32_t delta);
    // The first index from `from` on whose value exceeds `value`, or size().
    int32_t upperBound(int32_t from, int32_t value) const;

  private:
    void moveStep(int32_t to);

    GapVector values_;
    int32_t stepFrom_ = 0;   // values from here on lack stepDelta_
    uint32_t stepDelta_ = 0; // a signed delta, wrapped
};
