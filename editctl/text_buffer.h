// The document's UTF-16 units in blocks of about a megaunit under a small
// index of where each starts. Each block keeps a gap where its last edit
// was, so a keystroke anywhere moves units within one block only, however
// large the text. Every block but the last ends in a line break unit (CR or
// LF), so no line is split between two blocks and a line's units can always
// be viewed in place. Reads mean what std::u16string's do.
//
// view() moves a block's gap out of the range it returns, so even a const
// buffer is written to: use it from one thread only. A view lasts until the
// buffer changes; taking another view moves only units inside that view's
// range, so views of ranges that do not overlap stay valid together.
#pragma once

#include "fileio/text_blocks.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TextBuffer {
  public:
    static constexpr size_t npos = std::u16string::npos;

    TextBuffer() = default;
    explicit TextBuffer(std::u16string_view units) { assign(units); }
    TextBuffer(const TextBuffer& other);
    TextBuffer(TextBuffer&& other) noexcept { swap(other); }
    TextBuffer& operator=(TextBuffer other) noexcept {
        swap(other);
        return *this;
    }
    ~TextBuffer() = default;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char16_t operator[](size_t i) const;

    // Positions beyond the text throw std::out_of_range; `n` is cut at the end.
    std::u16string substr(size_t pos, size_t n = npos) const;
    // A range within one line (or within one block) costs at most a move of
    // that block's units; a range over several blocks joins them into one,
    // which costs their whole length: read such a range by pieces.
    std::u16string_view view(size_t pos, size_t n = npos) const;
    // Copies the units [pos, pos + n), which must exist, to `out`.
    void copy(size_t pos, size_t n, char16_t* out) const;
    // The whole text in order as pieces, without moving anything.
    std::vector<std::u16string_view> pieces() const;
    // The block holding the unit at `pos` (the last block for the end of the
    // text): where it starts and its units before and after its gap.
    struct BlockHalves {
        size_t start = 0;
        std::u16string_view front, back;
    };
    BlockHalves blockAt(size_t pos) const;

    // Puts `units` in place of up to `n` units at `pos`; `units` may view the
    // buffer itself. Out of memory, throws std::bad_alloc with the buffer
    // unchanged. Right after it, putting the replaced units back in place
    // of `units` needs no memory and cannot fail.
    void replace(size_t pos, size_t n, std::u16string_view units);
    void insert(size_t pos, std::u16string_view units) { replace(pos, 0, units); }
    void erase(size_t pos, size_t n = npos) { replace(pos, n, {}); }
    // Splits blocks that edits made much larger than a block should be and
    // drops empty ones; best effort, and only on the shape, never on the
    // units, so edits may leave it for later. Without memory it does nothing.
    void tidy() noexcept;

    // Takes the blocks as they are: each but the last must end in a break.
    // Out of memory, throws with the buffer unchanged.
    void assign(TextBlocks&& blocks);
    void assign(std::u16string_view units);
    // Takes the string without a copy: its parts become blocks that are
    // read in place and made afresh where they are first edited, so the
    // loaded text costs no more than its own memory; up to a block of its
    // spare capacity is the last block's gap. Out of memory, throws with
    // the buffer and `units` unchanged.
    void assign(std::u16string&& units);
    void clear() noexcept;
    void swap(TextBuffer& other) noexcept;

    friend bool operator==(const TextBuffer& a, std::u16string_view b);
    friend bool operator==(const TextBuffer& a, const TextBuffer& b);

  private:
    struct Block {
        char16_t* units = nullptr;         // front, gap, back
        std::unique_ptr<char16_t[]> owned; // the memory of units, unless a slice
        // The loaded text, when units is a slice of it: such a block has no
        // gap but the last one, which has some of the string's spare room, so
        // an edit that adds units to another makes it afresh.
        std::shared_ptr<std::u16string> adopted;
        size_t capacity = 0;
        size_t gapStart = 0;
        size_t gapLength = 0;

        size_t size() const { return capacity - gapLength; }
        std::u16string_view front() const { return {units, gapStart}; }
        std::u16string_view back() const {
            return {units + gapStart + gapLength, capacity - gapStart - gapLength};
        }
        void moveGap(size_t to);
        void own(std::unique_ptr<char16_t[]> memory) {
            owned = std::move(memory);
            units = owned.get();
        }
        // Calls each(piece) with the units [from, from + count) in order.
        template <typename Each> void forEach(size_t from, size_t count, Each each) const {
            const size_t end = from + count;
            if (from < gapStart)
                each(front().substr(from, std::min(end, gapStart) - from));
            if (end > gapStart) {
                const size_t at = std::max(from, gapStart) - gapStart;
                each(back().substr(at, end - gapStart - at));
            }
        }
    };

    // Calls each(piece) with the units [pos, pos + n), which must exist, in order.
    template <typename Each> void forEachPiece(size_t pos, size_t n, Each each) const {
        for (size_t b = n > 0 ? blockOf(pos) : 0; n > 0; ++b) {
            const size_t from = pos - starts_[b];
            const size_t take = std::min(n, blocks_[b].size() - from);
            blocks_[b].forEach(from, take, each);
            pos += take;
            n -= take;
        }
    }

    // The block holding the unit at `pos`, which must be below size().
    size_t blockOf(size_t pos) const;
    // Where an insertion of `units` at `pos` goes in place, if one can take it.
    size_t blockTaking(size_t pos, std::u16string_view units) const;
    bool replaceInPlace(size_t pos, size_t n, std::u16string_view units);
    void rebuild(size_t first, size_t last, size_t pos, size_t n, std::u16string_view units);
    // Blocks [first, last] as one, its gap at its end.
    void join(size_t first, size_t last) const;
    void restart(size_t from) const;
    bool endsBlockValidly(size_t block, size_t lastUnit) const;
    static bool BreaksBeforeItsEnd(const Block& block);

    mutable std::vector<Block> blocks_;
    mutable std::vector<size_t> starts_; // where each block starts in the text
    size_t size_ = 0;
    mutable size_t hint_ = 0; // the block read last: reading on from it finds it first
    bool untidy_ = false;     // an edit left a block empty or long
};
