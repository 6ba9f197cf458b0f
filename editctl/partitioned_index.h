// Ascending positions of consecutive parts, line starts or row tops, where a
// change to one part moves every later position. The move is not carried
// out at once: from a step index on, a pending delta is added on reading,
// and the step travels with the changes, so edits close to one another cost
// only the distance between them (Scintilla's Partitioning works so). A
// step moved far adds to whole chunks at once (see GapVector), so no edit
// costs much more than a chunk, wherever it is in a long table.
#pragma once

#include "editctl/gap_vector.h"

#include <cstddef>
#include <cstdint>

class PartitionedIndex {
  public:
    explicit PartitionedIndex(size_t chunkEntries = GapVector::kChunkEntries)
        : values_(chunkEntries) {}

    int32_t size() const { return static_cast<int32_t>(values_.size()); }
    bool empty() const { return values_.empty(); }
    size_t capacity() const { return values_.capacity(); }
    int32_t operator[](int32_t i) const {
        // Wrapping arithmetic: the stored value and the deltas may each be
        // out of range, their sum never is.
        const uint32_t stored = values_[static_cast<size_t>(i)];
        return static_cast<int32_t>(i < stepFrom_ ? stored : stored + stepDelta_);
    }
    void set(int32_t i, int32_t value) {
        const auto wanted = static_cast<uint32_t>(value);
        values_.set(static_cast<size_t>(i), i < stepFrom_ ? wanted : wanted - stepDelta_);
    }

    // Room for replace(from, to, count, ...) to need no memory.
    void makeRoom(int32_t from, int32_t to, int32_t count) {
        values_.makeRoom(static_cast<size_t>(from), static_cast<size_t>(to),
                         static_cast<size_t>(count));
    }
    void reserve(size_t capacity) { values_.reserve(capacity); }
    void clear();
    void push_back(int32_t value) {
        const auto wanted = static_cast<uint32_t>(value);
        values_.push_back(size() < stepFrom_ ? wanted : wanted - stepDelta_);
    }
    // Appends `count` values, as push_back would one by one, only faster.
    void append(const int32_t* values, size_t count);
    // Copies values [from, from + count) to `out`.
    void read(int32_t from, size_t count, int32_t* out) const;
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
