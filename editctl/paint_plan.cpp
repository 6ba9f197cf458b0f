#include "editctl/paint_plan.h"

#include "editctl/cells.h"
#include "editctl/characters.h"
#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"

#include <algorithm>
#include <utility>

namespace {

// The row of one line being planned.
struct RowContext {
    int32_t line;
    int64_t firstColumn; // of the row's first cell
    int32_t top;         // client y
};

// Adds one character, its tab expanded, to the run.
void AppendCharacter(std::u16string_view units, const CellSpan& span, bool tab, TextRun& run) {
    const auto cells = static_cast<int32_t>(span.end - span.first);
    const auto index = static_cast<int32_t>(run.text.size());
    if (tab) {
        run.text.append(static_cast<size_t>(cells), u' ');
    } else {
        run.text.append(units);
        const bool alone = units.size() > 1 || IsRightToLeft(units[0]);
        if (alone || cells != 1)
            run.characters.push_back(
                {index, static_cast<int32_t>(units.size()), run.cells, cells, alone});
    }
    run.cells += cells;
}

// Appends the run of positions [from, to) of the row, tabs expanded, or
// nothing when it lies wholly outside the text area.
void PlanRun(const EditState& s, const RowContext& row, int32_t from, int32_t to, bool selected,
             PaintPlan& plan) {
    const LineInfo info = s.lines[row.line];
    const std::u16string_view line = std::u16string_view(s.text).substr(
        static_cast<size_t>(info.start), static_cast<size_t>(info.length));
    int64_t column = VisualColumn(s, row.line, from - info.start);
    const int64_t cells = VisualColumn(s, row.line, to - info.start) - column;
    const int64_t gutter = ShownGutter(s);
    const int64_t origin = gutter + s.margin - row.firstColumn * s.charWidth - s.scrollX;
    if (origin + column * s.charWidth > s.clientWidth ||
        origin + (column + cells) * s.charWidth < gutter)
        return;
    // One spare cell on each side keeps glyphs that overhang their cell.
    const int64_t leftLimit = gutter - s.charWidth;
    const int64_t rightLimit = int64_t{s.clientWidth} + s.charWidth;
    const CellRules rules = LineCellRules(s);
    TextRun run;
    run.top = row.top;
    run.selected = selected;
    for (int32_t p = from - info.start, end = to - info.start; p < end;) {
        const CellSpan span = PlaceCharacter(line, p, column, rules);
        if (origin + span.first * s.charWidth >= rightLimit)
            break;
        const int32_t next = NextCharStop(line, p);
        if (origin + span.end * s.charWidth > leftLimit) {
            if (run.text.empty()) {
                run.x = Saturate32(origin + span.first * s.charWidth);
                run.position = info.start + p;
            }
            AppendCharacter(line.substr(static_cast<size_t>(p), static_cast<size_t>(next - p)),
                            span, line[p] == 9, run);
        }
        column = span.end;
        p = next;
    }
    if (run.text.empty())
        return;
    plan.runs.push_back(std::move(run));
}

// Splits the row's units [f, g) at the selection's ends.
void PlanRow(const EditState& s, const RowContext& row, int32_t f, int32_t g, PaintPlan& plan) {
    const int32_t low = SelectionLow(s);
    const int32_t high = SelectionHigh(s);
    if (low >= g || high <= f || low == high) {
        PlanRun(s, row, f, g, false, plan);
        return;
    }
    const int32_t from = std::max(f, low);
    const int32_t to = std::min(g, high);
    if (f < from)
        PlanRun(s, row, f, from, false, plan);
    PlanRun(s, row, from, to, true, plan);
    if (to < g)
        PlanRun(s, row, to, g, false, plan);
}

void PlanLine(const EditState& s, int32_t line, int32_t top, PaintPlan& plan) {
    const LineInfo info = s.lines[line];
    const int32_t width = VisualColumn(s, line, info.length);
    const int64_t perRow = s.wordWrap ? std::max(1, ColumnsPerRow(s)) : 0;
    for (int32_t r = 0; r < info.rows; ++r) {
        const int64_t rowTop = int64_t{top} + int64_t{r} * s.lineHeight;
        if (rowTop >= s.clientHeight)
            return;
        if (rowTop + s.lineHeight <= 0)
            continue;
        const int64_t a = r * perRow;
        if (a >= width)
            return;
        int32_t f = 0;
        int32_t g = info.length;
        if (s.wordWrap) {
            f = OffsetAtColumn(s, line, Saturate32(a));
            g = OffsetAtColumn(s, line, Saturate32(std::min<int64_t>(width, a + perRow)));
        }
        if (f < g)
            PlanRow(s, {line, a, Saturate32(rowTop)}, info.start + f, info.start + g, plan);
    }
}

} // namespace

PaintPlan PlanPaint(const EditState& s) {
    PaintPlan plan;
    if (s.lines.empty() || s.clientWidth <= 0 || s.clientHeight <= 0)
        return plan;
    // The top margin shows the bottom of the line above the first full one.
    const int64_t firstY = std::max<int64_t>(int64_t{s.scrollY} - s.margin, 0);
    for (int32_t i = s.lines.lineAtY(Saturate32(firstY)); i < s.lines.size(); ++i) {
        const int64_t top = int64_t{s.lines.lineTop(i)} + s.margin - s.scrollY;
        if (top >= s.clientHeight)
            break;
        if (s.showLineNumbers)
            plan.numbers.push_back(
                {Saturate32(top), i + 1, s.highlightCurrentLine && i == s.currentLine});
        PlanLine(s, i, Saturate32(top), plan);
    }
    return plan;
}
