#include "editctl/visual_rows.h"

#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"

#include <algorithm>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

int32_t RowInLine(const EditState& s, int32_t line, int32_t offset) {
    const int32_t rows = s.lines[line].rows;
    if (!s.wordWrap || rows <= 1)
        return 0;
    const int32_t perRow = std::max(1, ColumnsPerRow(s));
    int32_t row = std::min(VisualColumn(s, line, offset) / perRow, rows - 1);
    // A tab is drawn on the row where its cells end, not where they start.
    while (row + 1 < rows && RowStartOffset(s, line, row + 1) <= offset)
        ++row;
    while (row > 0 && RowStartOffset(s, line, row) > offset)
        --row;
    return row;
}

VisualRow MakeRow(const EditState& s, int32_t line, int32_t row) {
    const LineInfo info = s.lines[line];
    VisualRow result;
    result.line = line;
    result.row = row;
    result.start = info.start + RowStartOffset(s, line, row);
    result.end = row + 1 < info.rows ? info.start + RowStartOffset(s, line, row + 1)
                                     : info.start + info.length;
    result.index = s.lines.lineTop(line) / s.lineHeight + row;
    return result;
}

} // namespace

int32_t RowStartOffset(const EditState& s, int32_t line, int32_t row) {
    if (!s.wordWrap || row <= 0 || line < 0 || line >= s.lines.size())
        return 0;
    const int64_t perRow = std::max(1, ColumnsPerRow(s));
    return OffsetAtColumn(s, line, Saturate32(row * perRow));
}

VisualRow RowOfPosition(const EditState& s, int32_t position) {
    if (s.lines.empty())
        return {};
    const LineLocation at = LocateLine(s, position);
    return MakeRow(s, at.line, RowInLine(s, at.line, at.offset));
}

VisualRow RowAtIndex(const EditState& s, int64_t index) {
    if (s.lines.empty())
        return {};
    const int64_t clamped = std::clamp<int64_t>(index, 0, s.lines.totalRows() - 1);
    const int32_t line = s.lines.lineAtY(Saturate32(clamped * s.lineHeight));
    const int64_t row = clamped - s.lines.lineTop(line) / s.lineHeight;
    return MakeRow(s, line, Saturate32(std::clamp<int64_t>(row, 0, s.lines[line].rows - 1)));
}

RowWindow VisibleRows(const EditState& s) {
    if (s.lines.empty() || s.clientHeight <= 0)
        return {};
    const int64_t top = int64_t{s.scrollY} - s.margin;
    const int64_t first = std::max<int64_t>(FloorDiv(top, s.lineHeight), 0);
    const int64_t end = std::min<int64_t>(
        FloorDiv(top + s.clientHeight + s.lineHeight - 1, s.lineHeight), s.lines.totalRows());
    return {first, std::max<int64_t>(end - first, 0)};
}
