#include "editctl/gap_vector.h"
#include "fileio/page_prefault.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A chunk rebuilt for an edit keeps room for a few more like it.
size_t Roomy(size_t needed) {
    return needed + std::max<size_t>(16, needed / 16);
}

constexpr size_t kFirstChunkEntries = 16;

void AddTo(uint32_t* from, uint32_t* to, uint32_t delta) {
    for (; from < to; ++from)
        *from += delta;
}

} // namespace

GapVector::Chunk GapVector::Chunk::WithRoom(size_t capacity) {
    Chunk chunk;
    chunk.data = std::make_unique_for_overwrite<uint32_t[]>(capacity);
    chunk.capacity = capacity;
    chunk.gapLength = capacity;
    PrefaultPages(chunk.data.get(), capacity * sizeof(uint32_t));
    return chunk;
}

void GapVector::Chunk::moveGap(size_t to) {
    uint32_t* d = data.get();
    if (to < gapStart)
        std::memmove(d + to + gapLength, d + to, (gapStart - to) * sizeof(uint32_t));
    else if (to > gapStart)
        std::memmove(d + gapStart, d + gapStart + gapLength, (to - gapStart) * sizeof(uint32_t));
    gapStart = to;
}

GapVector::GapVector(const GapVector& other) : chunkEntries_(other.chunkEntries_) {
    chunks_.reserve(other.tail_ + 1);
    for (const Chunk& from : other.chunks_) {
        if (from.size() == 0)
            continue;
        Chunk& to = chunks_.emplace_back(Chunk::WithRoom(from.size()));
        std::copy_n(from.data.get(), from.gapStart, to.data.get());
        std::copy_n(from.data.get() + from.gapStart + from.gapLength, from.size() - from.gapStart,
                    to.data.get() + from.gapStart);
        to.gapStart = from.size();
        to.gapLength = 0;
        to.first = size_;
        to.delta = from.delta;
        size_ += from.size();
    }
    capacity_ = size_;
    tail_ = chunks_.empty() ? 0 : chunks_.size() - 1;
}

void GapVector::swap(GapVector& other) noexcept {
    chunks_.swap(other.chunks_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(tail_, other.tail_);
    std::swap(chunkEntries_, other.chunkEntries_);
    std::swap(hint_, other.hint_);
}

size_t GapVector::seek(size_t i) const {
    // Reading on from the last place goes on in the next chunk.
    const size_t next = hint_ + 1;
    if (next <= tail_ && chunks_[next].first <= i && i - chunks_[next].first < chunks_[next].size())
        return hint_ = next;
    // The last chunk starting at or before i: an empty one there is followed
    // by the chunk that holds i, which starts there too.
    const auto after =
        std::upper_bound(chunks_.begin(), chunks_.begin() + static_cast<std::ptrdiff_t>(tail_) + 1,
                         i, [](size_t at, const Chunk& c) { return at < c.first; });
    return hint_ = static_cast<size_t>(after - chunks_.begin()) - 1;
}

size_t GapVector::chunkFor(size_t from, size_t to) const {
    return from < to || from < size_ ? chunkOf(from) : tail_;
}

void GapVector::renumber(size_t from) {
    for (size_t c = std::max<size_t>(from, 1); c <= tail_; ++c)
        chunks_[c].first = chunks_[c - 1].first + chunks_[c - 1].size();
}

void GapVector::makeRoom(size_t from, size_t to, size_t count) {
    if (chunks_.empty()) {
        chunks_.push_back(Chunk::WithRoom(Roomy(count)));
        capacity_ = chunks_.front().capacity;
        return;
    }
    const size_t first = chunkFor(from, to);
    const size_t last = from < to ? chunkOf(to - 1) : first;
    const size_t begin = chunks_[first].first;
    const size_t end = chunks_[last].first + chunks_[last].size();
    const size_t grown = end - begin - (to - from) + count;
    // Done when one chunk holds the range and has room, and no more than a
    // chunk's length of it lies on either side, which an edit would move.
    if (first == last && grown <= chunks_[first].capacity && from - begin <= chunkEntries_ &&
        end - to <= chunkEntries_)
        return;
    // The entries of chunks [first, last] in new chunks of a chunk's length,
    // except the one holding [from, to), which gets room for `count` in their
    // place and may reach into the next length.
    std::vector<size_t> starts{begin};
    for (size_t at = begin + chunkEntries_; at < end; at += chunkEntries_) {
        if (at <= from || at >= to)
            starts.push_back(at);
    }
    const size_t edited =
        static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), from) - starts.begin()) -
        1;
    chunks_.reserve(chunks_.size() + starts.size());
    std::vector<Chunk> fresh;
    fresh.reserve(starts.size());
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t a = starts[k];
        const size_t b = k + 1 < starts.size() ? starts[k + 1] : end;
        const size_t room = k == edited ? Roomy(b - a - (to - from) + count) : 0;
        Chunk& chunk = fresh.emplace_back(Chunk::WithRoom(std::max(b - a, room)));
        for (size_t i = a; i < b; ++i)
            chunk.data[i - a] = (*this)[i];
        chunk.gapStart = b - a;
        chunk.gapLength = chunk.capacity - (b - a);
        chunk.first = a;
    }
    for (size_t c = first; c <= last; ++c)
        capacity_ -= chunks_[c].capacity;
    for (const Chunk& chunk : fresh)
        capacity_ += chunk.capacity;
    const auto at = chunks_.begin() + static_cast<std::ptrdiff_t>(first);
    chunks_.erase(at, at + static_cast<std::ptrdiff_t>(last - first) + 1);
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(first),
                   std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    tail_ = tail_ + fresh.size() - (last - first + 1);
    hint_ = first;
}

