#include "editctl/paint_plan.h"

#include "editctl/cells.h"
#include "editctl/characters.h"
#include "editctl/layout.h"
#include "editctl/saturate.h"
#include "editctl/text_model.h"
#include "editctl/visual_rows.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <utility>

namespace {

// One visual row being planned: its characters are walked once, left to
// right, and cut into runs where the selection starts or ends.
class RowPlanner {
  public:
    // The row's column `firstColumn` stands at the text area's left edge.
    RowPlanner(const EditState& s, int32_t line, int64_t firstColumn, int32_t top,
               const PixelRect& area)
        : s_(s), info_(s.model.lines[line]),
          line_(s.model.text.view(static_cast<size_t>(info_.start),
                                  static_cast<size_t>(info_.length))),
          rules_(LineCellRules(s)), top_(top) {
        const int64_t gutter = ShownGutter(s.view);
        origin_ = gutter + s.view.margin - firstColumn * s.view.charWidth - s.view.scrollX;
        // One spare cell on each side keeps glyphs that overhang their cell.
        leftLimit_ = std::max<int64_t>(gutter, area.left) - s.view.charWidth;
        rightLimit_ = int64_t{std::min(s.view.clientWidth, area.right)} + s.view.charWidth;
    }

    // Characters whose cells end at or before this column are not drawn.
    int64_t hiddenColumns() const {
        const int64_t left = leftLimit_ - origin_;
        return left / s_.view.charWidth - (left % s_.view.charWidth < 0 ? 1 : 0);
    }

    // Plans the row's units [from.offset, to) of the line.
    void plan(CellStop from, int32_t to, PaintPlan& plan) {
        const int32_t low = SelectionLow(s_.model) - info_.start;
        const int32_t high = SelectionHigh(s_.model) - info_.start;
        column_ = from.column;
        for (int32_t p = from.offset; p < to;) {
            const CellSpan span = PlaceCharacter(line_, p, column_, rules_);
            if (x(span.first) >= rightLimit_)
                break;
            const int32_t next = span.after;
            const bool selected = p >= low && p < high;
            if (selected != run_.selected)
                flush(plan, selected);
            if (x(span.end) > leftLimit_)
                append(p, next, span);
            column_ = span.end;
            p = next;
        }
        flush(plan, false);
    }

  private:
    int64_t x(int64_t column) const { return origin_ + column * s_.view.charWidth; }

    // Adds one character, its tab expanded, to the run.
    void append(int32_t from, int32_t to, const CellSpan& span) {
        const auto cells = static_cast<int32_t>(span.end - span.first);
        if (run_.text.empty()) {
            run_.x = Saturate32(x(span.first));
            run_.position = info_.start + from;
        }
        if (line_[from] == kTab) {
            run_.text.append(static_cast<size_t>(cells), u' ');
        } else {
            const std::u16string_view units =
                line_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
            const bool alone = units.size() > 1 || IsRightToLeft(units[0]);
            if (alone || cells != 1)
                run_.characters.push_back({static_cast<int32_t>(run_.text.size()),
                                           static_cast<int32_t>(units.size()), run_.cells, cells,
                                           alone});
            run_.text.append(units);
        }
        run_.cells += cells;
    }

    // Ends the run so far, if it holds anything, and starts one in the other colour.
    void flush(PaintPlan& plan, bool selected) {
        if (!run_.text.empty()) {
            run_.top = top_;
            plan.runs.push_back(std::move(run_));
        }
        run_ = TextRun{};
        run_.selected = selected;
    }

    const EditState& s_;
    const LineInfo info_;
    const std::u16string_view line_;
    const CellRules rules_;
    const int32_t top_;
    int64_t origin_ = 0; // client x of the line's column 0
    int64_t leftLimit_ = 0;
    int64_t rightLimit_ = 0;
    int64_t column_ = 0;
    TextRun run_;
};

// A line without wrapping is one row: the walk starts at its first character
// that shows, found through the kept column stops.
void PlanUnwrapped(const EditState& s, int32_t line, int32_t top, const PixelRect& area,
                   PaintPlan& plan) {
    RowPlanner row(s, line, 0, top, area);
    const int64_t hidden = row.hiddenColumns();
    const CellStop from = hidden > 0 ? StopAtColumn(s, line, hidden) : CellStop{};
    row.plan(from, s.model.lines[line].length, plan);
}

void PlanLine(const EditState& s, int32_t line, int32_t top, const PixelRect& area,
              PaintPlan& plan) {
    if (!s.view.wordWrap) {
        if (top + int64_t{s.view.lineHeight} > area.top)
            PlanUnwrapped(s, line, top, area, plan);
        return;
    }
    const LineInfo info = s.model.lines[line];
    const int64_t perRow = std::max(1, ColumnsPerRow(s));
    int64_t r = std::max<int64_t>((int64_t{area.top} - top) / s.view.lineHeight - 1, 0);
    while (r < info.rows && int64_t{top} + (r + 1) * s.view.lineHeight <= area.top)
        ++r;
    // Only the first row shown is looked up; each later one starts where the
    // one above ended.
    int32_t known = -1;
    for (; r < info.rows; ++r) {
        const int64_t rowTop = int64_t{top} + r * s.view.lineHeight;
        if (rowTop >= area.bottom)
            return;
        const int64_t a = r * perRow;
        const RowUnits cut = CutLineRow(s, line, r, known);
        RowPlanner row(s, line, a, Saturate32(rowTop), area);
        if (cut.start < cut.end)
            row.plan({cut.start, a}, cut.end, plan);
        known = cut.end;
    }
}

} // namespace

PaintPlan PlanPaint(const EditState& s) {
    return PlanPaint(s, {0, 0, s.view.clientWidth, s.view.clientHeight});
}

PaintPlan PlanPaint(const EditState& s, const PixelRect& area) {
    PaintPlan plan;
    const PixelRect shown = {std::max(area.left, 0), std::max(area.top, 0),
                             std::min(area.right, s.view.clientWidth),
                             std::min(area.bottom, s.view.clientHeight)};
    if (s.model.lines.empty() || shown.left >= shown.right || shown.top >= shown.bottom)
        return plan;
    const bool numbers = s.view.showLineNumbers && shown.left < s.view.gutterWidth;
    // The top margin shows the bottom of the line above the first full one.
    const int64_t firstY = std::max<int64_t>(s.view.scrollY - s.view.margin + shown.top, 0);
    for (int32_t i = s.model.lines.lineAtRow(firstY / s.view.lineHeight); i < s.model.lines.size();
         ++i) {
        const int64_t top =
            int64_t{s.model.lines.firstRow(i)} * s.view.lineHeight + s.view.margin - s.view.scrollY;
        if (top >= shown.bottom)
            break;
        if (numbers)
            plan.numbers.push_back(
                {Saturate32(top), i + 1, s.view.highlightCurrentLine && i == s.view.currentLine});
        PlanLine(s, i, Saturate32(top), shown, plan);
    }
    return plan;
}
