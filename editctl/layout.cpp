#include "editctl/layout.h"

#include "editctl/saturate.h"
#include "editctl/scroll_mapping.h"
#include "editctl/text_model.h"

#include <algorithm>

namespace {

int32_t DecimalDigits(int32_t n) {
    int32_t digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
}

// What follows measuring the lines, given the gutter they were measured with.
void FinishRelayout(EditState& s, int32_t gutterBefore) {
    UpdateGutterWidth(s);
    // The wrap width depends on the gutter, which depends on the line count:
    // measure again when the count crossed a power of ten. The lines are
    // the same, so this needs no memory and cannot undo half a relayout.
    if (s.view.wordWrap && s.view.showLineNumbers && s.view.gutterWidth != gutterBefore)
        s.model.lines.remeasure(s.model.text, CurrentLineMetrics(s));
    s.view.currentLine = std::clamp(s.view.currentLine, 0, s.model.lines.size() - 1);
}

// The caret's line, its column and, while wrapping, the row holding it.
struct CaretCell {
    int32_t line;
    int64_t column;
    int64_t row;
};

CaretCell LocateCaretCell(const EditState& s) {
    const LineLocation at = LocateLine(s.model, s.model.caret);
    CaretCell cell{at.line, VisualColumn(s, at.line, at.offset), 0};
    if (s.view.wordWrap) {
        // At the exact end of a full last row the caret stays on that row.
        const int64_t perRow = ColumnsPerRow(s);
        cell.row = std::min<int64_t>(cell.column / perRow, s.model.lines[at.line].rows - 1);
    }
    return cell;
}

// The content y of the caret's row.
int64_t CaretRowTop(const EditState& s, const CaretCell& cell) {
    return (s.model.lines.firstRow(cell.line) + cell.row) * s.view.lineHeight;
}

// Where the caret shows, given its cell.
void PlaceCaretAt(EditState& s, CaretCell cell) {
    if (s.view.wordWrap)
        cell.column -= cell.row * ColumnsPerRow(s);
    EditEffects& fx = s.effects;
    fx.caret = true;
    fx.caretX = Saturate32(int64_t{ShownGutter(s.view)} + s.view.margin +
                           cell.column * s.view.charWidth - s.view.scrollX);
    fx.caretY = Saturate32(s.view.margin + CaretRowTop(s, cell) - s.view.scrollY);
}

int64_t ScrollRange(const ScrollAxis& axis) {
    return std::max<int64_t>(axis.extent - axis.page, 0);
}

std::u16string_view LineText(const EditState& s, const LineInfo& info) {
    return s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
}

} // namespace

int32_t VisualColumn(const EditState& s, int32_t line, int32_t offset) {
    if (line < 0 || line >= s.model.lines.size())
        return 0;
    const LineInfo info = s.model.lines[line];
    offset = std::clamp(offset, 0, info.length);
    if (!info.hasTab && !info.hasComplex)
        return offset;
    const std::u16string_view text = LineText(s, info);
    const CellRules rules = LineCellRules(s);
    const CellStop from = s.model.columnStops.beforeOffset(text, info, rules, offset);
    return Saturate32(ColumnOfOffset(text, offset, rules, from));
}

int32_t OffsetAtColumn(const EditState& s, int32_t line, int32_t column) {
    return StopAtColumn(s, line, column).offset;
}

CellStop StopAtColumn(const EditState& s, int32_t line, int64_t column) {
    if (line < 0 || line >= s.model.lines.size())
        return {};
    const LineInfo info = s.model.lines[line];
    column = std::max<int64_t>(column, 0);
    if (!info.hasTab && !info.hasComplex) {
        const int64_t end = std::min<int64_t>(column, info.length);
        return {static_cast<int32_t>(end), end};
    }
    const std::u16string_view text = LineText(s, info);
    const CellRules rules = LineCellRules(s);
    const CellStop from = s.model.columnStops.beforeColumn(text, info, rules, column);
    return StopOfColumn(text, column, rules, from);
}

void Relayout(EditState& s) {
    const int32_t gutterBefore = s.view.gutterWidth;
    s.model.columnStops.clear();
    s.model.lines.rebuild(s.model.text, CurrentLineMetrics(s));
    FinishRelayout(s, gutterBefore);
}

void RelayoutView(EditState& s) {
    const int32_t gutterBefore = s.view.gutterWidth;
    s.model.columnStops.clear();
    s.model.lines.remeasure(s.model.text, CurrentLineMetrics(s));
    FinishRelayout(s, gutterBefore);
}

void FollowLayout(EditState& s, const ModelChange& change) {
    using Kind = ModelChange::Kind;
    if (change.kind != Kind::Text && change.kind != Kind::Selection)
        return;
    if (change.kind == Kind::Text && change.span.any) {
        s.model.columnStops.edited(change.span, s.model.lines);
        FinishRelayout(s, s.view.gutterWidth);
    }
    TrackCurrentLine(s);
    if (change.reveal)
        EnsureCaretVisible(s);
    else
        PlaceCaret(s);
}

void UpdateGutterWidth(EditState& s) {
    if (!s.view.showLineNumbers) {
        s.view.gutterWidth = 0;
        return;
    }
    const int64_t digits =
        std::max(DecimalDigits(std::max(s.model.lines.size(), s.view.gutterLines)), 2);
    s.view.gutterWidth = Saturate32(digits * s.view.charWidth + 16);
}

ScrollAxis VerticalAxis(const EditState& s) {
    // The text starts `margin` pixels below the client's top, so the
    // scrollable height includes that inset; without it the last row would
    // overhang the bottom edge when scrolled to the end.
    return {s.model.lines.totalRows() * s.view.lineHeight + s.view.margin,
            std::max(s.view.clientHeight, 0)};
}

