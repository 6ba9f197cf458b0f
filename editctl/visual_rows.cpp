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

// Units [start, end) of one row of a line, cut where the paint code cuts
// rows: a unit belongs to the row holding its last cell, so a tab across a
// row's end is drawn on the next row.
struct RowCut {
    int32_t row = 0;
    int32_t start = 0;
    int32_t end = 0;
};

// The cut of row `row` or, with `row` negative, of the row holding `offset`:
// one pass over the line up to the end of that row.
RowCut CutRow(const EditState& s, int32_t line, int32_t row, int32_t offset) {
    const LineInfo info = s.model.lines[line];
    if (!s.view.wordWrap || info.rows <= 1)
        return {0, 0, info.length};
    const int64_t perRow = std::max(1, ColumnsPerRow(s));
    if (!info.hasTab) {
        const int64_t r = row >= 0 ? row : std::min<int64_t>(offset / perRow, info.rows - 1);
        const int64_t end = r + 1 < info.rows ? (r + 1) * perRow : info.length;
        return {Saturate32(r), Saturate32(std::min<int64_t>(r * perRow, info.length)),
                Saturate32(std::min<int64_t>(end, info.length))};
    }
    const int64_t tab = TabStop(s.view);
    const std::u16string_view units =
        s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
    const int32_t last = info.rows - 1;
    int32_t target = row;
    int32_t start = -1;
    int32_t runStart = 0; // the first unit of the row reached so far
    int32_t runRow = 0;
    int64_t cells = 0;
    int32_t unitRow = 0;
    int64_t rowLimit = perRow; // cells up to the end of unitRow
    for (int32_t i = 0; i < info.length; ++i) {
        cells += units[i] == kTab ? tab - cells % tab : 1;
        for (; cells > rowLimit && unitRow < last; rowLimit += perRow)
            ++unitRow;
        if (unitRow != runRow) {
            runStart = i;
            runRow = unitRow;
        }
        if (target < 0 && i >= std::min(offset, info.length - 1)) {
            target = unitRow;
            start = runStart;
        }
        if (target >= 0 && start < 0 && unitRow >= target)
            start = i;
        if (target >= 0 && unitRow > target)
            return {target, start, i};
    }
    return {target, start < 0 ? info.length : start, info.length};
}

VisualRow MakeRow(const EditState& s, int32_t line, const RowCut& cut) {
    const LineInfo info = s.model.lines[line];
    VisualRow result;
    result.line = line;
    result.row = cut.row;
    result.start = info.start + cut.start;
    result.end = info.start + cut.end;
    result.index = int64_t{s.model.lines.firstRow(line)} + cut.row;
    return result;
}

} // namespace

VisualRow RowOfPosition(const EditState& s, int32_t position) {
    if (s.model.lines.empty())
        return {};
    const LineLocation at = LocateLine(s.model, position);
    return MakeRow(s, at.line, CutRow(s, at.line, -1, at.offset));
}

VisualRow RowOfLine(const EditState& s, int32_t line, int32_t row) {
    if (s.model.lines.empty())
        return {};
    line = std::clamp(line, 0, s.model.lines.size() - 1);
    return MakeRow(s, line, CutRow(s, line, std::clamp(row, 0, s.model.lines[line].rows - 1), 0));
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
