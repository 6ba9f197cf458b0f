// The table of logical lines with their visual rows. Everything that reads
// row counts, row tops or line widths goes through this interface, so how it
// is kept current can change without touching its readers.
#pragma once

#include "editctl/cells.h"
#include "editctl/gap_vector.h"
#include "editctl/partitioned_index.h"
#include "editctl/width_counts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class TextBuffer;

// One logical line. Its break (CR LF, lone CR or lone LF) lies between
// start + length and the next line's start and belongs to neither line.
struct LineInfo {
    int32_t start = 0;
    int32_t length = 0;
    int32_t rows = 1;    // visual rows, at least 1
    bool hasTab = false; // lets column conversions skip the scan when false
    // Holds units from U+0300 on, whose characters may take 0 or 2 cells or
    // several units; without them and tabs, offsets and columns are equal.
    bool hasComplex = false;
};

// How lines are measured into cells and rows.
struct LineMetrics {
    int32_t columnsPerRow = 0; // wrap every this many cells; 0: no wrapping
    int32_t tabWidth = 4;      // tab stop distance in cells, at least 1
    int32_t charWidth = 8;

    bool operator==(const LineMetrics&) const = default;
};

// The span edits replaced: units [start, oldEnd) of the text before them
// became [start, newEnd) of the text after. Edits made one after another
// add up to one span covering them all.
struct TextChange {
    int32_t start = 0;
    int32_t oldEnd = 0;
    int32_t newEnd = 0;
    bool any = false;         // nothing changed while false
    bool removedPlain = true; // every unit removed is known to be a plain unit

    // `removed` units at `position` of the current text gave way to
    // `inserted` units; `removedPlain` when those removed were plain units.
    void add(int32_t position, int32_t removed, int32_t inserted, bool removedPlain = false);
};

// A unit of one cell that breaks no line and joins no neighbour: most of a
// text, which the line measure steps over sixteen at a time.
bool IsPlainUnit(char16_t unit);

class LineTable {
  public:
    class Ahead;

    // Splits the whole text into lines and measures each one. A text ending
    // in a break gets a final empty line; an empty text gets one empty line.
    // Out of memory, throws with the table to be rebuilt; it keeps its
    // memory, so rebuilding a text with no more lines than it held, the
    // same text in another view above all, needs none.
    void rebuild(const TextBuffer& text, const LineMetrics& metrics);
    // As rebuild, under the metrics `ahead` was made for, taking the lines
    // it measured of the text's start and measuring only the rest. The
    // text must begin with every prefix `ahead` was given. Out of memory,
    // throws: the table unchanged.
    void rebuild(const TextBuffer& text, Ahead&& ahead);
    // Brings the table from the text before `change` to `text`, the text
    // after it, with the same result as rebuild: only the lines the change
    // touched are measured again, the later ones are moved. Rebuilds when
    // the table was made for other metrics or another text length. Out of
    // memory, throws: unchanged, unless it had to rebuild. `stops`, when
    // given, are stops along the line holding the change's start in the
    // text before it, under `metrics`, the line's start first: a long
    // line is then walked only from the last of them before the change to
    // where its columns fall into step with them again.
    void update(const TextBuffer& text, const LineMetrics& metrics, const TextChange& change,
                std::span<const CellStop> stops = {});
    // The text the table was made for, under other metrics, with the same
    // result as rebuild: only lines whose characters wrapping may move are
    // measured again, those with tabs or wide characters reaching a row's
    // end; the others keep their widths and get their rows anew. Rebuilds
    // when the tab width or the text's length changed. Out of memory, throws
    // with the table to be rebuilt.
    void remeasure(const TextBuffer& text, const LineMetrics& metrics);

    int32_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    LineInfo operator[](int32_t line) const;
    // The index of the line's first visual row: the rows of all lines above
    // it. Rows, not pixels, so that no count of lines the text may hold
    // overflows, whatever the font.
    int32_t firstRow(int32_t line) const { return tops_[line]; }
    int64_t totalRows() const { return rowSum_; }
    // Pixels of the widest line with tabs expanded. Lines measured ahead may
    // hold only a bound of their width, never above the widest line
    // measured: that one is the widest.
    int64_t maxLineWidth() const { return widths_.widest() * metrics_.charWidth; }

    // The last line starting at or before the position; 0 when empty.
    int32_t lineOfPosition(int32_t position) const;
    // The line holding visual row `row`; the first above row 0, the last below the text.
    int32_t lineAtRow(int64_t row) const;

  private:
    // A line's width in cells when too wide for its packed field.
    struct WideLine {
        int32_t line;
        int64_t cells;
    };
    // Lines measured one after another: their starts, first rows counted
    // from the first one's, and packed shapes (break length, flags and width).
    // Their tables take lines a batch at a time, which costs a fraction of
    // taking them one by one; whoever adds lines settles them before the
    // tables are read.
    struct Scan {
        PartitionedIndex starts;
        PartitionedIndex tops;
        GapVector shapes;
        std::vector<WideLine> wide; // lines counted from the first measured
        WidthCounts widths;
        WidthCounts bounds; // of the lines left unmeasured
        int64_t rows = 0;
        int64_t lastEnd = 0;    // where the last line's break begins
        int64_t origin = 0;     // where the first line starts
        int64_t textLength = 0; // units from origin on when known, to size the tables
        static constexpr size_t kBatchLines = 256;
        std::array<int32_t, kBatchLines> batchStarts;
        std::array<int32_t, kBatchLines> batchTops;
        std::array<uint32_t, kBatchLines> batchShapes;
        size_t batched = 0; // lines added but not in the tables yet

