// An array of 32-bit values with a gap at a movable place, for tables with
// one entry per line: inserting or erasing entries where the last change was
// moves only the entries between the gap's old and new place, not the tail.
#pragma once

#include <cstddef>
#include <cstdint>

class GapVector {
  public:
    GapVector() = default;
    GapVector(const GapVector& other);
    GapVector(GapVector&& other) noexcept { swap(other); }
    GapVector& operator=(GapVector other) noexcept {
        swap(other);
        return *this;
    }
    ~GapVector();
    void swap(GapVector& other) noexcept;

    size_t size() const { return capacity_ - gapLength_; }
    bool empty() const { return size() == 0; }
    size_t capacity() const { return capacity_; }
    uint32_t operator[](size_t i) const { return data_[i < gapStart_ ? i : i + gapLength_]; }
    uint32_t& operator[](size_t i) { return data_[i < gapStart_ ? i : i + gapLength_]; }

    // Capacity for `needed` entries, doubling like the standard containers;
    // settles for exactly `needed` when the roomier block cannot be had.
    void makeRoom(size_t needed);
    // Capacity for exactly `capacity` entries unless there is more already.
    void reserve(size_t capacity);
    void clear();
    void push_back(uint32_t value) {
        if (gapLength_ == 0 || gapStart_ != size())
            makeRoomAtEnd();
        data_[gapStart_++] = value;
        --gapLength_;
    }
    // Entries [from, to) give way to `count` entries of unspecified value,
    // to be set by the caller; throws only when it must grow.
    void splice(size_t from, size_t to, size_t count);
    // Adds `delta`, wrapping around, to entries [from, to).
    void add(size_t from, size_t to, uint32_t delta);

  private:
    void makeRoomAtEnd();
    void moveGap(size_t to);

    uint32_t* data_ = nullptr;
    size_t capacity_ = 0;
    size_t gapStart_ = 0;
    size_t gapLength_ = 0;
};
