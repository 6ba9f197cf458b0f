// Stops kept along long lines whose columns need a walk (tabs, wide or
// combined characters), one every thousand units or so, so that turning an
// offset into a column or back walks a short stretch instead of the line
// from its start. Painting a row of a wrapped line, placing the caret and
// hit testing all go through here. Stops are made lazily, as far as asked,
// and dropped when the line or the view changes.
#pragma once

#include "editctl/cells.h"
#include "editctl/line_table.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class ColumnStops {
  public:
    // Lines shorter than this are walked from their start.
    static constexpr int32_t kSpacing = 1024;
    // Long lines kept at once; the least recently used goes first.
    static constexpr size_t kLines = 256;

    // A stop at or before the character holding `offset` of `line`, the
    // units of `info` under `rules`.
    CellStop beforeOffset(std::u16string_view line, const LineInfo& info, const CellRules& rules,
                          int32_t offset);
    // A stop whose column is at most `column`, as near to it as kept stops allow.
    CellStop beforeColumn(std::u16string_view line, const LineInfo& info, const CellRules& rules,
                          int64_t column);

    // The stops kept along the line at `info` under `rules`, the line's
    // start first; empty when none are kept.
    std::span<const CellStop> kept(const LineInfo& info, const CellRules& rules) const;

    // Keeps what an edit left valid: the stops before the change of the line
    // it touched and the lines before and after it, those moved along.
    // `lines` is the table after the edit.
    void edited(const TextChange& change, const LineTable& lines);
    void clear() { lines_.clear(); }

  private:
    struct Line {
        int32_t start = 0;
        int32_t length = 0;
        CellRules rules;
        std::vector<CellStop> stops; // stops[0] is the line's start
        bool complete = false;       // no stop is left to make
        uint64_t used = 0;
    };

    Line* find(const LineInfo& info, const CellRules& rules);
    // Walks one spacing past the last stop; false at the line's end or out of memory.
    static bool extend(Line& entry, std::u16string_view line);

    std::vector<Line> lines_;
    uint64_t clock_ = 0;
};
