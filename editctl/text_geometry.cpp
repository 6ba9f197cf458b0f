#include "editctl/text_geometry.h"

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

// The client rectangle of units [from, to) of the row, cut to the text area;
// false when nothing of it shows.
bool RowRect(const EditState& s, const VisualRow& row, int32_t from, int32_t to, PixelRect& out) {
    const int64_t textLeft = ShownGutter(s.view);
    const int64_t origin = textLeft + s.view.margin - s.view.scrollX;
    const int64_t left = std::max(origin + CellsInRow(s, row, from) * s.view.charWidth, textLeft);
    const int64_t right =
        std::min<int64_t>(origin + CellsInRow(s, row, to) * s.view.charWidth, s.view.clientWidth);
    if (left > right || (left == right && from != to))
        return false;
    const int64_t top = int64_t{s.view.margin} + row.index * s.view.lineHeight - s.view.scrollY;
    out = {Saturate32(left), Saturate32(top), Saturate32(right),
           Saturate32(top + s.view.lineHeight)};
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
    if (rows.count == 0)
        return rects;
    PixelRect rect;
    if (span.start == span.end) {
        const VisualRow row = RowOfPosition(s, span.start);
        if (row.index >= rows.first && row.index < rows.first + rows.count &&
            RowRect(s, row, span.start, span.start, rect))
            rects.push_back(rect);
        return rects;
    }
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
