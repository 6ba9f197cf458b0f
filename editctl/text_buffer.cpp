#include "editctl/text_buffer.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// The room a rebuilt block gets beyond what it holds: a little for the next
// keystrokes, relatively less for a large block.
size_t Roomy(size_t needed) {
    return needed + std::max<size_t>(4096, needed / 64);
}

// A block an edit made this much longer than a block is split by tidy().
constexpr size_t kLongBlockUnits = 4 * kTextBlockUnits;

bool IsBreak(char16_t unit) {
    return unit == kCr || unit == kLf;
}

// The first break unit at or after `from`; the text's length when none.
// Sixteen units at a time without a branch between them, which the
// compiler makes a few vector compares: one long line is scanned whole.
size_t NextBreak(std::u16string_view text, size_t from) {
    constexpr size_t kStep = 16;
    const char16_t* units = text.data();
    size_t i = from;
    for (; i + kStep <= text.size(); i += kStep) {
        unsigned hit = 0;
        for (size_t k = 0; k < kStep; ++k)
            hit |= static_cast<unsigned>(units[i + k] == kCr) |
                   static_cast<unsigned>(units[i + k] == kLf);
        if (hit != 0)
            break;
    }
    while (i < text.size() && !IsBreak(units[i]))
        ++i;
    return i;
}

} // namespace

// Whether a block has a break before its last unit, where it could be cut:
// one long line has none, and copying it would give the same block again.
bool TextBuffer::BreaksBeforeItsEnd(const Block& block) {
    std::u16string_view front = block.front(), back = block.back();
    (back.empty() ? front : back).remove_suffix(1);
    return std::any_of(front.begin(), front.end(), IsBreak) ||
           std::any_of(back.begin(), back.end(), IsBreak);
}

void TextBuffer::Block::moveGap(size_t to) {
    char16_t* data = units;
    if (gapLength > 0 && to < gapStart)
        std::copy_backward(data + to, data + gapStart, data + gapStart + gapLength);
    else if (gapLength > 0 && to > gapStart)
        std::copy(data + gapStart + gapLength, data + to + gapLength, data + gapStart);
    gapStart = to;
}

TextBuffer::TextBuffer(const TextBuffer& other)
    : starts_(other.starts_), size_(other.size_), hint_(other.hint_), untidy_(other.untidy_) {
    blocks_.reserve(other.blocks_.size());
    for (const Block& from : other.blocks_) {
        Block& to = blocks_.emplace_back();
        to.own(std::make_unique_for_overwrite<char16_t[]>(from.capacity));
        to.capacity = from.capacity;
        to.gapStart = from.gapStart;
        to.gapLength = from.gapLength;
        std::copy(from.front().begin(), from.front().end(), to.units);
        std::copy(from.back().begin(), from.back().end(),
                  to.units + from.gapStart + from.gapLength);
    }
}

char16_t TextBuffer::operator[](size_t i) const {
    const size_t b = blockOf(i);
    const Block& block = blocks_[b];
    const size_t at = i - starts_[b];
    return block.units[at < block.gapStart ? at : at + block.gapLength];
}

size_t TextBuffer::blockOf(size_t pos) const {
    // Reading on from the last place mostly stays in its block or the next.
    for (size_t b = hint_; b < blocks_.size() && b <= hint_ + 1; ++b) {
        if (starts_[b] <= pos && pos - starts_[b] < blocks_[b].size())
            return hint_ = b;
    }
    // The last block starting at or before pos: an empty one there is
    // followed by the block that holds pos, which starts there too.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), pos);
    return hint_ = static_cast<size_t>(after - starts_.begin()) - 1;
}

std::u16string TextBuffer::substr(size_t pos, size_t n) const {
    if (pos > size_)
        throw std::out_of_range("TextBuffer::substr");
    n = std::min(n, size_ - pos);
    std::u16string out;
    out.reserve(n);
    forEachPiece(pos, n, [&](std::u16string_view piece) { out.append(piece); });
    return out;
}

std::u16string_view TextBuffer::view(size_t pos, size_t n) const {
    if (pos > size_)
        throw std::out_of_range("TextBuffer::view");
    n = std::min(n, size_ - pos);
    if (n == 0)
        return {};
    size_t b = blockOf(pos);
    if (pos + n - starts_[b] > blocks_[b].size()) {
        join(b, blockOf(pos + n - 1));
        b = blockOf(pos);
    }
    Block& block = blocks_[b];
    const size_t at = pos - starts_[b];
    // Across the gap: it moves to whichever end of the range is nearer, so
    // only units inside the range move.
    if (at < block.gapStart && at + n > block.gapStart)
        block.moveGap(block.gapStart - at <= at + n - block.gapStart ? at : at + n);
    return {block.units + (at < block.gapStart ? at : at + block.gapLength), n};
}

