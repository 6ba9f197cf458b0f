#include "editctl/layout.h"

#include "editctl/saturate.h"
#include "editctl/text_model.h"

#include <algorithm>

namespace {

int32_t DecimalDigits(int32_t n) {
    int32_t digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
}

LineMetrics CurrentMetrics(const EditState& s) {
    LineMetrics metrics;
    metrics.columnsPerRow = s.wordWrap ? ColumnsPerRow(s) : 0;
    metrics.tabWidth = TabStop(s);
    metrics.charWidth = s.charWidth;
    metrics.lineHeight = s.lineHeight;
    return metrics;
}

// What follows measuring the lines, given the gutter they were measured with.
void FinishRelayout(EditState& s, int32_t gutterBefore) {
    UpdateGutterWidth(s);
    // The wrap width depends on the gutter, which depends on the line count:
    // measure again when the count crossed a power of ten. The lines are
    // the same, so this needs no memory and cannot undo half a relayout.
    if (s.wordWrap && s.showLineNumbers && s.gutterWidth != gutterBefore)
        s.lines.remeasure(s.text, CurrentMetrics(s));
    s.currentLine = std::clamp(s.currentLine, 0, s.lines.size() - 1);
}

// The caret's line, its column and, while wrapping, the row holding it.
struct CaretCell {
    int32_t line;
    int64_t column;
    int64_t row;
};

CaretCell LocateCaretCell(const EditState& s) {
    const LineLocation at = LocateLine(s, s.caret);
    CaretCell cell{at.line, VisualColumn(s, at.line, at.offset), 0};
    if (s.wordWrap) {
        // At the exact end of a full last row the caret stays on that row.
        const int64_t perRow = ColumnsPerRow(s);
        cell.row = std::min<int64_t>(cell.column / perRow, s.lines[at.line].rows - 1);
    }
    return cell;
}

// The text starts `margin` pixels below the client's top, so the scrollable
// height includes that inset; without it the last row would overhang the
// bottom edge when scrolled to the end.
int64_t ContentHeight(const EditState& s) {
    return int64_t{s.lines.totalRows()} * s.lineHeight + s.margin;
}

int64_t MaxScrollX(const EditState& s) {
    const int64_t maxX =
        int64_t{s.lines.maxLineWidth()} + 2 * int64_t{s.margin} + ShownGutter(s) - s.clientWidth;
    return std::max<int64_t>(maxX, 0);
}

std::u16string_view LineText(const EditState& s, const LineInfo& info) {
    return s.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
}

} // namespace

int32_t TabStop(const EditState& s) {
    return s.tabWidth < 1 ? 4 : s.tabWidth;
}

int32_t ShownGutter(const EditState& s) {
    return s.showLineNumbers ? s.gutterWidth : 0;
}

int32_t ColumnsPerRow(const EditState& s) {
    if (!s.window)
        return 1;
    const int64_t width = int64_t{s.clientWidth} - 2 * int64_t{s.margin} - ShownGutter(s);
    if (width < s.charWidth)
        return 1;
    return Saturate32(width / s.charWidth);
}

CellRules LineCellRules(const EditState& s) {
    return {TabStop(s), s.wordWrap ? ColumnsPerRow(s) : 0};
}

int32_t VisualColumn(const EditState& s, int32_t line, int32_t offset) {
    if (line < 0 || line >= s.lines.size())
        return 0;
    const LineInfo info = s.lines[line];
    offset = std::clamp(offset, 0, info.length);
    if (!info.hasTab && !info.hasComplex)
        return offset;
    const std::u16string_view text = LineText(s, info);
    const CellRules rules = LineCellRules(s);
    const CellStop from = s.columnStops.beforeOffset(text, info, rules, offset);
    return Saturate32(ColumnOfOffset(text, offset, rules, from));
}

int32_t OffsetAtColumn(const EditState& s, int32_t line, int32_t column) {
    return StopAtColumn(s, line, column).offset;
}

CellStop StopAtColumn(const EditState& s, int32_t line, int64_t column) {
    if (line < 0 || line >= s.lines.size())
        return {};
    const LineInfo info = s.lines[line];
    column = std::max<int64_t>(column, 0);
    if (!info.hasTab && !info.hasComplex) {
        const int64_t end = std::min<int64_t>(column, info.length);
        return {static_cast<int32_t>(end), end};
    }
    const std::u16string_view text = LineText(s, info);
    const CellRules rules = LineCellRules(s);
    const CellStop from = s.columnStops.beforeColumn(text, info, rules, column);
    return StopOfColumn(text, column, rules, from);
}

void Relayout(EditState& s) {
    const int32_t gutterBefore = s.gutterWidth;
    s.columnStops.clear();
    s.lines.rebuild(s.text, CurrentMetrics(s));
    FinishRelayout(s, gutterBefore);
}

void RelayoutView(EditState& s) {
    const int32_t gutterBefore = s.gutterWidth;
    s.columnStops.clear();
    s.lines.remeasure(s.text, CurrentMetrics(s));
    FinishRelayout(s, gutterBefore);
}

void RelayoutChange(EditState& s, const TextChange& change) {
    const int32_t gutterBefore = s.gutterWidth;
    s.lines.update(s.text, CurrentMetrics(s), change);
    s.columnStops.edited(change, s.lines);
    FinishRelayout(s, gutterBefore);
}

void UpdateGutterWidth(EditState& s) {
    if (!s.showLineNumbers) {
        s.gutterWidth = 0;
        return;
    }
    const int64_t digits = std::max(DecimalDigits(s.lines.size()), 2);
    s.gutterWidth = Saturate32(digits * s.charWidth + 16);
}

