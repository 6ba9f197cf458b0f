#include "fileio/text_blocks.h"
#include "fileio/page_prefault.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <utility>

namespace {

// A small text starts small; its block doubles up to the full size.
constexpr size_t kFirstBlockUnits = 256;
// A block is cut once it cannot take the next piece within this size: the
// rest stays as the block's room for edits.
constexpr size_t kFullBlockUnits = kTextBlockUnits + kTextBlockUnits / 32;

bool IsBreak(char16_t unit) {
    return unit == kCr || unit == kLf;
}

} // namespace

TextBlock TextBlock::WithRoom(size_t capacity) {
    TextBlock block{std::make_unique_for_overwrite<char16_t[]>(capacity), 0, capacity};
    PrefaultPages(block.units.get(), capacity * sizeof(char16_t));
    return block;
}

char16_t* TextBlockWriter::room(size_t n) {
    if (current_.capacity - current_.size < n)
        makeRoom(n);
    return current_.units.get() + current_.size;
}

void TextBlockWriter::append(std::u16string_view units) {
    while (!units.empty()) {
        const size_t n = std::min(units.size(), kTextBlockUnits / 4);
        std::copy_n(units.data(), n, room(n));
        commit(n);
        units.remove_prefix(n);
    }
}

TextBlocks TextBlockWriter::takeCut() {
    return std::exchange(cut_, {});
}

TextBlocks TextBlockWriter::finish() {
    TextBlocks blocks = std::exchange(cut_, {});
    if (current_.size > 0 || (blocks.empty() && cutUnits_ == 0))
        blocks.push_back(std::exchange(current_, {}));
    cutUnits_ = 0;
    return blocks;
}

void TextBlockWriter::makeRoom(size_t n) {
    const size_t used = current_.size;
    const std::u16string_view units = current_.view();
    const auto lastBreak = std::find_if(units.rbegin(), units.rend(), IsBreak);
    if (used + n <= kFullBlockUnits || used < kTextBlockUnits / 2 || lastBreak == units.rend()) {
        // Still growing to a block's size, too little in it to cut, or one
        // line so far, which needs a block of its own however long.
        const size_t doubled = std::max(2 * current_.capacity, kFirstBlockUnits);
        const size_t grown =
            used + n <= kFullBlockUnits ? std::min(doubled, kFullBlockUnits) : doubled;
        moveTo(TextBlock::WithRoom(std::max(grown, used + n)), 0);
        return;
    }
    const auto keep = static_cast<size_t>(units.rend() - lastBreak);
    moveTo(TextBlock::WithRoom(std::max(kFullBlockUnits, used - keep + n)), keep);
}

// Units from `keep` on go to `next`, which becomes the current block; the
// ones before end a block that is cut there, unless there are none.
void TextBlockWriter::moveTo(TextBlock next, size_t keep) {
    std::copy(current_.units.get() + keep, current_.units.get() + current_.size, next.units.get());
    next.size = current_.size - keep;
    if (keep == 0) {
        current_ = std::move(next);
        return;
    }
    current_.size = keep;
    cutUnits_ += keep;
    cut_.push_back(std::exchange(current_, std::move(next)));
}
