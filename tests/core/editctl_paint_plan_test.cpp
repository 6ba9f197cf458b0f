// The paint plan: which number cells and text runs a paint draws, and where.
#include "editctl/layout.h"
#include "editctl/paint_plan.h"

#include "tests/core/edit_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Default cells are 8 x 16; the margin is 4.
constexpr int32_t kLeft = 2 * 8 + 16 + 4; // gutter of up to 99 lines plus margin

struct PlannedRun {
    int32_t x;
    int32_t top;
    std::u16string text;
    bool selected;
    bool operator==(const PlannedRun&) const = default;
};

void PrintTo(const PlannedRun& run, std::ostream* out) {
    *out << "{" << run.x << ", " << run.top << ", \""
         << std::string(run.text.begin(), run.text.end()) << "\""
         << (run.selected ? ", selected}" : "}");
}

std::vector<PlannedRun> Runs(const EditState& s) {
    std::vector<PlannedRun> runs;
    for (const TextRun& run : PlanPaint(s).runs) {
        EXPECT_EQ(run.cells, static_cast<int32_t>(run.text.size()));
        runs.push_back({run.x, run.top, run.text, run.selected});
    }
    return runs;
}

} // namespace

TEST(EditCtlPaintPlan, SelectionSplitsRowsAndStopsAtLineEnds) {
    EditState s = MakeEdit(u"abcd\r\nefgh\r\n\r\nij");
    s.model.anchor = 15;
    s.model.caret = 2; // backward selection
    const std::vector<PlannedRun> expected = {
        {kLeft, 4, u"ab", false}, {kLeft + 16, 4, u"cd", true}, {kLeft, 20, u"efgh", true},
        {kLeft, 52, u"i", true},  {kLeft + 8, 52, u"j", false},
    };
    EXPECT_EQ(Runs(s), expected);

    s.model.anchor = s.model.caret = 3; // nothing selected: one run per row
    EXPECT_EQ(Runs(s).size(), 3u);
}

TEST(EditCtlPaintPlan, TabsExpandFromTheirColumn) {
    EditState s = MakeEdit(u"\tx\r\nab\tc\r\nabcd\te");
    s.model.anchor = 6; // the tab and c selected
    s.model.caret = 8;
    const std::vector<PlannedRun> expected = {
        {kLeft, 4, u"    x", false},
        {kLeft, 20, u"ab", false},
        {kLeft + 16, 20, u"  c", true},
        {kLeft, 36, u"abcd    e", false},
    };
    EXPECT_EQ(Runs(s), expected);
}

TEST(EditCtlPaintPlan, NumbersForVisibleLinesOnly) {
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += u"x\r\n";
    EditState s = MakeEdit(text, {800, 100});
    s.view.currentLine = 30;
    s.view.scrollY = 30 * 16; // line 31 at the top, after the margin
    const PaintPlan plan = PlanPaint(s);
    ASSERT_FALSE(plan.numbers.empty());
    // The line above shows its lowest pixels in the top margin.
    EXPECT_EQ(plan.numbers.front().number, 30);
    EXPECT_EQ(plan.numbers.front().top, 4 - 16);
    EXPECT_EQ(plan.numbers[1].number, 31);
    EXPECT_TRUE(plan.numbers[1].current);
    EXPECT_FALSE(plan.numbers[0].current);
    EXPECT_EQ(plan.numbers.back().number, 36); // line 36 at y 84, line 37 at 100
    EXPECT_EQ(plan.runs.size(), plan.numbers.size());

    s.view.highlightCurrentLine = false;
    EXPECT_FALSE(PlanPaint(s).numbers[1].current);
    SetShowLineNumbers(s, false);
    EXPECT_TRUE(PlanPaint(s).numbers.empty());
    EXPECT_EQ(PlanPaint(s).runs.front().x, 4);
}

TEST(EditCtlPaintPlan, WrappedRowsStartAtTheTextEdge) {
    // 10 cells per row: 2 * 4 margin + 32 gutter + 80 text = 120 pixels.
    EditState s = MakeEdit(std::u16string(25, u'a') + u"\r\nb", {120, 200, true});
    ASSERT_EQ(ColumnsPerRow(s), 10);
    s.model.anchor = 8;
    s.model.caret = 12;
    const std::vector<PlannedRun> expected = {
        {kLeft, 4, u"aaaaaaaa", false}, {kLeft + 64, 4, u"aa", true},
        {kLeft, 20, u"aa", true},       {kLeft + 16, 20, u"aaaaaaaa", false},
        {kLeft, 36, u"aaaaa", false},   {kLeft, 52, u"b", false},
    };
    EXPECT_EQ(Runs(s), expected);
    const PaintPlan plan = PlanPaint(s);
    ASSERT_EQ(plan.numbers.size(), 2u);
    EXPECT_EQ(plan.numbers[1].top, 52);
}

TEST(EditCtlPaintPlan, LongLinesAreCutToTheVisibleCells) {
    EditState s = MakeEdit(std::u16string(100000, u'w') + u"\r\nshort", {400, 100});
    s.view.scrollX = 50000 * 8;
    const std::vector<PlannedRun> runs = Runs(s);
    ASSERT_EQ(runs.size(), 1u); // "short" lies wholly left of the text area
    const int32_t gutter = 32;
    // From the cell under the gutter's edge to one past the right edge.
    EXPECT_LE(runs[0].x, gutter - 8);
    EXPECT_GT(runs[0].x, gutter - 24);
    const int32_t right = runs[0].x + static_cast<int32_t>(runs[0].text.size()) * 8;
    EXPECT_GE(right, 400);
    EXPECT_LE(right, 400 + 16);

    // A tab straddling the text area's edge keeps its full width.
    s = MakeEdit(u"ab\tcdefgh", {400, 100});
    s.view.scrollX = 4 * 8; // the tab's cells span x 20 to 36, across the edge at 32
    const std::vector<PlannedRun> cut = Runs(s);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].x, 20);
    EXPECT_EQ(cut[0].text, u"  cdefgh");
}

TEST(EditCtlPaintPlan, NothingWithoutAClientArea) {
    EditState s = MakeEdit(u"text", {0, 0});
    EXPECT_TRUE(PlanPaint(s).runs.empty());
    EXPECT_TRUE(PlanPaint(s).numbers.empty());
}