void TextBuffer::copy(size_t pos, size_t n, char16_t* out) const {
    forEachPiece(pos, n, [&](std::u16string_view piece) {
        out = std::copy(piece.begin(), piece.end(), out);
    });
}

std::vector<std::u16string_view> TextBuffer::pieces() const {
    std::vector<std::u16string_view> all;
    all.reserve(2 * blocks_.size());
    forEachPiece(0, size_, [&](std::u16string_view piece) {
        if (!piece.empty())
            all.push_back(piece);
    });
    return all;
}

TextBuffer::BlockHalves TextBuffer::blockAt(size_t pos) const {
    if (blocks_.empty())
        return {};
    const size_t b = pos < size_ ? blockOf(pos) : blocks_.size() - 1;
    return {starts_[b], blocks_[b].front(), blocks_[b].back()};
}

void TextBuffer::replace(size_t pos, size_t n, std::u16string_view units) {
    if (pos > size_)
        throw std::out_of_range("TextBuffer::replace");
    n = std::min(n, size_ - pos);
    if (n == 0 && units.empty())
        return;
    const std::less<const char16_t*> before;
    for (const Block& block : blocks_) {
        if (!before(units.data(), block.units) &&
            before(units.data(), block.units + block.capacity)) {
            // Moving units would pull them from under the view.
            const std::u16string copy(units);
            replace(pos, n, copy);
            return;
        }
    }
    if (replaceInPlace(pos, n, units))
        return;
    if (blocks_.empty()) {
        rebuild(0, 0, 0, 0, units);
    } else if (n > 0) {
        const size_t first = blockOf(pos);
        rebuild(first, blockOf(pos + n - 1), pos, n, units);
    } else {
        // At the start of a block beginning there, its last unit stays.
        const auto at = std::lower_bound(starts_.begin(), starts_.end(), pos);
        const auto b = static_cast<size_t>(at - starts_.begin());
        const size_t taking = b < blocks_.size() && *at == pos ? b : b - 1;
        rebuild(taking, taking, pos, 0, units);
    }
}

// A block's last unit must be a break unless it is the last block; an
// empty block has none (npos).
bool TextBuffer::endsBlockValidly(size_t block, size_t lastUnit) const {
    return block + 1 == blocks_.size() || lastUnit == npos ||
           IsBreak(static_cast<char16_t>(lastUnit));
}

size_t TextBuffer::blockTaking(size_t pos, std::u16string_view units) const {
    const auto at = std::lower_bound(starts_.begin(), starts_.end(), pos);
    const auto first = static_cast<size_t>(at - starts_.begin());
    const auto fits = [&](size_t b) {
        return blocks_[b].capacity - blocks_[b].size() >= units.size();
    };
    // Blocks starting at pos take the units at their start, which changes
    // their last unit only when they were empty.
    for (size_t b = first; b < blocks_.size() && starts_[b] == pos; ++b) {
        if (fits(b) && (blocks_[b].size() > 0 || endsBlockValidly(b, units.back())))
            return b;
    }
    if (first == 0)
        return npos;
    // Inside the block before, or at its end, where the units become its last.
    const size_t b = first - 1;
    const bool atEnd = starts_[b] + blocks_[b].size() == pos;
    return fits(b) && (!atEnd || endsBlockValidly(b, units.back())) ? b : npos;
}

bool TextBuffer::replaceInPlace(size_t pos, size_t n, std::u16string_view units) {
    if (blocks_.empty())
        return false;
    size_t b = 0;
    if (n == 0) {
        b = blockTaking(pos, units);
        if (b == npos)
            return false;
    } else {
        b = blockOf(pos);
        const Block& block = blocks_[b];
        const size_t at = pos - starts_[b];
        if (at + n > block.size() || block.size() - n + units.size() > block.capacity)
            return false;
        if (at + n == block.size()) {
            size_t last = npos;
            if (!units.empty())
                last = units.back();
            else if (at > 0)
                last = (*this)[pos - 1];
            if (!endsBlockValidly(b, last))
                return false;
        }
    }
    Block& block = blocks_[b];
    const bool wasLong = block.size() > kLongBlockUnits;
    block.moveGap(pos - starts_[b]);
    block.gapLength += n;
    std::copy(units.begin(), units.end(), block.units + block.gapStart);
    block.gapStart += units.size();
    block.gapLength -= units.size();
    size_ = size_ + units.size() - n;
    // A long block is split once, when it grows long or gains a break: one
    // long line stays one block, and typing in it splits nothing.
    const bool isLong = block.size() > kLongBlockUnits;
    untidy_ = untidy_ || block.size() == 0 ||
              (isLong && (!wasLong || std::any_of(units.begin(), units.end(), IsBreak)));
    restart(b);
    return true;
}

