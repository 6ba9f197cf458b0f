#include "editctl/visual_rows.h"

#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The row of `line` holding `offset`. A position at the exact end of a full
// row is the start of the next one, so it belongs there, where the caret shows.
int32_t RowOfOffset(const EditState& s, int32_t line, int32_t offset) {
    const LineInfo info = s.model.lines[line];
    if (!s.view.wordWrap || info.rows <= 1)
        return 0;
    const int64_t column = VisualColumn(s, line, offset);
    return Saturate32(std::min<int64_t>(column / std::max(1, ColumnsPerRow(s)), info.rows - 1));
}

VisualRow MakeRow(const EditState& s, int32_t line, int32_t row) {
    const LineInfo info = s.model.lines[line];
    const RowUnits cut = CutLineRow(s, line, row);
    VisualRow result;
    result.line = line;
    result.row = row;
    result.start = info.start + cut.start;
    result.end = info.start + cut.end;
    result.index = int64_t{s.model.lines.firstRow(line)} + row;
    return result;
}

} // namespace

RowUnits CutLineRow(const EditState& s, int32_t line, int64_t row, int32_t knownStart) {
    const LineInfo info = s.model.lines[line];
    if (!s.view.wordWrap || info.rows <= 1)
        return {0, info.length};
    const int64_t perRow = std::max(1, ColumnsPerRow(s));
    const int64_t first = row * perRow;
    if (!info.hasTab && !info.hasComplex)
        return {Saturate32(std::min<int64_t>(first, info.length)),
                Saturate32(std::min<int64_t>(first + perRow, info.length))};
    const int32_t start = row <= 0          ? 0
                          : knownStart >= 0 ? knownStart
                                            : StopAtColumn(s, line, first).offset;
    // The last row ends the line: no walk to find its end.
    if (row + 1 >= info.rows)
        return {start, info.length};
    const std::u16string_view units =
        s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
    return {start, StopOfColumn(units, first + perRow, LineCellRules(s), {start, first}).offset};
}

VisualRow RowOfPosition(const EditState& s, int32_t position) {
    if (s.model.lines.empty())
        return {};
    const LineLocation at = LocateLine(s.model, position);
    return MakeRow(s, at.line, RowOfOffset(s, at.line, at.offset));
}

VisualRow RowOfLine(const EditState& s, int32_t line, int32_t row) {
    if (s.model.lines.empty())
        return {};
    line = std::clamp(line, 0, s.model.lines.size() - 1);
    return MakeRow(s, line, std::clamp(row, 0, s.model.lines[line].rows - 1));
}

VisualRow RowAtIndex(const EditState& s, int64_t index) {
    if (s.model.lines.empty())
        return {};
    const int64_t clamped = std::clamp<int64_t>(index, 0, s.model.lines.totalRows() - 1);
    const int32_t line = s.model.lines.lineAtRow(clamped);
    const int64_t row = clamped - s.model.lines.firstRow(line);
    return RowOfLine(s, line, Saturate32(row));
}

RowWindow VisibleRows(const EditState& s) {
    if (s.model.lines.empty() || s.view.clientHeight <= 0)
        return {};
    const int64_t top = s.view.scrollY - s.view.margin;
    const int64_t first = std::max<int64_t>(FloorDiv(top, s.view.lineHeight), 0);
    const int64_t end = std::min<int64_t>(
        FloorDiv(top + s.view.clientHeight + s.view.lineHeight - 1, s.view.lineHeight),
        s.model.lines.totalRows());
    return {first, std::max<int64_t>(end - first, 0)};
}