ScrollAxis HorizontalAxis(const EditState& s) {
    return {s.model.lines.maxLineWidth() + 2 * int64_t{s.view.margin},
            std::max(s.view.clientWidth - ShownGutter(s.view), 0)};
}

void ClampScroll(EditState& s) {
    if (!s.attached.window)
        return;
    s.view.scrollY = std::clamp<int64_t>(s.view.scrollY, 0, ScrollRange(VerticalAxis(s)));
    if (s.view.wordWrap) {
        s.view.scrollX = 0;
        return;
    }
    s.view.scrollX = std::clamp<int64_t>(s.view.scrollX, 0, ScrollRange(HorizontalAxis(s)));
}

void UpdateScrollBars(EditState& s) {
    if (!s.attached.window)
        return;
    EditEffects& fx = s.effects;
    fx.scrollBars = true;
    const ScrollAxis vertical = VerticalAxis(s);
    fx.vertical = ScrollBarFor(vertical.extent, vertical.page, s.view.scrollY);
    if (s.view.wordWrap) {
        s.view.scrollX = 0;
        fx.horizontalShown = false;
        fx.horizontal = {};
        return;
    }
    fx.horizontalShown = true;
    const ScrollAxis horizontal = HorizontalAxis(s);
    fx.horizontal = ScrollBarFor(horizontal.extent, horizontal.page, s.view.scrollX);
}

void PlaceCaret(EditState& s) {
    if (!s.attached.window || s.model.lines.empty())
        return;
    PlaceCaretAt(s, LocateCaretCell(s));
}

bool CaretInView(const EditState& s) {
    if (!s.attached.window || s.model.lines.empty())
        return false;
    const CaretCell cell = LocateCaretCell(s);
    const int64_t top = CaretRowTop(s, cell);
    if (top < s.view.scrollY ||
        s.view.scrollY + s.view.clientHeight < top + s.view.lineHeight + s.view.margin)
        return false;
    if (s.view.wordWrap)
        return true;
    const int64_t x = cell.column * s.view.charWidth;
    const int64_t textWidth =
        int64_t{s.view.clientWidth} - 2 * int64_t{s.view.margin} - ShownGutter(s.view);
    return x >= s.view.scrollX && x + s.view.charWidth <= textWidth + s.view.scrollX;
}

void EnsureCaretVisible(EditState& s) {
    if (!s.attached.window || s.model.lines.empty())
        return;
    const CaretCell cell = LocateCaretCell(s);
    const int64_t top = CaretRowTop(s, cell);
    int64_t scrollY = s.view.scrollY;
    if (top < scrollY)
        scrollY = top;
    else if (scrollY + s.view.clientHeight < top + s.view.lineHeight + s.view.margin)
        scrollY = top + s.view.lineHeight + s.view.margin - s.view.clientHeight;
    int64_t scrollX = 0;
    if (!s.view.wordWrap) {
        scrollX = s.view.scrollX;
        const int64_t x = cell.column * s.view.charWidth;
        const int64_t textWidth =
            int64_t{s.view.clientWidth} - 2 * int64_t{s.view.margin} - ShownGutter(s.view);
        if (x < scrollX)
            scrollX = x;
        else if (textWidth + scrollX < x + s.view.charWidth)
            scrollX = x + s.view.charWidth - textWidth;
    }
    s.view.scrollY = std::max<int64_t>(scrollY, 0);
    s.view.scrollX = std::max<int64_t>(scrollX, 0);
    UpdateScrollBars(s);
    PlaceCaretAt(s, cell);
}

int32_t HitTest(const EditState& s, int32_t x, int32_t y) {
    if (s.model.lines.empty())
        return 0;
    const int64_t contentY = std::max<int64_t>(y + s.view.scrollY - s.view.margin, 0);
    const int64_t textRow = contentY / s.view.lineHeight;
    const int32_t line = s.model.lines.lineAtRow(textRow);
    const LineInfo info = s.model.lines[line];
    const int64_t row = textRow - s.model.lines.firstRow(line);
    const int64_t contentX =
        std::max<int64_t>(x + s.view.scrollX - s.view.margin - ShownGutter(s.view), 0);
    int64_t column = contentX / s.view.charWidth;
    if (s.view.wordWrap)
        column += std::clamp<int64_t>(row, 0, info.rows - 1) * ColumnsPerRow(s);
    return info.start + std::clamp(StopAtColumn(s, line, column).offset, 0, info.length);
}

void TrackCurrentLine(EditState& s) {
    if (!s.view.showLineNumbers || !s.view.highlightCurrentLine)
        return;
    const int32_t line = LocateLine(s.model, s.model.caret).line;
    if (line == s.view.currentLine)
        return;
    InvalidateGutterLine(s, s.view.currentLine);
    InvalidateGutterLine(s, line);
    s.view.currentLine = line;
}

void InvalidateGutterLine(EditState& s, int32_t line) {
    if (!s.attached.window || !s.view.showLineNumbers || line < 0 || line >= s.model.lines.size())
        return;
    const int64_t top =
        int64_t{s.model.lines.firstRow(line)} * s.view.lineHeight + s.view.margin - s.view.scrollY;
    if (top + s.view.lineHeight < 0 || top > s.view.clientHeight)
        return;
    const PixelRect cell = {
        0, Saturate32(std::max<int64_t>(top, 0)), s.view.gutterWidth,
        Saturate32(std::min<int64_t>(s.view.clientHeight, top + s.view.lineHeight))};
    if (!s.effects.gutterInvalidations.add(cell))
        InvalidateClient(s);
}

void Refresh(EditState& s) {
    RelayoutView(s);
    ClampScroll(s);
    UpdateScrollBars(s);
    PlaceCaret(s);
    InvalidateClient(s);
}
