#include "editctl/text_geometry.h"

#include "editctl/characters.h"
#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/visual_rows.h"

#include <algorithm>

namespace {

// Cells from the row's first unit to `position`, which lies in the row.
int64_t CellsInRow(const EditState& s, const VisualRow& row, int32_t position) {
    const int32_t lineStart = s.model.lines[row.line].start;
    return int64_t{VisualColumn(s, row.line, position - lineStart)} -
           VisualColumn(s, row.line, row.start - lineStart);
}

// Cells from the row's first unit to the end of the character before `to`
// (after `from`, in the row): a cell left empty at the row's end is not its.
int64_t CellsInRowBefore(const EditState& s, const VisualRow& row, int32_t to) {
    const LineInfo info = s.model.lines[row.line];
    const std::u16string_view line =
        s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
    const int32_t last = PrevCharStop(line, to - info.start);
    const int64_t column = VisualColumn(s, row.line, last);
    return PlaceCharacter(line, last, column, LineCellRules(s)).end -
           VisualColumn(s, row.line, row.start - info.start);
}

// The client rectangle of units [from, to) of the row, cut to the text area
// and the client's height; false when nothing of it shows.
bool RowRect(const EditState& s, const VisualRow& row, int32_t from, int32_t to, PixelRect& out) {
    const int64_t textLeft = ShownGutter(s.view);
    const int64_t origin = textLeft + s.view.margin - s.view.scrollX;
    const int64_t left = std::max(origin + CellsInRow(s, row, from) * s.view.charWidth, textLeft);
    const int64_t right = std::min<int64_t>(
        origin + CellsInRowBefore(s, row, to) * s.view.charWidth, s.view.clientWidth);
    const int64_t top = int64_t{s.view.margin} + row.index * s.view.lineHeight - s.view.scrollY;
    const int64_t shownTop = std::max<int64_t>(top, 0);
    const int64_t shownBottom = std::min<int64_t>(top + s.view.lineHeight, s.view.clientHeight);
    if (left >= right || shownTop >= shownBottom)
        return false;
    out = {Saturate32(left), Saturate32(shownTop), Saturate32(right), Saturate32(shownBottom)};
    return true;
}

} // namespace

TextSpan VisibleSpan(const EditState& s) {
    const RowWindow rows = VisibleRows(s);
    if (rows.count == 0)
        return {0, 0};
    const int64_t last = rows.first + rows.count - 1;
    const int32_t end = last + 1 < s.model.lines.totalRows()
                            ? RowAtIndex(s, last + 1).start
                            : static_cast<int32_t>(s.model.text.size());
    return {RowAtIndex(s, rows.first).start, end};
}

std::vector<PixelRect> SpanRowRects(const EditState& s, TextSpan span) {
    std::vector<PixelRect> rects;
    span = ClampSpan(s, span);
    const RowWindow rows = VisibleRows(s);
    if (rows.count == 0 || span.start == span.end)
        return rects;
    PixelRect rect;
    const int64_t first = std::max(rows.first, RowOfPosition(s, span.start).index);
    const int64_t last = std::min(rows.first + rows.count - 1, RowOfPosition(s, span.end).index);
    for (int64_t index = first; index <= last; ++index) {
        const VisualRow row = RowAtIndex(s, index);
        const int32_t from = std::max(span.start, row.start);
        const int32_t to = std::min(span.end, row.end);
        if (from < to && RowRect(s, row, from, to, rect))
            rects.push_back(rect);
    }
    return rects;
}

int32_t BoundaryNearestPoint(const EditState& s, int64_t x, int64_t y) {
    if (s.model.lines.empty())
        return 0;
    const int64_t contentY = y + s.view.scrollY - s.view.margin;
    const int64_t index = contentY < 0 ? 0 : contentY / s.view.lineHeight;
    const VisualRow row = RowAtIndex(s, index);
    const LineInfo info = s.model.lines[row.line];
    const int64_t rowFirst = s.view.wordWrap ? int64_t{row.row} * ColumnsPerRow(s) : 0;
    const int64_t origin = int64_t{ShownGutter(s.view)} + s.view.margin - s.view.scrollX;
    const int64_t cells = x < origin ? 0 : (x - origin) / s.view.charWidth;
    const CellStop stop = StopAtColumn(s, row.line, rowFirst + cells);
    const int32_t offset = std::max(stop.offset, row.start - info.start);
    if (offset >= row.end - info.start)
        return row.end;
    // The right half of a character lies nearer the boundary after it.
    const std::u16string_view line =
        s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
    const CellSpan span = PlaceCharacter(line, offset, stop.column, LineCellRules(s));
    const int64_t middleTwice =
        2 * origin + (span.first + span.end - 2 * rowFirst) * s.view.charWidth;
    return info.start + (2 * x >= middleTwice ? NextCharStop(line, offset) : offset);
}

void ScrollSpanIntoView(EditState& s, TextSpan span, bool alignToTop) {
    span = ClampSpan(s, span);
    if (!s.attached.window || s.model.lines.empty())
        return;
    if (alignToTop) {
        s.view.scrollY = RowOfPosition(s, span.start).index * s.view.lineHeight + s.view.margin;
    } else {
        const int64_t bottom =
            (RowOfPosition(s, span.end).index + 1) * s.view.lineHeight + s.view.margin;
        s.view.scrollY = std::max<int64_t>(bottom - s.view.clientHeight, 0);
    }
    if (!s.view.wordWrap) {
        const VisualRow row = RowOfPosition(s, span.start);
        const int64_t x = int64_t{CellsInRow(s, row, span.start)} * s.view.charWidth;
        const int64_t width =
            int64_t{s.view.clientWidth} - 2 * int64_t{s.view.margin} - ShownGutter(s.view);
        if (x < s.view.scrollX)
            s.view.scrollX = x;
        else if (x + s.view.charWidth > s.view.scrollX + width)
            s.view.scrollX = std::max<int64_t>(x + s.view.charWidth - width, 0);
    }
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
}