void GapVector::reserve(size_t capacity) {
    if (capacity <= capacity_)
        return;
    if (chunks_.size() <= 1 && capacity <= chunkEntries_) {
        Chunk grown = Chunk::WithRoom(capacity);
        if (!chunks_.empty()) {
            const Chunk& old = chunks_.front();
            std::copy_n(old.data.get(), old.gapStart, grown.data.get());
            std::copy_n(old.data.get() + old.gapStart + old.gapLength, old.size() - old.gapStart,
                        grown.data.get() + old.gapStart);
            grown.gapStart = old.size();
            grown.gapLength = capacity - old.size();
            grown.delta = old.delta;
            chunks_.front() = std::move(grown);
        } else {
            chunks_.push_back(std::move(grown));
        }
        capacity_ = capacity;
        return;
    }
    chunks_.reserve(chunks_.size() + (capacity - capacity_) / chunkEntries_ + 1);
    while (capacity_ < capacity) {
        chunks_.push_back(Chunk::WithRoom(chunkEntries_));
        capacity_ += chunkEntries_;
    }
}

void GapVector::clear() {
    for (Chunk& chunk : chunks_) {
        chunk.gapStart = 0;
        chunk.gapLength = chunk.capacity;
        chunk.first = 0;
        chunk.delta = 0;
    }
    size_ = 0;
    tail_ = 0;
    hint_ = 0;
}

void GapVector::makeRoomAtEnd() {
    if (chunks_.empty() || chunks_[tail_].size() == chunks_[tail_].capacity) {
        if (tail_ + 1 < chunks_.size()) {
            chunks_[++tail_].first = size_;
        } else if (chunks_.size() <= 1 && capacity_ < chunkEntries_) {
            reserve(std::min(std::max(2 * capacity_, kFirstChunkEntries), chunkEntries_));
        } else {
            chunks_.push_back(Chunk::WithRoom(chunkEntries_));
            capacity_ += chunkEntries_;
            chunks_[++tail_].first = size_;
        }
    }
    chunks_[tail_].moveGap(chunks_[tail_].size());
}

void GapVector::append(const uint32_t* values, size_t count, uint32_t less) {
    while (count > 0) {
        if (!roomAtEnd())
            makeRoomAtEnd();
        Chunk& chunk = chunks_[tail_];
        const size_t taken = std::min(count, chunk.gapLength);
        uint32_t* to = chunk.data.get() + chunk.gapStart;
        const uint32_t minus = less + chunk.delta;
        for (size_t i = 0; i < taken; ++i)
            to[i] = values[i] - minus;
        chunk.gapStart += taken;
        chunk.gapLength -= taken;
        size_ += taken;
        values += taken;
        count -= taken;
    }
}

void GapVector::read(size_t from, size_t count, uint32_t* out) const {
    while (count > 0) {
        const Chunk& chunk = chunks_[chunkOf(from)];
        const size_t at = from - chunk.first;
        const size_t taken = std::min(count, chunk.size() - at);
        for (size_t i = 0; i < taken; ++i)
            out[i] = chunk.at(at + i) + chunk.delta;
        from += taken;
        out += taken;
        count -= taken;
    }
}

void GapVector::splice(size_t from, size_t to, size_t count) {
    makeRoom(from, to, count);
    const size_t c = chunkFor(from, to);
    Chunk& chunk = chunks_[c];
    chunk.moveGap(to - chunk.first);
    chunk.gapStart = from - chunk.first + count;
    chunk.gapLength = chunk.gapLength + (to - from) - count;
    size_ = size_ + count - (to - from);
    renumber(c + 1);
}

void GapVector::add(size_t from, size_t to, uint32_t delta) {
    if (from >= to || delta == 0)
        return;
    for (size_t c = chunkOf(from); c <= tail_ && chunks_[c].first < to; ++c) {
        Chunk& chunk = chunks_[c];
        const size_t a = std::max(from, chunk.first) - chunk.first;
        const size_t b = std::min(to, chunk.first + chunk.size()) - chunk.first;
        if (a == 0 && b == chunk.size()) {
            chunk.delta += delta;
            continue;
        }
        // Two plain loops, one each side of the gap, that the compiler can vectorise.
        uint32_t* data = chunk.data.get();
        const size_t beforeGap = std::min(b, chunk.gapStart);
        if (a < beforeGap)
            AddTo(data + a, data + beforeGap, delta);
        const size_t afterGap = std::max(a, chunk.gapStart);
        if (afterGap < b)
            AddTo(data + afterGap + chunk.gapLength, data + b + chunk.gapLength, delta);
    }
}