// Puts one new block in place of blocks [first, last]: their units with
// `units` in place of n at pos, the gap behind `units`, and room to take the
// replaced units back. Ending in no break, it takes the next blocks in too.
void TextBuffer::rebuild(size_t first, size_t last, size_t pos, size_t n,
                         std::u16string_view units) {
    const size_t begin = blocks_.empty() ? 0 : starts_[first];
    size_t end = blocks_.empty() ? 0 : starts_[last] + blocks_[last].size();
    const auto lastUnit = [&]() -> size_t {
        if (end > pos + n)
            return (*this)[end - 1];
        if (!units.empty())
            return units.back();
        return pos > begin ? (*this)[pos - 1] : npos;
    };
    while (!blocks_.empty() && !endsBlockValidly(last, lastUnit()))
        end += blocks_[++last].size();
    const size_t total = (pos - begin) + units.size() + (end - pos - n);
    const size_t needed = total + (n > units.size() ? n - units.size() : 0);
    if (blocks_.empty()) {
        blocks_.reserve(1);
        starts_.reserve(1);
    }
    Block fresh;
    try {
        fresh.own(std::make_unique_for_overwrite<char16_t[]>(Roomy(needed)));
        fresh.capacity = Roomy(needed);
    } catch (const std::bad_alloc&) {
        fresh.own(std::make_unique_for_overwrite<char16_t[]>(needed));
        fresh.capacity = needed;
    }
    copy(begin, pos - begin, fresh.units);
    std::copy(units.begin(), units.end(), fresh.units + (pos - begin));
    fresh.gapStart = pos - begin + units.size();
    fresh.gapLength = fresh.capacity - total;
    copy(pos + n, end - pos - n, fresh.units + fresh.gapStart + fresh.gapLength);
    if (blocks_.empty()) {
        blocks_.push_back(std::move(fresh));
        starts_.push_back(0);
    } else {
        blocks_[first] = std::move(fresh);
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                      blocks_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                      starts_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    }
    size_ = size_ + units.size() - n;
    untidy_ = untidy_ || total == 0 || total > kLongBlockUnits;
    restart(first);
}

void TextBuffer::join(size_t first, size_t last) const {
    const size_t begin = starts_[first];
    const size_t total = starts_[last] + blocks_[last].size() - begin;
    Block joined;
    joined.capacity = Roomy(total);
    joined.own(std::make_unique_for_overwrite<char16_t[]>(joined.capacity));
    joined.gapStart = total;
    joined.gapLength = joined.capacity - total;
    copy(begin, total, joined.units);
    blocks_[first] = std::move(joined);
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                  blocks_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                  starts_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    restart(first);
}

void TextBuffer::restart(size_t from) const {
    for (size_t b = from + 1; b < blocks_.size(); ++b)
        starts_[b] = starts_[b - 1] + blocks_[b - 1].size();
    hint_ = std::min(hint_, blocks_.empty() ? 0 : blocks_.size() - 1);
}

void TextBuffer::tidy() noexcept {
    if (!std::exchange(untidy_, false))
        return;
    size_t kept = 0;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        if (blocks_[b].size() == 0 && blocks_.size() > 1)
            continue;
        blocks_[kept] = std::move(blocks_[b]);
        starts_[kept] = starts_[b];
        ++kept;
    }
    blocks_.resize(kept);
    starts_.resize(kept);
    hint_ = 0;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        if (blocks_[b].size() <= kLongBlockUnits || !BreaksBeforeItsEnd(blocks_[b]))
            continue;
        try {
            TextBlockWriter writer;
            writer.append(blocks_[b].front());
            writer.append(blocks_[b].back());
            TextBlocks split = writer.finish();
            blocks_.reserve(blocks_.size() + split.size());
            starts_.reserve(starts_.size() + split.size());
            const auto at = static_cast<std::ptrdiff_t>(b);
            blocks_.erase(blocks_.begin() + at);
            starts_.erase(starts_.begin() + at);
            for (size_t k = 0; k < split.size(); ++k) {
                Block block;
                block.capacity = split[k].capacity;
                block.gapStart = split[k].size;
                block.gapLength = split[k].capacity - split[k].size;
                block.own(std::move(split[k].units));
                blocks_.insert(blocks_.begin() + at + static_cast<std::ptrdiff_t>(k),
                               std::move(block));
                starts_.insert(starts_.begin() + at + static_cast<std::ptrdiff_t>(k), 0);
            }
            b += split.size() - 1;
        } catch (const std::bad_alloc&) {
        }
    }
    if (!blocks_.empty())
        restart(0);
}

