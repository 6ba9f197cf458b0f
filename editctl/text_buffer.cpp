#include "editctl/text_buffer.h"
#include "fileio/page_prefault.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

using Traits = std::char_traits<char16_t>;

// The gap a reallocation leaves beyond what was asked for: a 64 KiB floor
// for small texts, and at most 1/64 of a big one, so that a big text costs
// little more than its units yet rarely moves to a new block.
size_t Roomy(size_t needed) {
    constexpr size_t kMinGap = 32 * 1024;
    return needed + std::max(kMinGap, needed / 64);
}

size_t Distance(size_t a, size_t b) {
    return a < b ? b - a : a - b;
}

// Whether `piece` equals the text's units from `at` on.
bool Matches(const TextBuffer& text, size_t at, std::u16string_view piece) {
    const auto [first, second] = text.pieces(at, piece.size());
    return first == piece.substr(0, first.size()) && second == piece.substr(first.size());
}

} // namespace

std::u16string TextBuffer::substr(size_t pos, size_t n) const {
    const auto [first, second] = pieces(pos, n);
    std::u16string out;
    out.reserve(first.size() + second.size());
    out.append(first).append(second);
    return out;
}

std::u16string_view TextBuffer::view(size_t pos, size_t n) const {
    if (pos > size())
        throw std::out_of_range("TextBuffer::view");
    n = std::min(n, size() - pos);
    // Across the gap: it moves to whichever end of the range is nearer, so
    // only units inside the range move.
    if (pos < gapStart_ && pos + n > gapStart_)
        moveGap(gapStart_ - pos <= pos + n - gapStart_ ? pos : pos + n);
    const size_t at = pos < gapStart_ ? pos : pos + gapLength_;
    return {units_.data() + at, n};
}

std::pair<std::u16string_view, std::u16string_view> TextBuffer::halves() const {
    const std::u16string_view all(units_);
    return {all.substr(0, gapStart_), all.substr(gapStart_ + gapLength_)};
}

std::pair<std::u16string_view, std::u16string_view> TextBuffer::pieces(size_t pos, size_t n) const {
    if (pos > size())
        throw std::out_of_range("TextBuffer::pieces");
    n = std::min(n, size() - pos);
    const auto [front, back] = halves();
    if (pos >= front.size())
        return {back.substr(pos - front.size(), n), {}};
    const std::u16string_view first = front.substr(pos, n);
    return {first, back.substr(0, n - first.size())};
}

void TextBuffer::insert(size_t pos, std::u16string_view units) {
    if (pos > size())
        throw std::out_of_range("TextBuffer::insert");
    if (units.empty())
        return;
    const std::less<const char16_t*> before;
    const char16_t* begin = units_.data();
    if (!before(units.data(), begin) && before(units.data(), begin + units_.size())) {
        // Moving the gap or growing would pull the units from under the view.
        const std::u16string copy(units);
        insert(pos, copy);
        return;
    }
    if (units.size() > gapLength_)
        reserve(size() + units.size());
    moveGap(pos);
    Traits::copy(units_.data() + gapStart_, units.data(), units.size());
    gapStart_ += units.size();
    gapLength_ -= units.size();
}

void TextBuffer::erase(size_t pos, size_t n) {
    if (pos > size())
        throw std::out_of_range("TextBuffer::erase");
    n = std::min(n, size() - pos);
    if (n == 0)
        return;
    // The gap swallows the range from its nearer end.
    if (Distance(gapStart_, pos) <= Distance(gapStart_, pos + n)) {
        moveGap(pos);
    } else {
        moveGap(pos + n);
        gapStart_ = pos;
    }
    gapLength_ += n;
}

void TextBuffer::reserve(size_t n) {
    if (n <= capacity())
        return;
    try {
        regrow(Roomy(n));
    } catch (const std::bad_alloc&) {
        regrow(n);
    }
}

void TextBuffer::assign(std::u16string&& units) noexcept {
    units_ = std::move(units);
    gapStart_ = units_.size();
    gapLength_ = units_.capacity() - units_.size();
    // Within the capacity: no allocation, only the spare units written.
    units_.resize(units_.capacity());
}

void TextBuffer::assign(std::u16string_view units) {
    if (units.empty()) {
        clear();
        return;
    }
    std::u16string copy;
    copy.reserve(Roomy(units.size()));
    PrefaultSpare(copy);
    copy.append(units);
    assign(std::move(copy));
}

void TextBuffer::clear() noexcept {
    gapStart_ = 0;
    gapLength_ = units_.size();
}

std::u16string TextBuffer::release() noexcept {
    moveGap(size());
    units_.resize(size());
    std::u16string units = std::move(units_);
    units_.clear();
    gapStart_ = gapLength_ = 0;
    return units;
}

void TextBuffer::swap(TextBuffer& other) noexcept {
    units_.swap(other.units_);
    std::swap(gapStart_, other.gapStart_);
    std::swap(gapLength_, other.gapLength_);
}

bool operator==(const TextBuffer& a, std::u16string_view b) {
    return a.size() == b.size() && Matches(a, 0, b);
}

bool operator==(const TextBuffer& a, const TextBuffer& b) {
    const auto [front, back] = b.halves();
    return a.size() == b.size() && Matches(a, 0, front) && Matches(a, front.size(), back);
}

void TextBuffer::moveGap(size_t to) const {
    char16_t* data = units_.data();
    if (gapLength_ > 0 && to < gapStart_)
        Traits::move(data + to + gapLength_, data + to, gapStart_ - to);
    else if (gapLength_ > 0 && to > gapStart_)
        Traits::move(data + gapStart_, data + gapStart_ + gapLength_, to - gapStart_);
    gapStart_ = to;
}

void TextBuffer::regrow(size_t total) {
    const auto [front, back] = halves();
    std::u16string grown;
    grown.reserve(total);
    PrefaultSpare(grown);
    grown.append(front);
    grown.append(total - front.size() - back.size(), u'\0');
    grown.append(back);
    units_.swap(grown);
    gapLength_ = total - front.size() - back.size();
}