void ClampScroll(EditState& s) {
    if (!s.window)
        return;
    const int64_t maxY = ContentHeight(s) - s.clientHeight;
    s.scrollY = Saturate32(std::clamp<int64_t>(s.scrollY, 0, std::max<int64_t>(maxY, 0)));
    if (s.wordWrap) {
        s.scrollX = 0;
        return;
    }
    s.scrollX = Saturate32(std::clamp<int64_t>(s.scrollX, 0, MaxScrollX(s)));
}

void UpdateScrollBars(EditState& s) {
    if (!s.window)
        return;
    EditEffects& fx = s.effects;
    fx.scrollBars = true;
    fx.vertical = {Saturate32(ContentHeight(s)), std::max(s.clientHeight, 0), s.scrollY};
    if (s.wordWrap) {
        s.scrollX = 0;
        fx.horizontalShown = false;
        fx.horizontal = {};
        return;
    }
    fx.horizontalShown = true;
    fx.horizontal = {Saturate32(int64_t{s.lines.maxLineWidth()} + 2 * int64_t{s.margin}),
                     std::max(s.clientWidth - ShownGutter(s), 0), s.scrollX};
}

void PlaceCaret(EditState& s) {
    if (!s.window || s.lines.empty())
        return;
    CaretCell cell = LocateCaretCell(s);
    if (s.wordWrap)
        cell.column -= cell.row * ColumnsPerRow(s);
    EditEffects& fx = s.effects;
    fx.caret = true;
    fx.caretX =
        Saturate32(int64_t{ShownGutter(s)} + s.margin + cell.column * s.charWidth - s.scrollX);
    fx.caretY = Saturate32(int64_t{s.margin} + s.lines.lineTop(cell.line) +
                           cell.row * s.lineHeight - s.scrollY);
}

bool CaretInView(const EditState& s) {
    if (!s.window || s.lines.empty())
        return false;
    const CaretCell cell = LocateCaretCell(s);
    const int64_t top = s.lines.lineTop(cell.line) + cell.row * s.lineHeight;
    if (top < s.scrollY || s.scrollY + s.clientHeight < top + s.lineHeight + s.margin)
        return false;
    if (s.wordWrap)
        return true;
    const int64_t x = cell.column * s.charWidth;
    const int64_t textWidth = int64_t{s.clientWidth} - 2 * int64_t{s.margin} - ShownGutter(s);
    return x >= s.scrollX && x + s.charWidth <= textWidth + s.scrollX;
}

void EnsureCaretVisible(EditState& s) {
    if (!s.window || s.lines.empty())
        return;
    const CaretCell cell = LocateCaretCell(s);
    const int64_t top = s.lines.lineTop(cell.line) + cell.row * s.lineHeight;
    int64_t scrollY = s.scrollY;
    if (top < scrollY)
        scrollY = top;
    else if (scrollY + s.clientHeight < top + s.lineHeight + s.margin)
        scrollY = top + s.lineHeight + s.margin - s.clientHeight;
    int64_t scrollX = 0;
    if (!s.wordWrap) {
        scrollX = s.scrollX;
        const int64_t x = cell.column * s.charWidth;
        const int64_t textWidth = int64_t{s.clientWidth} - 2 * int64_t{s.margin} - ShownGutter(s);
        if (x < scrollX)
            scrollX = x;
        else if (textWidth + scrollX < x + s.charWidth)
            scrollX = x + s.charWidth - textWidth;
    }
    s.scrollY = Saturate32(std::max<int64_t>(scrollY, 0));
    s.scrollX = Saturate32(std::max<int64_t>(scrollX, 0));
    UpdateScrollBars(s);
    PlaceCaret(s);
}

int32_t HitTest(const EditState& s, int32_t x, int32_t y) {
    if (s.lines.empty())
        return 0;
    const int64_t contentY = std::max<int64_t>(int64_t{y} + s.scrollY - s.margin, 0);
    const int32_t line = s.lines.lineAtY(Saturate32(contentY));
    const LineInfo info = s.lines[line];
    const int64_t row = (contentY - s.lines.lineTop(line)) / s.lineHeight;
    const int64_t contentX =
        std::max<int64_t>(int64_t{x} + s.scrollX - s.margin - ShownGutter(s), 0);
    int64_t column = contentX / s.charWidth;
    if (s.wordWrap)
        column += std::clamp<int64_t>(row, 0, info.rows - 1) * ColumnsPerRow(s);
    return info.start + std::clamp(OffsetAtColumn(s, line, Saturate32(column)), 0, info.length);
}

void TrackCurrentLine(EditState& s) {
    if (!s.showLineNumbers || !s.highlightCurrentLine)
        return;
    const int32_t line = LocateLine(s, s.caret).line;
    if (line == s.currentLine)
        return;
    InvalidateGutterLine(s, s.currentLine);
    InvalidateGutterLine(s, line);
    s.currentLine = line;
}

void InvalidateGutterLine(EditState& s, int32_t line) {
    if (!s.window || !s.showLineNumbers || line < 0 || line >= s.lines.size())
        return;
    const int64_t top = int64_t{s.lines.lineTop(line)} + s.margin - s.scrollY;
    if (top + s.lineHeight < 0 || top > s.clientHeight)
        return;
    const PixelRect cell = {0, Saturate32(std::max<int64_t>(top, 0)), s.gutterWidth,
                            Saturate32(std::min<int64_t>(s.clientHeight, top + s.lineHeight))};
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
