// An array of 32-bit values for tables with one entry per line, in chunks of
// about a megabyte, each with a gap at a movable place and an amount added
// to all its values. Inserting or erasing entries moves entries within one
// chunk only, and adding to a long range touches each whole chunk once
// rather than each value: an edit costs the same anywhere in a table of
// tens of millions of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class GapVector {
  public:
    static constexpr size_t kChunkEntries = size_t{1} << 18;

    // Smaller chunks than the default let tests cross them with few entries.
    explicit GapVector(size_t chunkEntries = kChunkEntries) : chunkEntries_(chunkEntries) {}
    GapVector(const GapVector& other);
    GapVector(GapVector&& other) noexcept : chunkEntries_(other.chunkEntries_) { swap(other); }
    GapVector& operator=(GapVector other) noexcept {
        swap(other);
        return *this;
    }
    ~GapVector() = default;
    void swap(GapVector& other) noexcept;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Entries the chunks hold without growing, all together.
    size_t capacity() const { return capacity_; }
    uint32_t operator[](size_t i) const {
        const Chunk& c = chunks_[chunkOf(i)];
        return c.at(i - c.first) + c.delta;
    }
    void set(size_t i, uint32_t value) {
        Chunk& c = chunks_[chunkOf(i)];
        c.at(i - c.first) = value - c.delta;
    }

    // Room for splice(from, to, count) to need no memory: one chunk holds
    // entries [from, to) and can take `count` in their place. Changes no
    // value; out of memory, throws with the vector as it was.
    void makeRoom(size_t from, size_t to, size_t count);
    // Capacity for `capacity` entries in all unless there is more already.
    void reserve(size_t capacity);
    // Keeps the memory.
    void clear();
    void push_back(uint32_t value) {
        if (!roomAtEnd())
            makeRoomAtEnd();
        Chunk& chunk = chunks_[tail_];
        chunk.data[chunk.gapStart++] = value - chunk.delta;
        --chunk.gapLength;
        ++size_;
    }
    // Appends `count` values, each less `less` (wrapping), as push_back
    // would one by one, only faster.
    void append(const uint32_t* values, size_t count, uint32_t less = 0);
    // Copies entries [from, from + count) to `out`.
    void read(size_t from, size_t count, uint32_t* out) const;
    // Entries [from, to) give way to `count` entries of unspecified value,
    // to be set by the caller; throws only when it must grow.
    void splice(size_t from, size_t to, size_t count);
    // Adds `delta`, wrapping around, to entries [from, to).
    void add(size_t from, size_t to, uint32_t delta);

  private:
    struct Chunk {
        std::unique_ptr<uint32_t[]> data; // front, gap, back
        size_t capacity = 0;
        size_t gapStart = 0;
        size_t gapLength = 0;
        size_t first = 0;   // the index of its first entry in the whole vector
        uint32_t delta = 0; // added to every value it stores

        size_t size() const { return capacity - gapLength; }
        uint32_t& at(size_t j) { return data[j < gapStart ? j : j + gapLength]; }
        uint32_t at(size_t j) const { return data[j < gapStart ? j : j + gapLength]; }
        void moveGap(size_t to);
        static Chunk WithRoom(size_t capacity);
    };

    // The chunk holding entry i < size(): mostly the one read last.
    size_t chunkOf(size_t i) const {
        const Chunk& c = chunks_[hint_];
        return i >= c.first && i - c.first < c.size() ? hint_ : seek(i);
    }
    size_t seek(size_t i) const;
    bool roomAtEnd() const {
        return !chunks_.empty() && chunks_[tail_].gapLength > 0 &&
               chunks_[tail_].gapStart == chunks_[tail_].size();
    }
    // A tail chunk with room at its end, its gap there.
    void makeRoomAtEnd();
    // The chunk an insertion at `from` or the entries [from, to) belong to.
    size_t chunkFor(size_t from, size_t to) const;
    void renumber(size_t from);

    std::vector<Chunk> chunks_;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t tail_ = 0; // the chunk holding the last entry; later ones are empty
    size_t chunkEntries_;
    mutable size_t hint_ = 0; // the chunk read last, below chunks_.size() once there is one
};