void TextBuffer::assign(TextBlocks&& blocks) {
    std::vector<Block> taken;
    std::vector<size_t> starts;
    taken.reserve(blocks.size());
    starts.reserve(blocks.size());
    size_t size = 0;
    for (TextBlock& from : blocks) {
        Block& to = taken.emplace_back();
        to.capacity = from.capacity;
        to.gapStart = from.size;
        to.gapLength = from.capacity - from.size;
        to.own(std::move(from.units));
        starts.push_back(size);
        size += from.size;
    }
    blocks_.swap(taken);
    starts_.swap(starts);
    size_ = size;
    hint_ = 0;
    untidy_ = false;
}

void TextBuffer::assign(std::u16string&& units) {
    if (units.empty()) {
        assign(std::u16string_view());
        return;
    }
    const std::u16string_view all(units);
    std::vector<size_t> ends; // where each block ends: after a break, or at the end
    for (size_t from = 0; from < all.size();) {
        size_t end = std::min(all.size(), from + kTextBlockUnits);
        if (end < all.size()) {
            const std::u16string_view within = all.substr(from, end - from);
            const auto last = std::find_if(within.rbegin(), within.rend(), IsBreak);
            if (last != within.rend()) {
                end = from + static_cast<size_t>(within.rend() - last);
            } else {
                // One line longer than a block keeps its block growing to its end.
                end = std::min(NextBreak(all, end) + 1, all.size());
            }
        }
        ends.push_back(end);
        from = end;
    }
    std::vector<Block> taken(ends.size());
    std::vector<size_t> starts(ends.size());
    const size_t size = units.size();
    const auto adopted = std::make_shared<std::u16string>(std::move(units));
    // The string's spare capacity, up to a block of it, becomes the last
    // block's gap: the first keystrokes in a text of one long line move
    // units within it rather than copy the whole line to a block with
    // room. Only that much is filled: filling the spare of a large load
    // would bring in pages no edit may ever need.
    adopted->resize(std::min(adopted->capacity(), size + kTextBlockUnits));
    char16_t* data = adopted->data();
    for (size_t b = 0, from = 0; b < ends.size(); from = ends[b++]) {
        taken[b].units = data + from;
        taken[b].capacity = taken[b].gapStart = ends[b] - from;
        taken[b].adopted = adopted;
        starts[b] = from;
    }
    taken.back().capacity = adopted->size() - starts.back();
    taken.back().gapLength = taken.back().capacity - taken.back().gapStart;
    blocks_.swap(taken);
    starts_.swap(starts);
    size_ = size;
    hint_ = 0;
    untidy_ = false;
}

void TextBuffer::assign(std::u16string_view units) {
    TextBlockWriter writer;
    writer.append(units);
    assign(writer.finish());
}

void TextBuffer::clear() noexcept {
    blocks_.clear();
    starts_.clear();
    size_ = 0;
    hint_ = 0;
    untidy_ = false;
}

void TextBuffer::swap(TextBuffer& other) noexcept {
    blocks_.swap(other.blocks_);
    starts_.swap(other.starts_);
    std::swap(size_, other.size_);
    std::swap(hint_, other.hint_);
    std::swap(untidy_, other.untidy_);
}

bool operator==(const TextBuffer& a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    bool same = true;
    a.forEachPiece(0, a.size(), [&](std::u16string_view piece) {
        same = same && b.substr(0, piece.size()) == piece;
        b.remove_prefix(piece.size());
    });
    return same;
}

bool operator==(const TextBuffer& a, const TextBuffer& b) {
    if (a.size() != b.size())
        return false;
    const std::vector<std::u16string_view> left = a.pieces(), right = b.pieces();
    size_t i = 0, j = 0, x = 0, y = 0; // pieces and places in them
    while (i < left.size() && j < right.size()) {
        const size_t n = std::min(left[i].size() - x, right[j].size() - y);
        if (left[i].substr(x, n) != right[j].substr(y, n))
            return false;
        x += n;
        y += n;
        if (x == left[i].size())
            ++i, x = 0;
        if (y == right[j].size())
            ++j, y = 0;
    }
    return true;
}
