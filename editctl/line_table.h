// The table of logical lines with their visual rows. Everything that reads
// row counts, row tops or line widths goes through this interface, so how it
// is kept current can change without touching its readers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One logical line. Its break (CR LF, lone CR or lone LF) lies between
// start + length and the next line's start and belongs to neither line.
struct LineInfo {
    int32_t start = 0;
    int32_t length = 0;
    int32_t rows = 1;    // visual rows, at least 1
    bool hasTab = false; // lets column conversions skip the scan when false
};

// How lines are measured into cells and rows.
struct LineMetrics {
    int32_t columnsPerRow = 0; // wrap every this many cells; 0: no wrapping
    int32_t tabWidth = 4;      // tab stop distance in cells, at least 1
    int32_t charWidth = 8;
    int32_t lineHeight = 16;
};

class LineTable {
  public:
    // Splits the whole text into lines and measures each one. A text ending
    // in a break gets a final empty line; an empty text gets one empty line.
    void rebuild(std::u16string_view text, const LineMetrics& metrics);

    int32_t size() const { return static_cast<int32_t>(lines_.size()); }
    bool empty() const { return lines_.empty(); }
    LineInfo operator[](int32_t line) const { return lines_[static_cast<size_t>(line)]; }
    // Content y of the line's first row: the rows of all lines above it.
    int32_t lineTop(int32_t line) const { return tops_[static_cast<size_t>(line)]; }
    int32_t totalRows() const { return totalRows_; }
    // Pixels of the widest line with tabs expanded.
    int32_t maxLineWidth() const { return maxLineWidth_; }

    // The last line starting at or before the position; 0 when empty.
    int32_t lineOfPosition(int32_t position) const;
    // The line whose rows cover content y; the first above y < 0, the last below the text.
    int32_t lineAtY(int32_t y) const;

  private:
    std::vector<LineInfo> lines_;
    std::vector<int32_t> tops_;
    int32_t totalRows_ = 0;
    int32_t maxLineWidth_ = 0;
};
