#include "editctl/gap_vector.h"
#include "fileio/page_prefault.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

uint32_t* Allocate(size_t count) {
    return static_cast<uint32_t*>(::operator new(count * sizeof(uint32_t)));
}

void AddTo(uint32_t* from, uint32_t* to, uint32_t delta) {
    for (; from < to; ++from)
        *from += delta;
}

} // namespace

GapVector::GapVector(const GapVector& other) {
    const size_t count = other.size();
    if (count == 0)
        return;
    data_ = Allocate(count);
    std::copy_n(other.data_, other.gapStart_, data_);
    std::copy_n(other.data_ + other.gapStart_ + other.gapLength_, count - other.gapStart_,
                data_ + other.gapStart_);
    capacity_ = count;
    gapStart_ = count;
}

GapVector::~GapVector() {
    ::operator delete(data_);
}

void GapVector::swap(GapVector& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(gapStart_, other.gapStart_);
    std::swap(gapLength_, other.gapLength_);
}

void GapVector::makeRoom(size_t needed) {
    if (needed <= capacity_)
        return;
    try {
        reserve(std::max(needed, capacity_ * 2));
    } catch (const std::bad_alloc&) {
        reserve(needed);
    }
}

void GapVector::reserve(size_t capacity) {
    if (capacity <= capacity_)
        return;
    uint32_t* grown = Allocate(capacity);
    PrefaultPages(grown, capacity * sizeof(uint32_t));
    const size_t tail = capacity_ - gapStart_ - gapLength_;
    if (data_) {
        std::memcpy(grown, data_, gapStart_ * sizeof(uint32_t));
        std::memcpy(grown + capacity - tail, data_ + capacity_ - tail, tail * sizeof(uint32_t));
    }
    ::operator delete(data_);
    data_ = grown;
    gapLength_ += capacity - capacity_;
    capacity_ = capacity;
}

void GapVector::clear() {
    gapStart_ = 0;
    gapLength_ = capacity_;
}

void GapVector::makeRoomAtEnd() {
    makeRoom(size() + 1);
    moveGap(size());
}

void GapVector::splice(size_t from, size_t to, size_t count) {
    makeRoom(size() - (to - from) + count);
    moveGap(to);
    gapStart_ = from + count;
    gapLength_ = gapLength_ + (to - from) - count;
}

void GapVector::add(size_t from, size_t to, uint32_t delta) {
    // Two plain loops, one each side of the gap, that the compiler can vectorise.
    const size_t beforeGap = std::min(to, gapStart_);
    if (from < beforeGap)
        AddTo(data_ + from, data_ + beforeGap, delta);
    const size_t afterGap = std::max(from, gapStart_);
    if (afterGap < to)
        AddTo(data_ + afterGap + gapLength_, data_ + to + gapLength_, delta);
}

void GapVector::moveGap(size_t to) {
    if (to < gapStart_)
        std::memmove(data_ + to + gapLength_, data_ + to, (gapStart_ - to) * sizeof(uint32_t));
    else if (to > gapStart_)
        std::memmove(data_ + gapStart_, data_ + gapStart_ + gapLength_,
                     (to - gapStart_) * sizeof(uint32_t));
    gapStart_ = to;
}
