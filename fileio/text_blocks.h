// A text held as blocks of about kTextBlockUnits units, every block but the
// last ending in a line break unit (CR or LF), so that no line is split
// between two blocks: the form loading produces and the edit control keeps.
// A block's spare capacity is room for later edits.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Big enough that a gigabyte makes only about five hundred blocks, small
// enough that moving units within one costs a fraction of a millisecond.
inline constexpr size_t kTextBlockUnits = size_t{1} << 20;

// Units [0, size) of a block written, room for `capacity`.
struct TextBlock {
    std::unique_ptr<char16_t[]> units;
    size_t size = 0;
    size_t capacity = 0;

    std::u16string_view view() const { return {units.get(), size}; }
    // A block of that capacity, its units not yet written; the memory is
    // brought in ahead when it is large.
    static TextBlock WithRoom(size_t capacity);
};

using TextBlocks = std::vector<TextBlock>;

// Builds TextBlocks from units written in order. A block that is full is
// cut after its last break; the units after it open the next block. A line
// longer than a block keeps its block growing until it ends.
class TextBlockWriter {
  public:
    // Room for `n` units at the end of the text, valid until the next call;
    // commit() says how many of them were written.
    char16_t* room(size_t n);
    void commit(size_t written) { current_.size += written; }
    void append(std::u16string_view units);

    // Units written so far.
    size_t size() const { return cutUnits_ + current_.size; }
    // The blocks cut since the last call, which no later write changes.
    TextBlocks takeCut();
    // The blocks not taken yet, the last one too; the writer is left empty.
    TextBlocks finish();

  private:
    void makeRoom(size_t n);
    void moveTo(TextBlock next, size_t keep);

    TextBlocks cut_;
    size_t cutUnits_ = 0; // in blocks handed out by takeCut() as well
    TextBlock current_;
};