        // A line of `cells` cells, or at most that many when not `measured`.
        void add(int64_t start, int64_t end, int64_t cells, bool hasTab, bool hasComplex,
                 bool measured = true);
        // Adds the lines `more` holds, which start where the last line's break ends.
        void append(const Scan& more);
        // Puts the lines batched in the tables.
        void settle();
        // Room in the tables for `lines` lines, the last starting at `position`.
        void grow(int64_t position, size_t lines);
    };

    // Measures lines from `start`, a line start, to the end of the text or
    // until the next line would start beyond `stopBeyond`.
    static void measureLines(const TextBuffer& text, const LineMetrics& metrics, int64_t start,
                             int64_t stopBeyond, Scan& out);
    // Puts measured lines in place of lines [first, resume) and moves the
    // later ones; the room for them must be there.
    void replaceLines(int32_t first, int32_t resume, const Scan& fresh, int32_t lengthDelta,
                      int32_t topDelta);
    void replaceWide(int32_t first, int32_t resume, const Scan& fresh);
    // The cells of `line` after a change inside it that put plain units in
    // place of plain units, where they can be told without measuring the
    // line whole: the units meet no row's end and join no character.
    std::optional<int64_t> cellsAfterPlainEdit(const TextBuffer& text, int32_t line,
                                               const TextChange& change) const;
    // The line as `delta` more units and `cells` cells make it, into `out`.
    void resized(int32_t line, int32_t delta, int64_t cells, Scan& out) const;
    // Measures the line the change lies inside from the old stops around
    // it, into `out`; false when they cannot tell and it must be measured whole.
    bool walkedFromStops(const TextBuffer& text, int32_t line, const TextChange& change,
                         std::span<const CellStop> stops, Scan& out) const;
    void swapStorage(Scan& scan);
    int64_t cellsOf(int32_t line) const;
    bool measured(int32_t line) const;
    // Measures the unmeasured lines that may be wider than the widest line
    // measured, which an edit has narrowed, so that it is the widest again.
    void settleWidest(const TextBuffer& text);
    int64_t rowsOf(int32_t line) const;
    // Measures again the lines whose width wrapping to `metrics` may
    // change; false, having done part of it, when a line becomes too wide
    // for its packed field.
    bool rewrapLines(const TextBuffer& text, const LineMetrics& metrics);
    // First rows and their sum again from the rows, saturated where they do not fit.
    void retop();
    void recountWidths();

    PartitionedIndex starts_;
    PartitionedIndex tops_;
    GapVector shapes_;
    std::vector<WideLine> wide_; // by line
    WidthCounts widths_;         // of the lines measured
    WidthCounts bounds_;         // of the others
    LineMetrics metrics_;
    int64_t textLength_ = 0;
    int64_t rowSum_ = 0;
};

// The lines of a text measured while the text is still being written, a
// longer prefix at a time, for LineTable::rebuild to finish.
class LineTable::Ahead {
  public:
    // Lines from `start`, a line start, on; `expectedLength`, the length
    // the text is going to have, sizes the table.
    Ahead(const LineMetrics& metrics, int64_t expectedLength, int64_t start = 0);

    // Measures the lines that end within units [0, written) and start from
    // next() on, stopping once the next line would start beyond
    // `stopBeyond`. The units must begin with those of earlier calls. A
    // line not ended yet is measured again only once the written units
    // beyond its start have doubled, so a long line costs a few measures,
    // not one per call, and not at all once longer than a block. A line
    // that a count of its tabs and wide units shows to be narrower than a
    // row, and no wider than enough lines measured so far, keeps that bound
    // and is not measured: it takes one row, and only the widest line's
    // width is needed. Enough is one line in a short text, up to 64 in a
    // long one, so that taking out a few wide lines leaves one of the
    // others the widest, and no edit has to measure lines all over a large
    // text. Out of memory, throws.
    void measure(const char16_t* units, int64_t written, int64_t stopBeyond);
    // Where the first line not measured yet starts.
    int64_t next() const { return next_; }
    // Where the first line measured starts.
    int64_t start() const { return scan_.origin; }
    // Takes the lines `later` measured, which starts at next(). Out of
    // memory, throws.
    void append(const Ahead& later);

  private:
    friend class LineTable;

    // Takes a line measured at `cells`, counted in scan_.widths already,
    // moving reached_ up when it can.
    void reach(int64_t cells);
    // Moves reached_ up as far as the lines counted in scan_.widths allow.
    void raise();

    LineMetrics metrics_;
    Scan scan_;
    int64_t next_ = 0;
    int64_t retryAt_ = 0; // the written length at which the unended line is measured again
    // The widest width below WidthCounts::kNarrow that enough lines measured reach.
    uint32_t linesToReach_ = 1; // how many lines measured a bound kept must not exceed
    int64_t reached_ = 0;       // a width that many lines measured reach
    uint32_t reaching_ = 0;     // the lines measured that reach it
};
