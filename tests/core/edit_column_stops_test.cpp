// Column conversions on long lines, which go through kept stops, against a
// walk from the line's start, and paints of part of the client against the
// whole paint.
#include "edit_fixture.h"

#include "editctl/editing.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/text_model.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Pieces that take a walk to place: tabs, wide, combined and paired characters.
const std::u16string kPieces[] = {u"abc\t",      u"\t",          u"\u4E00x", u"e\u0301",
                                  u"\U0001F600", u"plain text ", u"\r\n",    u"\u05D0"};

std::u16string LongText(std::mt19937& rng, int pieces) {
    std::u16string text;
    for (int i = 0; i < pieces; ++i) {
        const size_t pick = rng() % std::size(kPieces);
        // Few breaks, so lines grow past the stop spacing.
        text += pick == 6 && rng() % 200 != 0 ? kPieces[0] : kPieces[pick];
    }
    return text;
}

// Every conversion on the longest lines equals a walk from the line's start.
void ExpectPlainWalks(const EditState& s, std::mt19937& rng) {
    const CellRules rules = LineCellRules(s);
    for (int32_t line = 0; line < s.model.lines.size(); ++line) {
        const LineInfo info = s.model.lines[line];
        if (info.length < ColumnStops::kSpacing)
            continue;
        const std::u16string_view units =
            s.model.text.view(static_cast<size_t>(info.start), static_cast<size_t>(info.length));
        const int64_t width = ColumnOfOffset(units, info.length, rules);
        for (int probe = 0; probe < 6; ++probe) {
            const auto offset =
                static_cast<int32_t>(rng() % static_cast<uint32_t>(info.length + 1));
            ASSERT_EQ(VisualColumn(s, line, offset), ColumnOfOffset(units, offset, rules))
                << "line " << line << " offset " << offset;
            const auto column = static_cast<int32_t>(rng() % static_cast<uint64_t>(width + 2));
            ASSERT_EQ(OffsetAtColumn(s, line, column), OffsetOfColumn(units, column, rules))
                << "line " << line << " column " << column;
        }
    }
}

} // namespace

TEST(EditColumnStops, ConversionsMatchAPlainWalkThroughEditsAndViewChanges) {
    std::mt19937 rng(9);
    EditState s = MakeEdit(LongText(rng, 6000), {640, 400, true});
    for (int step = 0; step < 60; ++step) {
        const int32_t length = TextLength(s.model);
        const auto at = static_cast<int32_t>(rng() % static_cast<uint32_t>(length + 1));
        switch (rng() % 9) {
        case 0:
            Undo(s);
            break;
        case 1:
            s.view.tabWidth = 2 + static_cast<int32_t>(rng() % 4);
            Relayout(s);
            break;
        case 2:
            SetWordWrap(s, !s.view.wordWrap);
            break;
        case 3:
            ReplaceRange(s, at, at + static_cast<int32_t>(rng() % 300), u"");
            break;
        case 4: // the line keeps its length: only the edit tells its stops are stale
            ReplaceRange(s, at, at + 1, u"\u4E00");
            break;
        default:
            ReplaceRange(s, at, at, LongText(rng, 1 + static_cast<int>(rng() % 3)));
            break;
        }
        ASSERT_NO_FATAL_FAILURE(ExpectPlainWalks(s, rng)) << "step " << step;
    }
}

TEST(EditColumnStops, PartOfTheClientPlansTheSameRunsAsTheWhole) {
    std::mt19937 rng(4);
    for (const bool wrap : {true, false}) {
        EditState s = MakeEdit(LongText(rng, 3000), {640, 400, wrap});
        s.model.anchor = 900;
        s.model.caret = 5000;
        if (!wrap)
            s.view.scrollX = 40 * s.view.charWidth + 3; // the walk starts past hidden characters
        std::vector<TextRun> whole = PlanPaint(s).runs;
        const PixelRect band = {0, 5 * s.view.lineHeight, s.view.clientWidth,
                                9 * s.view.lineHeight};
        const PaintPlan part = PlanPaint(s, band);
        std::erase_if(whole, [&](const TextRun& run) {
            return run.top + s.view.lineHeight <= band.top || run.top >= band.bottom;
        });
        ASSERT_EQ(part.runs.size(), whole.size()) << wrap;
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(part.runs[i].x, whole[i].x);
            EXPECT_EQ(part.runs[i].top, whole[i].top);
            EXPECT_EQ(part.runs[i].text, whole[i].text);
            EXPECT_EQ(part.runs[i].position, whole[i].position);
            EXPECT_EQ(part.runs[i].selected, whole[i].selected);
        }
        // Each wrapped row starts where a walk from its line's start puts it.
        for (size_t i = 0; wrap && i < whole.size(); ++i) {
            if (i > 0 && whole[i].top == whole[i - 1].top)
                continue;
            const int64_t row = (whole[i].top - s.view.margin + s.view.scrollY) / s.view.lineHeight;
            const int32_t line = s.model.lines.lineAtRow(row);
            const LineInfo info = s.model.lines[line];
            const std::u16string_view units = s.model.text.view(static_cast<size_t>(info.start),
                                                                static_cast<size_t>(info.length));
            const int64_t column = (row - s.model.lines.firstRow(line)) * ColumnsPerRow(s);
            EXPECT_EQ(whole[i].position,
                      info.start + OffsetOfColumn(units, column, LineCellRules(s)))
                << "row " << row;
        }
        // Right of the gutter: no number cells.
        EXPECT_TRUE(PlanPaint(s, {s.view.gutterWidth, 0, s.view.clientWidth, s.view.clientHeight})
                        .numbers.empty());
    }
}
